#include "RuleBatch.h"

namespace ordvale::editor {

bool PlaceRuleBatch(PlacementHost& host, FolderNode* folder, const std::vector<BatchRule>& rules,
                    bool makeFolders) {
    if (!folder) return false;
    if (makeFolders) {
        std::vector<std::wstring> names;
        names.reserve(rules.size());
        for (const BatchRule& rule : rules) names.push_back(rule.folderName);
        if (!CheckNewFolderNames(host, folder, names)) return false;
    }
    PlacementMode mode = PlaceAskEach;
    for (const BatchRule& rule : rules) {
        // "Cancel" in the replacement question: nothing more is made, not
        // even the empty folders of the rules left.
        if (mode == PlaceCancelled) break;
        FolderNode* target = folder;
        if (makeFolders) {
            target = AddFolder(host, folder, rule.folderName, std::wstring());
            if (!target) return false;
        }
        if (!rule.place(&mode, target)) return false;
    }
    return true;
}

}  // namespace ordvale::editor
