// The size rule pane (dialog 173): the selected size rule's two bounds,
// "Larger than" and "Smaller than", each a number with its unit or
// "Unlimited". Enter in either number applies a change; the folders special
// shows with everything disabled.
#pragma once
#include <cstdint>

#include "FieldControls.h"
#include "ProfilePane.h"
#include "RuleEdits.h"

namespace ordvale::wizard {

class EditorContext;

struct SizePaneFill {
    HICON icon = nullptr;  // handed over to the pane
    int kind = 0;          // 0 range, 1 folders special
    int64_t lower = 0;     // bytes, 0 unlimited
    int64_t upper = 0;
};

class CDialogSizeProperty : public CProfilePane {
public:
    CDialogSizeProperty();
    void Fill(const SizePaneFill& fill);
    void Clear() override;
    // The bounds as the fields read; a bound left as shown reads exactly.
    editor::SizePaneValues Values() const;
    // Edit (F2), and a refusal of the lower bound: its number with the text
    // selected, or its unit while that is "Unlimited".
    void FocusFirstField() override;
    // A refusal of the upper bound: its number with the text selected.
    void FocusUpperBound();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    bool EnterUpdatesIn(int controlId) const override;

private:
    editor::SizeField lower_, upper_;
};

// How the page fills this pane from a size rule, tests it and applies it.
PaneBinding BindSizePane(EditorContext& context, CDialogSizeProperty& pane);

}  // namespace ordvale::wizard
