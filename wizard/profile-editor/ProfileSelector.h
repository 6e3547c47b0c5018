// The profile selector of the profile page (a sorted drop-down list): one
// entry for each profile of the method, by display name. Each entry carries
// the position of its profile's identifier in the selector's own list.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/MethodProfile.h"

namespace ordvale::wizard {

class CProfileSelector {
public:
    void Attach(HWND combo) { combo_ = combo; }
    HWND Handle() const { return combo_; }

    // Lists the entries and selects the one at `selected` (-1: none).
    void Fill(const std::vector<ProfileEntry>& entries, int selected);
    void Clear();
    // The selected entry's identifier; false when none is selected.
    bool SelectedId(std::wstring* id) const;
    // The text the selector shows.
    std::wstring Text() const;
    // Selects the entry with this identifier (none when absent).
    void SelectId(const std::wstring& id);

private:
    // The identifier the entry at the index carries, or nullptr.
    const std::wstring* IdAt(int index) const;

    HWND combo_ = nullptr;
    std::vector<std::wstring> ids_;
};

}  // namespace ordvale::wizard
