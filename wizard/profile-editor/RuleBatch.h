// Placing a batch of generated rules (the size steps, the years, months or
// days of the time batches): every folder name is checked before anything
// is made, then one folder (when asked) and one rule after the other, all
// with one PlacementMode, so that "Yes to all" and "Cancel" carry on.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "Placement.h"

namespace ordvale::editor {

// The most rules one batch command makes.
constexpr std::size_t kMaxBatchRules = 1000;

struct BatchRule {
    std::wstring folderName;  // the folder made for it with "Create Folder For Each Rule"
    // Places the rule into the folder given, with the batch's mode.
    std::function<bool(PlacementMode* mode, FolderNode* folder)> place;
};

// True when every rule was placed (also when answers added nothing); false
// at the first folder or rule that could not be made. Rules and folders
// made before a failure stay; a refused folder name stops the batch before
// anything is made. After "Cancel" in the replacement question nothing
// more is made, folders included, and the batch counts as placed.
bool PlaceRuleBatch(PlacementHost& host, FolderNode* folder, const std::vector<BatchRule>& rules,
                    bool makeFolders);

}  // namespace ordvale::editor
