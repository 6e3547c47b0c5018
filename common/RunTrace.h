// Timestamps of a run's stages, for finding where its time goes. With the
// environment variable ORDVALE_TRACE naming a file, every mark appends a
// line to it: the milliseconds since this process was created, the
// process id and what was reached. Time spent in one kind of step across a
// run is summed by a Total and written with Report. Without the variable a
// mark or a span costs one test of a flag.
#pragma once

#include <cstdint>

namespace ordvale::trace {

bool On();
void Mark(const char* what);

// Calls of one kind of step and the time they took, summed. Totals with
// static storage are all written by ReportAll.
struct Total {
    const char* name;
    int64_t ticks = 0;  // of the performance counter
    uint64_t calls = 0;
    Total* next = nullptr;
    explicit Total(const char* n);
};

// Adds the time from its making to its end to a Total.
class Span {
public:
    explicit Span(Total& total);
    ~Span();
    Span(const Span&) = delete;
    Span& operator=(const Span&) = delete;

private:
    Total* total_;
    int64_t start_ = 0;
};

// "<name>: <calls> calls, <ms> ms", then the Total starts again.
void Report(Total& total);
// Report of every Total of this module that has calls.
void ReportAll();

}  // namespace ordvale::trace
