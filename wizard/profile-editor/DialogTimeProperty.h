// The time rule pane (dialog 162): the selected time rule's first and last
// day, each a date or open ("Long ago", "Until Now"). Every click and date
// change is reported to the page (UM_TIME_CHANGED), which enables "&Update"
// while the values differ from the rule; "&Update", or Enter anywhere in
// the pane, asks the page to apply them (UM_TIME_UPDATE).
#pragma once
#include "FieldControls.h"
#include "ProfilePane.h"

namespace ordvale::wizard {

struct TimePaneFill {
    HICON icon = nullptr;  // handed over to the pane
    FILETIME begin = {};   // 0: open
    FILETIME end = {};
};

class CDialogTimeProperty : public CProfilePane {
public:
    CDialogTimeProperty();
    void Fill(const TimePaneFill& fill);
    void Clear() override;

    // The two ends as chosen (the zero time when open); an end whose date
    // was left as shown keeps its exact time.
    FILETIME Begin() const { return begin_.Read(); }
    FILETIME End() const { return end_.Read(); }
    // Whether the chosen ends differ, by calendar date, from these.
    bool Differs(const FILETIME& begin, const FILETIME& end) const;
    void EnableUpdate(bool enable) const;
    // Edit (F2) and a refused change: the "From" picker when a date is
    // chosen there, else the "Long ago" option.
    void FocusFirstField() const;
    // A refused order of the ends: the "To" picker.
    void FocusEnd() const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    editor::DateBound begin_, end_;
    bool filling_ = false;
};

}  // namespace ordvale::wizard
