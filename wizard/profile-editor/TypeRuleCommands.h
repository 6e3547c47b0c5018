// The type profile's Add commands that run a dialog: "File &Type Rule" and
// "&Batch Rules...". Each places what its dialog gave in the page's current
// folder and refreshes the page.
#pragma once

namespace ordvale::wizard {

class CPageProfile;

void AddTypeRuleCommand(CPageProfile& page);
void AddTypeBatchCommand(CPageProfile& page);

}  // namespace ordvale::wizard
