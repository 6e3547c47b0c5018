#include "FolderLocation.h"

#include "resource.h"

namespace ordvale::wizard {

FolderNode* CFolderLocation::Folder() const {
    if (!session_.ProfileLoaded() || !current_.IsFolder() || current_.method != session_.Method()) return nullptr;
    return current_.folder;
}

void CFolderLocation::ShowRoot(FolderNode* root) {
    current_ = FolderRef(root);
    Refresh();
}

void CFolderLocation::Refresh() {
    list_.Clear();
    if (FolderNode* folder = Folder()) {
        pathBox_.Select(folder);
        list_.Show(*folder, texts_.Text(IDS_FOLDER_KIND), texts_.Text(IDS_RULE_KIND));
    }
    pane_.Show();
}

void CFolderLocation::Navigate(Go go, const ProfileItemRef* folder) {
    if (!session_.ProfileLoaded()) return;
    switch (go) {
        case Go::Enter:
            if (!folder || !folder->IsFolder() || folder->method != session_.Method()) return;
            current_ = *folder;
            break;
        case Go::Up: {
            FolderNode* here = Folder();
            if (!here || !here->parent) return;  // at the root the list stays as it is
            current_ = FolderRef(here->parent);
            break;
        }
        case Go::Refresh:
            break;
    }
    Refresh();
}

void CFolderLocation::OpenSelected() {
    if (!session_.ProfileLoaded()) return;
    const int first = ListView_GetNextItem(list_.Handle(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = first >= 0 ? list_.ItemRefAt(first) : nullptr;
    if (ref && ref->IsFolder()) {
        const ProfileItemRef target = *ref;  // the item goes with the list
        Navigate(Go::Enter, &target);
    }
}

void CFolderLocation::OpenPathEntry() {
    if (!session_.ProfileLoaded()) return;
    ProfileItemRef target;
    if (pathBox_.TakeChosen(current_, &target)) Navigate(Go::Enter, &target);
}

}  // namespace ordvale::wizard
