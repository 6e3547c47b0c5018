// What a list item, a path-box entry and the current location of the
// profile page refer to: a folder of a loaded profile, or one rule of a
// folder (the folder and the rule's position in its list). The list and the
// path box keep their own copies and drop them before the folder goes.
#pragma once
#include <cstdint>

#include "RuleDisplay.h"
#include "common/MethodProfile.h"

namespace ordvale::wizard {

enum ProfileItemKind : int32_t {
    ItemNone = 0,
    ItemFolder = 1,
    ItemTypeRule = 2,  // a rule item's kind is its model's method plus one
    ItemTimeRule = 3,
    ItemSizeRule = 4,
    ItemNameRule = 5,
};

struct ProfileItemRef {
    int32_t kind = ItemNone;
    int32_t method = 0;              // the model the item belongs to (1 type ... 4 name)
    FolderNode* folder = nullptr;    // the folder itself, or the folder holding the rule
    int32_t ruleIndex = -1;          // rules: the position in the folder's list

    bool IsFolder() const { return kind == ItemFolder && folder; }
    bool IsRule() const { return kind >= ItemTypeRule && kind <= ItemNameRule && folder; }
    // The rule entry, or nullptr (a folder item, or a position gone).
    RuleEntry* Rule() const { return IsRule() ? editor::RuleAt(*folder, ruleIndex) : nullptr; }
    bool operator==(const ProfileItemRef& other) const {
        return kind == other.kind && method == other.method && folder == other.folder && ruleIndex == other.ruleIndex;
    }
    bool operator!=(const ProfileItemRef& other) const { return !(*this == other); }
};

inline ProfileItemRef FolderRef(FolderNode* folder) {
    return {ItemFolder, folder ? folder->Method() : 0, folder, -1};
}
inline ProfileItemRef RuleRef(FolderNode* folder, int index) {
    return {folder ? folder->Method() + 1 : ItemNone, folder ? folder->Method() : 0, folder, index};
}

}  // namespace ordvale::wizard
