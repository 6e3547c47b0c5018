#include "engine/UndoRun.h"

#include <windows.h>

#include <algorithm>

#include "common/PlannedNames.h"
#include "common/Text.h"
#include "common/PathText.h"

namespace ordvale {

namespace {

// Makes the operations of an undo; the folders items go back into are one
// text each, however many items go back into them.
class Appender {
public:
    explicit Appender(EngineContext* context) : context_(context) {}

    Operation* Append(OperationKind kind, const std::wstring& source, const std::wstring& destination) {
        auto op = std::make_unique<Operation>();
        op->kind = static_cast<int8_t>(kind);
        op->status = static_cast<int8_t>(OperationStatus::Unknown);
        const std::wstring name = path::LastComponent(source);
        const std::size_t nameAt = source.size() - std::min(name.size(), source.size());
        if (nameAt > 0 && source[nameAt - 1] == L'\\' && source.compare(nameAt, name.size(), name) == 0)
            TextField::StorePathAndName(source.c_str(), source.size(), nameAt, &op->source.path, &op->source.name);
        else {
            StoreText(op->source.path, source.c_str());
            StoreText(op->source.name, name.c_str());
        }
        op->source.pathCut = source.size() >= kTextUnits;
        if (lastDestination_ != destination) lastDestination_ = destination;
        op->destination.path = lastDestination_;
        op->destination.pathCut = destination.size() >= kTextUnits;
        context_->operations.push_back(std::move(op));
        return context_->operations.back().get();
    }

private:
    EngineContext* context_;
    TextField lastDestination_;
};

}  // namespace

void AddUndoOperations(EngineContext* context, const UndoPlan& plan, UndoRun* run) {
    run->undoneRunId = plan.runId;
    // What stands in an item's old place now is never replaced: the item
    // comes back beside it under a numbered name.
    context->settings.fileConflict = kConflictRename;
    context->settings.folderConflict = kConflictRename;
    Appender appender(context);
    for (const UndoStep& step : plan.steps) {
        switch (step.action) {
            case UndoAction::MoveBack: {
                Operation* op = appender.Append(OperationKind::Move, step.from, path::ParentOf(step.to));
                const std::wstring name = path::LastComponent(step.to);
                if (name != path::LastComponent(step.from)) op->SetNewName(name);
                run->expected[op] = UndoRun::Expected{step.isFolder, step.size, step.lastWrite};
                break;
            }
            case UndoAction::DeleteCopy: {
                Operation* op = appender.Append(OperationKind::Delete, step.from, L"");
                run->expected[op] = UndoRun::Expected{step.isFolder, step.size, step.lastWrite};
                break;
            }
            case UndoAction::CreateFolder: appender.Append(OperationKind::CreateDirectory, step.from, L""); break;
            case UndoAction::RemoveFolder: run->foldersToRemove.push_back(step.from); break;
        }
    }
    run->left = plan.left;
    run->partials = plan.partials;
    run->steps = plan.steps.size() + plan.partials.size();
}

bool PlanUndoOperations(EngineContext* context, const std::wstring& historyFolder, const std::wstring& runId,
                        UndoRun* run) {
    UndoPlan plan;
    {
        RunJournal journal;
        if (!ReadJournalFile(historyFolder, runId, &journal, &run->readError)) return false;
        plan = PlanUndo(journal);
        run->skippedLines = journal.skippedLines;
        run->skippedSamples = std::move(journal.skippedSamples);
    }
    // The journal is gone before the operations are made: a run of a
    // million items is not held three times over.
    AddUndoOperations(context, plan, run);
    return true;
}

bool StillAsTheRunLeftIt(const UndoRun& run, const Operation& op, UndoReason* reason) {
    const auto found = run.expected.find(&op);
    if (found == run.expected.end()) return true;
    const UndoRun::Expected& expected = found->second;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(op.source.path.c_str(), GetFileExInfoStandard, &data)) {
        *reason = UndoReason::Missing;
        return false;
    }
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const uint64_t lastWrite =
        (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    const bool same = isFolder ? expected.isFolder
                               : !expected.isFolder && size == expected.size && lastWrite == expected.lastWrite;
    if (!same) *reason = UndoReason::Changed;
    return same;
}

void RemoveEmptiedFolders(UndoRun* run, JournalWriter* journal) {
    // An unfinished copy is only ever the run's own temporary file: one that
    // changed since the undo looked is someone else's now.
    for (const UndoPartial& partial : run->partials) {
        uint64_t size = 0, lastWrite = 0;
        ReadSizeAndLastWrite(partial.path, &size, &lastWrite);
        if (lastWrite == 0 || size != partial.size || lastWrite != partial.lastWrite) continue;
        const DWORD attributes = GetFileAttributesW(partial.path.c_str());
        SetFileAttributesW(partial.path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(partial.path.c_str())) continue;
        // Held open by someone, most likely: it stays as it was.
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(partial.path.c_str(), attributes);
        run->partialsKept.push_back(partial.path);
    }
    for (const std::wstring& folder : run->foldersToRemove) {
        // RemoveDirectory refuses a folder that holds anything.
        if (!RemoveDirectoryW(folder.c_str())) continue;
        if (journal) {
            journal->Record(JournalKind::RemoveFolder, folder);
            journal->Flush();
        }
    }
}

}  // namespace ordvale
