// The name profile's Add commands: "File Name Rule", "Regular Expression
// Rule" and "Batch Name Rules...". Each runs its dialog, places what it gave
// in the page's current folder and refreshes the page.
#pragma once

namespace ordvale::wizard {

class CPageProfile;

void AddNameRangeCommand(CPageProfile& page);
void AddNameRegExpCommand(CPageProfile& page);
void AddNameBatchCommand(CPageProfile& page);

}  // namespace ordvale::wizard
