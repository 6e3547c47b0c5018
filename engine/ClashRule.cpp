#include "engine/ClashRule.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/ShellItemShell.h"

namespace ordvale {

FilePolicy FilePolicyOf(const OrdvaleSettings& settings) {
    switch (settings.fileConflict) {
        case kConflictOverwrite: return FilePolicy::Overwrite;
        case kConflictAsk: return FilePolicy::Ask;
        default: return FilePolicy::Rename;
    }
}

FolderPolicy FolderPolicyOf(const OrdvaleSettings& settings) {
    switch (settings.folderConflict) {
        case kConflictRename: return FolderPolicy::Rename;
        case kConflictAsk: return FolderPolicy::Ask;
        default: return FolderPolicy::Merge;
    }
}

ClashOutcome DecideClash(const OrdvaleSettings& settings, const Clash& clash) {
    if (clash.arrivingFolder != clash.standingFolder) return ClashOutcome::KeepBoth;
    if (clash.arrivingFolder) {
        if (clash.arrivingLinked || clash.standingLinked) return ClashOutcome::KeepBoth;
        if (clash.insideMerge) return ClashOutcome::Merge;
        switch (FolderPolicyOf(settings)) {
            case FolderPolicy::Rename: return ClashOutcome::KeepBoth;
            case FolderPolicy::Ask: return ClashOutcome::Ask;
            case FolderPolicy::Merge: return ClashOutcome::Merge;
        }
        return ClashOutcome::Merge;
    }
    if (clash.standingBrought) return ClashOutcome::KeepBoth;
    switch (FilePolicyOf(settings)) {
        case FilePolicy::Overwrite: return ClashOutcome::Replace;
        case FilePolicy::Ask: return ClashOutcome::Ask;
        case FilePolicy::Rename: return ClashOutcome::KeepBoth;
    }
    return ClashOutcome::KeepBoth;
}

unsigned CopyMoveFlags(const OrdvaleSettings& settings, const ShellItem& source) {
    unsigned k = FOF_NOCONFIRMATION;
    if (IsFile(source)) {
        switch (FilePolicyOf(settings)) {
            case FilePolicy::Overwrite: break;
            case FilePolicy::Ask: k = 0; break;
            case FilePolicy::Rename: k |= FOF_RENAMEONCOLLISION; break;
        }
    }
    if (IsFolder(source)) {
        switch (FolderPolicyOf(settings)) {
            case FolderPolicy::Rename: k |= FOF_RENAMEONCOLLISION; break;
            case FolderPolicy::Ask: k = 0; break;
            case FolderPolicy::Merge: break;
        }
    }
    return k | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI |
           (settings.showSystemProgress ? FOF_SIMPLEPROGRESS : FOF_SILENT);
}

}  // namespace ordvale
