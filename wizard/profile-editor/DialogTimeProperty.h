// The time rule pane (dialog 162): the selected time rule's first and last
// day, each a date or open ("Long ago", "Until Now"). Enter anywhere in the
// pane applies a change.
#pragma once
#include "FieldControls.h"
#include "ProfilePane.h"
#include "RuleEdits.h"

namespace ordvale::wizard {

class EditorContext;

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
    editor::TimePaneValues Values() const;
    // Edit (F2), and a refused change: the "From" picker when a date is
    // chosen there, else the "Long ago" option.
    void FocusFirstField() override;
    // A refused order of the ends: the "To" picker, or "Until Now".
    void FocusEnd();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    editor::DateBound begin_, end_;
};

// How the page fills this pane from a time rule, tests it and applies it.
PaneBinding BindTimePane(EditorContext& context, CDialogTimeProperty& pane);

}  // namespace ordvale::wizard
