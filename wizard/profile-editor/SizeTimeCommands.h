// The size and time profiles' Add commands that run a dialog: "File &Size
// Rule" and "&Batch Rules ..." of sizes; "Date&Time Rule" and the batches by
// year, month and day. Each places what its dialog gave in the page's
// current folder and tells the context what changed.
#pragma once
#include <windows.h>

namespace ordvale::wizard {

class EditorContext;

void AddSizeRuleCommand(EditorContext& context);
void AddSizeBatchCommand(EditorContext& context);
// "&Folders" of the size profile: the folders special.
void AddSizeFoldersCommand(EditorContext& context);
void AddTimeRuleCommand(EditorContext& context);
// command: ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH or ID_ADD_TIME_BY_DAY.
void AddTimeBatchCommand(EditorContext& context, WORD command);

}  // namespace ordvale::wizard
