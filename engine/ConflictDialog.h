// The engine's own question when an arriving item meets one of the same name.
#pragma once

#include "common/win/Dialog.h"
#include "engine/Executor.h"
#include "engine/resource.h"

namespace ordvale {

class CDialogConflict : public win::CDialog {
public:
    explicit CDialogConflict(const ConflictQuestion* question)
        : CDialog(IDD_CONFLICT), question_(question) {}

    // A ConflictAnswer, with kAnswerForAll when the box was ticked.
    int answer = kAnswerCancel;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    std::wstring Describe(UINT label, const wchar_t* path, uint64_t size, const FILETIME& time) const;
    const ConflictQuestion* question_;
};

}  // namespace ordvale
