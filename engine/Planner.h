// Planning: from a job to the ordered list of Create Directory and Moving
// operations. Nothing is changed on disk here.
#pragma once

#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/TidyJob.h"
#include "engine/EngineContext.h"

namespace ordvale {

// At least two characters with ":" second; everything else is relative.
bool IsAbsolutePath(const std::wstring& path);

void InitializeFromJob(EngineContext* context, const TidyJob* job);
void PlanOperations(EngineContext* context);

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
