// The size rule pane (dialog 173): the selected size rule's two bounds,
// "Larger than" and "Smaller than", each a number with its unit or
// "Unlimited". Every edit is reported to the page (UM_SIZE_CHANGED), which
// enables "&Update" while the values differ from the rule; "&Update", or
// Enter in either number, asks the page to apply them (UM_SIZE_UPDATE).
// The folders special shows with everything disabled.
#pragma once
#include <cstdint>

#include "FieldControls.h"
#include "ProfilePane.h"

namespace ordvale::wizard {

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

    // The bounds as the fields read (a bound left as shown reads exactly);
    // false when the number or the unit does not read.
    bool ReadLower(int64_t* bytes) const { return lower_.Read(bytes); }
    bool ReadUpper(int64_t* bytes) const { return upper_.Read(bytes); }
    void EnableUpdate(bool enable) const;
    // Edit (F2): the lower number with its text selected, or the lower unit
    // while that is "Unlimited".
    void FocusFirstField() const;
    // A refused bound: its number focused with the text selected.
    void FocusBound(bool lower) const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    editor::SizeField lower_, upper_;
    bool filling_ = false;
};

}  // namespace ordvale::wizard
