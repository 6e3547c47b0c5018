// The name profile's Add commands: "File Name Rule", "Regular Expression
// Rule" and "Batch Name Rules...". Each runs its dialog, places what it gave
// in the page's current folder and tells the context what changed.
#pragma once

namespace ordvale::wizard {

class EditorContext;

void AddNameRangeCommand(EditorContext& context);
void AddNameRegExpCommand(EditorContext& context);
void AddNameBatchCommand(EditorContext& context);

}  // namespace ordvale::wizard
