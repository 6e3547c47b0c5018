// The Add command "&Folder": the New Folder dialog, then the folder made in
// the current folder and selected.
#pragma once

namespace ordvale::wizard {

class EditorContext;

void AddFolderCommand(EditorContext& context);

}  // namespace ordvale::wizard
