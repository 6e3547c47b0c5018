// The profile page's three toolbars, each made over its placeholder in the
// dialog template: the profile commands (Reload, New, Save, Save As, Rename,
// Delete), the navigation (Upward, the path box, the View drop-down) and the
// New Item drop-down. Their icons follow the page's DPI; their tooltips are
// the second line of each command's string.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "PathBox.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

class CEditorToolbars {
public:
    // Makes the toolbars in the page and the path box in the navigation
    // toolbar's gap; the New Item button shows the label.
    void Create(HWND page, HINSTANCE module, const std::wstring& newItemLabel, CPathBox* pathBox);
    // Profile, navigation, new items.
    std::array<HWND, 3> Handles() const { return toolbars_; }
    // The toolbar holding this drop-down button (View or New Item).
    HWND ToolbarOf(int command) const;

    // Reload, Save As, Rename and Delete.
    void EnableProfileCommands(bool enable);
    void EnableSave(bool enable);
    // The navigation toolbar and New Item with their buttons.
    void EnableNavigation(bool enable);
    // Icons at the size the page's DPI now asks for.
    void RebuildImages();
    // Fills a toolbar button's tooltip; false for any other notification.
    bool OnTooltip(NMHDR* header) const;

private:
    HWND Make(int id, int slot, DWORD style, HIMAGELIST images, const std::vector<TBBUTTON>& buttons);

    HWND page_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::array<HWND, 3> toolbars_ = {};
    win::UniqueImageList images_[3];
};

}  // namespace ordvale::wizard
