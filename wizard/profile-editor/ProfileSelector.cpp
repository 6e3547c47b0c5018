#include "ProfileSelector.h"

#include <windowsx.h>

#include "common/Text.h"

namespace ordvale::wizard {

void CProfileSelector::Clear() {
    if (combo_) ComboBox_ResetContent(combo_);
    ids_.clear();
}

void CProfileSelector::Fill(const std::vector<ProfileEntry>& entries, int selected) {
    Clear();
    for (const ProfileEntry& entry : entries) {
        const int index = ComboBox_AddString(combo_, entry.displayName);
        if (index < 0) continue;
        ComboBox_SetItemData(combo_, index, static_cast<LPARAM>(ids_.size()));
        ids_.push_back(FieldText(entry.id));
    }
    // The list is sorted: find the chosen entry by the position it carries.
    int at = -1;
    for (int i = 0; selected >= 0 && i < ComboBox_GetCount(combo_); ++i)
        if (ComboBox_GetItemData(combo_, i) == static_cast<LRESULT>(selected)) at = i;
    ComboBox_SetCurSel(combo_, at);
}

const std::wstring* CProfileSelector::IdAt(int index) const {
    const LRESULT data = ComboBox_GetItemData(combo_, index);
    if (data < 0 || static_cast<std::size_t>(data) >= ids_.size()) return nullptr;
    return &ids_[static_cast<std::size_t>(data)];
}

bool CProfileSelector::SelectedId(std::wstring* id) const {
    const int index = ComboBox_GetCurSel(combo_);
    if (index < 0) return false;
    const std::wstring* found = IdAt(index);
    if (!found) return false;
    if (id) *id = *found;
    return true;
}

std::wstring CProfileSelector::Text() const {
    if (!combo_) return std::wstring();
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(combo_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(combo_, &text[0], static_cast<int>(text.size()))));
    return text;
}

void CProfileSelector::SelectId(const std::wstring& id) {
    int at = -1;
    for (int i = 0; i < ComboBox_GetCount(combo_); ++i) {
        const std::wstring* found = IdAt(i);
        if (found && *found == id) at = i;
    }
    ComboBox_SetCurSel(combo_, at);
}

}  // namespace ordvale::wizard
