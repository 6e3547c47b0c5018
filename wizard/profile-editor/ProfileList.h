// The list of the profile page's current folder (list view 1003): its
// subfolders, then its rules, with the page's two image lists (the folder,
// the method's rule icons, and the shell's icon of each extension met, added
// once per extension). Each item's data is the position of its reference in
// the list's own vector; listing again replaces them all.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "EditorTexts.h"
#include "ProfileItemRef.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

// The four views of the list, in the order of the View menu.
enum class ListMode { Icon, SmallIcon, List, Details };

class CProfileList {
public:
    // Columns Name, Type and Description; the last one fills the width.
    void Attach(HWND list, HINSTANCE module, const std::wstring (&columnTitles)[3]);
    HWND Handle() const { return list_; }

    // Image lists for a profile of this method (every extension forgotten).
    void RebuildImageLists(ModelMethod method);
    HIMAGELIST LargeImages() const { return large_.Get(); }
    HIMAGELIST SmallImages() const { return small_.Get(); }
    // Texts and icon of a rule; an extension rule gets the shell's icon of
    // its extension.
    void PrepareRuleDisplay(const editor::TextSource& texts, ModelMethod method, RuleEntry* entry);
    // Texts of every rule of the tree now, their extension icons when they are listed.
    void PrepareTree(const editor::TextSource& texts, FolderNode& folder);

    void Clear();
    // Lists the folder: subfolders, then rules, with the kind texts given.
    void Show(FolderNode& folder, const std::wstring& folderKind, const std::wstring& ruleKind);
    // The row of this folder or rule shows it again as it now is.
    void ShowRow(const ProfileItemRef& ref);

    std::vector<int> SelectedIndexes() const;
    const ProfileItemRef* ItemRefAt(int index) const;
    // Copies of the selected items' references, in list order.
    std::vector<ProfileItemRef> SelectedItems() const;
    // Where the list's menu opens from the keyboard, on the screen: under
    // the first selected item's label, or at the list's top left.
    POINT KeyboardMenuPoint() const;
    // The image of the item at the index, -1 without one.
    int ImageAt(int index) const;
    // Selects the item of this folder or rule alone and scrolls it into view.
    void SelectItem(const ProfileItemRef& ref);
    void SelectAll();
    ListMode View() const { return view_; }
    void SetView(ListMode view);

private:
    int ExtensionIcon(const std::wstring& extension);
    void InsertItem(int index, const ProfileItemRef& ref, const std::wstring& name, int image,
                    const std::wstring& type, const std::wstring& detail);

    HWND list_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::vector<ProfileItemRef> items_;
    win::UniqueImageList large_;
    win::UniqueImageList small_;
    std::map<std::wstring, int> extensionIcons_;
    ListMode view_ = ListMode::Details;
};

}  // namespace ordvale::wizard
