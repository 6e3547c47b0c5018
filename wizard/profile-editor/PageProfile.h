// The profile page (dialog 203). For now it holds the profile selector: the
// method's profiles from the profile document, the default one selected.
#pragma once
#include <string>

#include "common/Settings.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CPageProfile : public CDialogEx {
public:
    CPageProfile();
    // Refills the selector with the method's profiles of the settings' document.
    void LoadForMethod(int method, const OrdvaleSettings& settings);
    // Settles unsaved changes; false when the user cancels.
    bool ConfirmSaveChanges() { return true; }
    // The selected profile's identifier; false when none is selected.
    bool SelectedProfileId(std::wstring* id) const;
    std::wstring SelectedProfileName() const;

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;

private:
    void FillProfileCombo(int method, const wchar_t* profileFile);
    void ClearCombo();
    std::wstring currentProfileId_;
};

}  // namespace ordvale::wizard
