// Planning: from a job to the ordered list of Create Directory and Moving
// operations. Nothing is changed on disk here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/TidyJob.h"
#include "engine/EngineContext.h"

namespace ordvale {

// At least two characters with ":" second; everything else is relative.
bool IsAbsolutePath(const std::wstring& path);

void InitializeFromJob(EngineContext* context, const TidyJob* job);

// What planning decided for one item of the target.
enum class ItemVerdict {
    Move,           // it goes into `folder`
    NoRule,         // no rule of the profile takes it (or it is no file system item)
    ProfileFolder,  // it is one of the profile's destination folders
    AlreadyThere,   // it stands in the folder it belongs in
    BeingWritten,   // a download in progress, or a file written a moment ago
};

struct PlannedItem {
    const ShellItem* item = nullptr;
    ItemVerdict verdict = ItemVerdict::NoRule;
    std::wstring folder;        // the folder a rule gives it; empty for NoRule and BeingWritten
    bool makesFolder = false;   // Move: a Create Directory for the folder comes first
};

// Told about every item of the target in order, once its operations are in
// the list; returning false stops planning there.
using PlanVisitor = std::function<bool(const PlannedItem&)>;

void PlanOperations(EngineContext* context, const PlanVisitor& visit = nullptr);

// The full path of the folder an item belongs in; false when none takes it.
bool FindDestination(const MethodProfile& profile, const ShellItem& item, const std::wstring& base,
                     std::wstring* destination);
std::vector<std::wstring> CollectFolders(const MethodProfile& profile, const std::wstring& base);
std::wstring CombineDestination(const std::wstring& relative, const std::wstring& rootPath,
                                const std::wstring& base);
// The folder path the matching walk composes for a node (empty for the root).
std::wstring FolderPath(const FolderNode& node);
void AddOperations(std::vector<std::unique_ptr<Operation>>* list, ShellItem* item,
                   const std::wstring& folder);

}  // namespace ordvale
