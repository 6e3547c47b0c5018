// The size and time profiles' Add commands that run a dialog: "File &Size
// Rule" and "&Batch Rules ..." of sizes; "Date&Time Rule" and the batches by
// year, month and day. Each places what its dialog gave in the page's
// current folder and refreshes the page.
#pragma once
#include <windows.h>

namespace ordvale::wizard {

class CPageProfile;

void AddSizeRuleCommand(CPageProfile& page);
void AddSizeBatchCommand(CPageProfile& page);
void AddTimeRuleCommand(CPageProfile& page);
// command: ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH or ID_ADD_TIME_BY_DAY.
void AddTimeBatchCommand(CPageProfile& page, WORD command);

}  // namespace ordvale::wizard
