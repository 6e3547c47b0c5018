// The "Ordvale Options" dialog: the profile document, the system progress
// window and the two conflict choices. OK checks and saves the values and
// ends the dialog with IDOK; Cancel ends it with IDCANCEL and saves nothing.
#pragma once

#include <string>

#include "common/win/Dialog.h"
#include "configure/Options.h"

namespace ordvale {

class CDialogOptions : public win::CDialog {
public:
    CDialogOptions(const OptionValues& initial, std::wstring settingsFile);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FillChoices(int comboId, const ConflictChoices& choices, int32_t stored) const;
    OptionValues ReadControls() const;
    void Browse();
    void Save();
    void Warn(const std::wstring& text) const;
    void FocusPath() const;

    OptionValues initial_;
    std::wstring settingsFile_;
};

}  // namespace ordvale
