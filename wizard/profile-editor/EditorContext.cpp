#include "EditorContext.h"

#include <algorithm>

namespace ordvale::wizard {

EditorChange EditorChange::Listed(const ProfileItemRef& select) {
    EditorChange change;
    change.refresh = Refresh::List;
    change.select = select;
    return change;
}

EditorChange EditorChange::Edited(const ProfileItemRef& item, bool withPane) {
    EditorChange change;
    change.refresh = withPane ? Refresh::RowAndPane : Refresh::Row;
    change.item = item;
    return change;
}

EditorChange EditorChange::Renamed(const ProfileItemRef& folder) {
    EditorChange change = Edited(folder, false);
    if (folder.IsFolder()) change.renamed.push_back(folder.folder);
    return change;
}

void EditorChange::Merge(const EditorChange& later) {
    const bool rows = refresh == Refresh::Row || refresh == Refresh::RowAndPane;
    const bool laterRows = later.refresh == Refresh::Row || later.refresh == Refresh::RowAndPane;
    if (rows && laterRows && item != later.item) {
        refresh = Refresh::List;  // one row each: list them all
    } else if (later.refresh > refresh) {
        refresh = later.refresh;
    }
    if (refresh != Refresh::Row && refresh != Refresh::RowAndPane) {
        item = ProfileItemRef{};
    } else if (laterRows) {
        item = later.item;
    }
    if (later.select.kind != ItemKind::None) select = later.select;
    for (FolderNode* folder : later.renamed)
        if (std::find(renamed.begin(), renamed.end(), folder) == renamed.end()) renamed.push_back(folder);
}

void ChangeQueue::Add(const EditorChange& change) {
    if (hasPending_) {
        pending_.Merge(change);
    } else {
        pending_ = change;
        hasPending_ = true;
    }
    if (holds_ == 0) Show();
}

ChangeQueue::Hold::~Hold() {
    if (--queue_.holds_ == 0 && queue_.hasPending_) queue_.Show();
}

void ChangeQueue::Show() {
    const EditorChange change = pending_;
    pending_ = EditorChange{};
    hasPending_ = false;
    for (FolderNode* folder : change.renamed) view_.ShowPathsOf(folder);
    switch (change.refresh) {
        case Refresh::List: view_.ListAgain(); break;
        case Refresh::RowAndPane:
            view_.ShowRow(change.item);
            view_.FillPaneAgain(change.item);
            break;
        case Refresh::Row: view_.ShowRow(change.item); break;
        case Refresh::None: break;
    }
    if (change.select.kind != ItemKind::None) view_.SelectAlone(change.select);
    view_.ShowSaveState();
}

}  // namespace ordvale::wizard
