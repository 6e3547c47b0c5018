// The path box of the profile page (a drop-down list in the navigation
// toolbar): one entry for each folder visited, the current one selected.
// Each entry carries a key to the folder's reference, which the box keeps
// until the entry goes.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "ProfileItemRef.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

class CPathBox {
public:
    // Made in the toolbar over the rectangle, in the page's font.
    void Create(HWND toolbar, int id, const RECT& slot, HINSTANCE module, HFONT font);
    // The folder icon at the size the box's DPI now asks for.
    void RebuildImages();
    HWND Handle() const { return box_; }
    void Clear();
    // Selects the folder's entry (by its folder, or by its path), adding one
    // at the end when it has none.
    void Select(FolderNode* folder);
    // The folder of the selected entry, when it is another one than
    // `current`. An entry whose folder was renamed or moved since goes, so
    // that selecting the folder adds one with its present path.
    bool TakeChosen(const ProfileItemRef& current, ProfileItemRef* folder);
    // Entries of the folder and everything below it: their texts after a
    // rename or relocation; removed before the folder is deleted.
    void UpdateEntries(FolderNode* folder);
    void RemoveEntries(FolderNode* folder);

private:
    struct Entry {
        std::wstring text;
        const ProfileItemRef* ref;
    };
    Entry EntryAt(int index) const;
    void Remove(int index);

    HWND box_ = nullptr;
    win::UniqueImageList images_;
    std::map<LPARAM, ProfileItemRef> refs_;
    LPARAM nextKey_ = 1;
};

}  // namespace ordvale::wizard
