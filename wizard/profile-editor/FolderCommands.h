// The folder commands of the profile page's list: Add "&Folder" (the New
// Folder dialog, then the folder made in the current folder and selected),
// and Delete of the selected items.
#pragma once

#include <functional>
#include <vector>

#include "ProfileItemRef.h"

namespace ordvale::wizard {

class EditorContext;

void AddFolderCommand(EditorContext& context);

// Asks (counting the folders and rules), then deletes the items that are
// subfolders or rules of the current folder, the last one first.
// beforeFolderGoes runs for each subfolder just before it is deleted.
void DeleteItemsCommand(EditorContext& context, const std::vector<ProfileItemRef>& items,
                        const std::function<void(FolderNode*)>& beforeFolderGoes);

}  // namespace ordvale::wizard
