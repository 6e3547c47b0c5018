// What a list item, a path-box entry and the current location of the
// profile page refer to: a folder of a loaded profile, or one rule of a
// folder (the folder and the rule's position in its list). The list and the
// path box keep their own copies and drop them before the folder goes.
#pragma once
#include <cstdint>
#include <vector>

#include "RuleDisplay.h"
#include "common/MethodProfile.h"

namespace ordvale::wizard {

enum class ItemKind : int32_t { None, Folder, TypeRule, TimeRule, SizeRule, NameRule };

// The kind of the rule items of a model of this method (None for no method).
inline ItemKind RuleItemKind(ModelMethod method) {
    switch (method) {
        case ModelMethod::Type: return ItemKind::TypeRule;
        case ModelMethod::Time: return ItemKind::TimeRule;
        case ModelMethod::Size: return ItemKind::SizeRule;
        case ModelMethod::Name: return ItemKind::NameRule;
        default: return ItemKind::None;
    }
}

struct ProfileItemRef {
    ItemKind kind = ItemKind::None;
    ModelMethod method = ModelMethod::None;  // the model the item belongs to
    FolderNode* folder = nullptr;            // the folder itself, or the folder holding the rule
    int32_t ruleIndex = -1;                  // rules: the position in the folder's list

    bool IsFolder() const { return kind == ItemKind::Folder && folder; }
    bool IsRule() const { return kind != ItemKind::None && kind != ItemKind::Folder && folder; }
    // The rule entry, or nullptr (a folder item, or a position gone).
    RuleEntry* Rule() const { return IsRule() ? editor::RuleAt(*folder, ruleIndex) : nullptr; }
    bool operator==(const ProfileItemRef& other) const {
        return kind == other.kind && method == other.method && folder == other.folder && ruleIndex == other.ruleIndex;
    }
    bool operator!=(const ProfileItemRef& other) const { return !(*this == other); }
};

// The folders and rules among the items.
struct ItemCounts {
    int folders = 0;
    int rules = 0;
};
inline ItemCounts CountItems(const std::vector<ProfileItemRef>& items) {
    ItemCounts counts;
    for (const ProfileItemRef& item : items) {
        if (item.IsFolder()) ++counts.folders;
        if (item.IsRule()) ++counts.rules;
    }
    return counts;
}

inline ProfileItemRef FolderRef(FolderNode* folder) {
    return {ItemKind::Folder, folder ? folder->Method() : ModelMethod::None, folder, -1};
}
inline ProfileItemRef RuleRef(FolderNode* folder, int index) {
    return {folder ? RuleItemKind(folder->Method()) : ItemKind::None, folder ? folder->Method() : ModelMethod::None,
            folder, index};
}

}  // namespace ordvale::wizard
