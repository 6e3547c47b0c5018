// The "Ordvale Options" dialog: the profile document, the system progress
// window, the two conflict choices and the watched folders (add, remove,
// pause and resume, each with its state). OK checks and saves the values and
// the watched folders and ends the dialog with IDOK; Cancel ends it with
// IDCANCEL and saves nothing.
#pragma once

#include <string>
#include <vector>

#include "common/WatchedFolders.h"

#include "common/win/Dialog.h"
#include "configure/Options.h"

namespace ordvale {

class CDialogOptions : public win::CDialog {
public:
    CDialogOptions(const OptionValues& initial, std::wstring settingsFile);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void FillChoices(int comboId, const ConflictChoices& choices, int32_t stored) const;
    OptionValues ReadControls() const;
    void Browse();
    void Save();
    void Warn(const std::wstring& text) const;
    void FocusPath() const;
    // The watched folders.
    void FillWatched(int select);
    std::wstring StateText(const WatchedFolder& folder) const;
    int SelectedWatched() const;
    void UpdateWatchedButtons() const;
    void AddWatched();
    void RemoveWatched();
    void TogglePaused();

    OptionValues initial_;
    std::wstring settingsFile_;
    std::vector<WatchedFolder> watched_;
};

}  // namespace ordvale
