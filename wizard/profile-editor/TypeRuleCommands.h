// The type profile's Add commands: "File &Type Rule" and "&Batch Rules...",
// which place what their dialog gave, and the three specials. Each works in
// the editor's current folder and tells it what changed.
#pragma once

namespace ordvale::wizard {

class EditorContext;

void AddTypeRuleCommand(EditorContext& context);
void AddTypeBatchCommand(EditorContext& context);
// A special (kind 1 to 3) under its special name.
void AddTypeSpecialCommand(EditorContext& context, int kind, const wchar_t* name);

}  // namespace ordvale::wizard
