// Lists the operations a pass left undone; the user ticks those to ignore
// and retries the rest, or cancels.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "common/win/Dialog.h"
#include "common/win/Handle.h"
#include "engine/EngineContext.h"

namespace ordvale {

class CDialogUncompleted : public win::CDialog {
public:
    explicit CDialogUncompleted(EngineContext* context);

    // The rows' operations, in list order (after the dialog has initialised).
    const std::vector<Operation*>& Rows() const { return rows_; }
    // The rows' small icons; the dialog owns them, the list only shows them.
    HIMAGELIST SmallImages() const { return images_.Get(); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void Fill();
    int ImageFor(const ShellItem& item);
    void SizeColumns();
    std::wstring KindName(int32_t kind) const;
    void SetAllTicked(bool ticked);
    void SyncIgnoreAll();
    void AskToCancel();

    EngineContext* context_;
    win::UniqueImageList images_;
    win::UniqueIcon warning_;  // shown beside the text
    // Image of each file type already in the list (see IconTypeKey).
    std::unordered_map<std::wstring, int> imageOfType_;
    std::vector<Operation*> rows_;
    // Set while the dialog itself changes many check boxes: the rows'
    // change notices are then not handled one by one.
    bool bulkChange_ = false;
};

}  // namespace ordvale
