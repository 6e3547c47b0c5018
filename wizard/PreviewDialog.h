// The preview window (dialog 210): what a run would do with each item, or
// what taking a run back would do, listed before anything happens. The list
// is worked out on a worker thread while a line tells how far it has got, so
// a target of a hundred thousand items never freezes the window; nothing on
// disk changes meanwhile. Left, the folders with how many items each
// receives (a click shows that folder's items alone); right, the items,
// sorted by any column with a click on its header. Resizable.
//
// Inputs are set before it opens, outputs read after it closes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "PreviewModel.h"
#include "common/win/Handle.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogPreview : public CDialogEx {
public:
    enum class Mode { Preview, Undo };

    CDialogPreview();
    ~CDialogPreview() override;

    // Inputs.
    Mode mode = Mode::Preview;
    std::wstring runText;  // Undo: when the run to take back started
    std::wstring caption;  // the window's title; empty: the mode's own
    // Runs on the worker thread (COM initialised there as a single-threaded
    // apartment). Exceptions are caught; the list is then empty.
    std::function<void(PreviewWork&)> build;

    // Outputs.
    bool accepted = false;  // Undo: "Take Back" was pressed
    std::vector<PreviewRow> rows;

    // While open (for tests and the status line): whether the list is ready.
    bool Ready() const { return ready_; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    static DWORD WINAPI WorkerProc(LPVOID self);
    void StopWorker();
    void OnProgress();
    void OnBuilt();
    void Layout();
    void FillFolders();
    void ShowRows();
    void SetSortArrow();
    std::wstring CellText(const PreviewRow& row, int column) const;

    PreviewWork work_;
    win::UniqueHandle worker_;
    bool ready_ = false;
    std::vector<FolderCount> folders_;
    std::vector<std::wstring> folderTexts_;  // the folder list's rows, whole
    std::vector<std::size_t> order_;
    int sortColumn_ = kColumnTo;
    bool ascending_ = true;
    int folderFilter_ = -1;  // index into folders_, -1 for all
    SIZE minimum_ = {};
    std::wstring arrivalTexts_[static_cast<int>(Arrival::Count)];
    std::wstring notMovedText_;
    mutable std::wstring cell_;
};

}  // namespace ordvale::wizard
