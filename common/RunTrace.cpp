#include "common/RunTrace.h"

#include <windows.h>

#include <cstdio>

namespace ordvale::trace {

namespace {

struct Trace {
    HANDLE file = INVALID_HANDLE_VALUE;
    uint64_t created = 0;  // FILETIME of the process's creation
    Trace() {
        wchar_t path[MAX_PATH];
        const DWORD n = GetEnvironmentVariableW(L"ORDVALE_TRACE", path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        FILETIME creation, exit, kernel, user;
        if (GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
            created = (static_cast<uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
        file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~Trace() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    void Write(const char* text) {
        FILETIME now;
        GetSystemTimePreciseAsFileTime(&now);
        const uint64_t t = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        char line[512];
        const int n = std::snprintf(line, sizeof line, "%9.1f %5lu %s\n",
                                    created ? static_cast<double>(t - created) / 1e4 : 0.0,
                                    GetCurrentProcessId(), text);
        DWORD written = 0;
        if (n > 0) WriteFile(file, line, static_cast<DWORD>(n < 512 ? n : 511), &written, nullptr);
    }
};

Trace& TheTrace() {
    static Trace trace;
    return trace;
}

int64_t Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

Total*& Totals() {
    static Total* first = nullptr;
    return first;
}

}  // namespace

Total::Total(const char* n) : name(n), next(Totals()) {
    Totals() = this;
}

bool On() {
    static const bool on = TheTrace().file != INVALID_HANDLE_VALUE;
    return on;
}

void Mark(const char* what) {
    if (On()) TheTrace().Write(what);
}

Span::Span(Total& total) : total_(On() ? &total : nullptr) {
    if (total_) start_ = Counter();
}

Span::~Span() {
    if (!total_) return;
    total_->ticks += Counter() - start_;
    ++total_->calls;
}

void Report(Total& total) {
    if (!On()) return;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    char text[256];
    std::snprintf(text, sizeof text, "  %s: %llu calls, %.1f ms", total.name,
                  static_cast<unsigned long long>(total.calls),
                  1e3 * static_cast<double>(total.ticks) / static_cast<double>(frequency.QuadPart));
    TheTrace().Write(text);
    total.ticks = 0;
    total.calls = 0;
}

void ReportAll() {
    if (!On()) return;
    for (Total* t = Totals(); t; t = t->next)
        if (t->calls) Report(*t);
}

}  // namespace ordvale::trace
