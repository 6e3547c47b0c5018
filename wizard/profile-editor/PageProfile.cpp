#include "PageProfile.h"

#include <windowsx.h>

#include "../WizardLogic.h"
#include "../resource.h"

namespace ordvale::wizard {

CPageProfile::CPageProfile() : CDialogEx(IDD_PAGE_PROFILE, true, IDC_PROFILE_TITLE) {}

BOOL CPageProfile::OnInitDialog() {
    CDialogEx::OnInitDialog();
    return TRUE;
}

void CPageProfile::OnDestroy() {
    ClearCombo();
}

void CPageProfile::ClearCombo() {
    HWND combo = Item(IDC_PROFILE_COMBO);
    if (!combo) return;
    int count = ComboBox_GetCount(combo);
    for (int i = 0; i < count; ++i) delete reinterpret_cast<std::wstring*>(ComboBox_GetItemData(combo, i));
    ComboBox_ResetContent(combo);
}

void CPageProfile::FillProfileCombo(int method, const wchar_t* profileFile) {
    ClearCombo();
    currentProfileId_.clear();
    HWND combo = Item(IDC_PROFILE_COMBO);
    const std::vector<ProfileEntry> entries = LoadProfileList(profileFile, method);
    int selected = -1;
    for (const ProfileEntry& entry : entries) {
        int index = ComboBox_AddString(combo, entry.displayName);
        if (index < 0) continue;
        ComboBox_SetItemData(combo, index, reinterpret_cast<LPARAM>(new std::wstring(entry.id)));
        if (entry.isDefault) selected = index;
        else if (selected >= index) ++selected;  // a sorted insert moved the default down
    }
    ComboBox_SetCurSel(combo, selected);
}

void CPageProfile::LoadForMethod(int method, const OrdvaleSettings& settings) {
    FillProfileCombo(method, settings.profileFile);
}

bool CPageProfile::SelectedProfileId(std::wstring* id) const {
    HWND combo = Item(IDC_PROFILE_COMBO);
    int index = ComboBox_GetCurSel(combo);
    if (index < 0) return false;
    auto* text = reinterpret_cast<std::wstring*>(ComboBox_GetItemData(combo, index));
    if (!text || text == reinterpret_cast<std::wstring*>(CB_ERR)) return false;
    *id = *text;
    return true;
}

std::wstring CPageProfile::SelectedProfileName() const {
    return ItemText(IDC_PROFILE_COMBO);
}

}  // namespace ordvale::wizard
