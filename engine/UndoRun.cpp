#include "engine/UndoRun.h"

#include <windows.h>

#include "common/PlannedNames.h"
#include "common/Text.h"
#include "common/PathText.h"

namespace ordvale {

namespace {

Operation* Append(EngineContext* context, OperationKind kind, const std::wstring& source,
                  const std::wstring& destination) {
    auto op = std::make_unique<Operation>();
    op->kind = static_cast<int32_t>(kind);
    op->status = static_cast<int32_t>(OperationStatus::Unknown);
    StoreText(op->source.path, source.c_str());
    StoreText(op->source.name, path::LastComponent(source).c_str());
    op->source.pathCut = source.size() >= kTextUnits;
    StoreText(op->destination.path, destination.c_str());
    op->destination.pathCut = destination.size() >= kTextUnits;
    context->operations.push_back(std::move(op));
    return context->operations.back().get();
}

}  // namespace

void AddUndoOperations(EngineContext* context, const UndoPlan& plan, UndoRun* run) {
    run->undoneRunId = plan.runId;
    // What stands in an item's old place now is never replaced: the item
    // comes back beside it under a numbered name.
    context->settings.fileConflict = kConflictRename;
    context->settings.folderConflict = kConflictRename;
    for (const UndoStep& step : plan.steps) {
        switch (step.action) {
            case UndoAction::MoveBack: {
                Operation* op = Append(context, OperationKind::Move, step.from, path::ParentOf(step.to));
                const std::wstring name = path::LastComponent(step.to);
                if (name != path::LastComponent(step.from)) op->newName = name;
                break;
            }
            case UndoAction::DeleteCopy: Append(context, OperationKind::Delete, step.from, L""); break;
            case UndoAction::CreateFolder: Append(context, OperationKind::CreateDirectory, step.from, L""); break;
            case UndoAction::RemoveFolder: run->foldersToRemove.push_back(step.from); break;
        }
    }
    run->left = plan.left;
}

bool PlanUndoOperations(EngineContext* context, const std::wstring& historyFolder, const std::wstring& runId,
                        UndoRun* run) {
    RunJournal journal;
    if (runId.empty() || !ReadJournalFile(historyFolder, runId, &journal)) return false;
    AddUndoOperations(context, PlanUndo(journal), run);
    return true;
}

void RemoveEmptiedFolders(const UndoRun& run, JournalWriter* journal) {
    for (const std::wstring& folder : run.foldersToRemove) {
        // RemoveDirectory refuses a folder that holds anything.
        if (!RemoveDirectoryW(folder.c_str())) continue;
        if (journal) {
            journal->Record(JournalKind::RemoveFolder, folder);
            journal->Flush();
        }
    }
}

}  // namespace ordvale
