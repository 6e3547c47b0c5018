#include "HistoryDialog.h"

#include <commctrl.h>

#include "PreviewDialog.h"
#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Journal.h"
#include "common/Text.h"
#include "common/win/ListView.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

enum HistoryColumn : int { kStarted, kTidied, kMethod, kItems, kStartedBy, kTakenBack };

// The history folder of this user; empty when there is none to find.
std::wstring UserHistoryFolder() {
    std::wstring appData;
    return GetAppDataFolder(&appData) ? HistoryFolderIn(appData) : std::wstring();
}

// Shows the undo preview of a run; true when its "Take Back" was pressed.
bool AcceptTakeBack(HINSTANCE module, HWND owner, const std::wstring& history, const std::wstring& runId,
                    const std::wstring& caption) {
    CDialogPreview preview;
    preview.mode = CDialogPreview::Mode::Undo;
    preview.caption = caption;
    preview.runText = RunIdToLocalText(runId);
    preview.build = [history, runId](PreviewWork& work) { BuildUndoPreview(history, runId, work); };
    return preview.DoModal(module, owner) == IDOK && preview.accepted;
}

}  // namespace

CDialogHistory::CDialogHistory() : CDialogEx(IDD_HISTORY) {}

BOOL CDialogHistory::OnInitDialog() {
    CDialogEx::OnInitDialog();
    win::SetUpReportList(Handle(), Module(), IDC_HISTORY_LIST,
                         {{IDS_HISTORY_COLUMN_STARTED, 80},
                          {IDS_HISTORY_COLUMN_TIDIED, 134},
                          {IDS_HISTORY_COLUMN_METHOD, 44},
                          {IDS_HISTORY_COLUMN_ITEMS, 52, LVCFMT_RIGHT},
                          {IDS_HISTORY_COLUMN_STARTED_BY, 46},
                          {IDS_HISTORY_COLUMN_TAKEN_BACK, 46}});
    Fill();
    return TRUE;
}

std::wstring CDialogHistory::MethodText(int32_t method) const {
    switch (method) {
        case 1: return LoadText(IDS_FILE_TYPE);
        case 2: return LoadText(IDS_FILE_TIME);
        case 3: return LoadText(IDS_FILE_SIZE);
        case 4: return LoadText(IDS_FILE_NAME);
        default: return std::wstring();
    }
}

std::wstring CDialogHistory::TargetText(const RunSummary& run) const {
    if (!run.undoneRunId.empty())
        return FillTemplate(LoadText(IDS_HISTORY_TAKE_BACK_OF).c_str(), {RunIdToLocalText(run.undoneRunId).c_str()});
    switch (run.run.target) {
        case 0: return LoadText(IDS_DESKTOP);
        case 1: return run.run.folder;
        case 2: return LoadText(IDS_HISTORY_SELECTION);
        default: return std::wstring();
    }
}

void CDialogHistory::Fill() {
    runs_ = historyFolder.empty() ? std::vector<RunSummary>() : ReadRunHistory(historyFolder);
    HWND list = Item(IDC_HISTORY_LIST);
    ListView_DeleteAllItems(list);
    const std::wstring automatic = LoadText(IDS_HISTORY_BY_WATCHER), byHand = LoadText(IDS_HISTORY_BY_HAND),
                       takenBack = LoadText(IDS_HISTORY_TAKEN_BACK);
    for (int row = 0; row < static_cast<int>(runs_.size()); ++row) {
        const RunSummary& run = runs_[row];
        win::AppendListRow(list, RunIdToLocalText(run.runId));
        win::SetListCell(list, row, kTidied, TargetText(run));
        win::SetListCell(list, row, kMethod, MethodText(run.run.method));
        win::SetListCell(list, row, kItems, std::to_wstring(run.itemsMoved));
        win::SetListCell(list, row, kStartedBy, run.run.automatic ? automatic : byHand);
        win::SetListCell(list, row, kTakenBack, run.takenBack ? takenBack : std::wstring());
    }
    if (!runs_.empty()) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    }
    SetItemText(IDC_HISTORY_STATUS, runs_.empty() ? LoadText(IDS_HISTORY_EMPTY) : LoadText(IDS_HISTORY_HINT));
    EnableWindow(Item(IDOK), runs_.empty() ? FALSE : TRUE);
}

int CDialogHistory::SelectedRun() const {
    const int row = ListView_GetNextItem(Item(IDC_HISTORY_LIST), -1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(runs_.size()) ? row : -1;
}

void CDialogHistory::ShowTakeBack() {
    const int row = SelectedRun();
    if (row < 0) return;
    const std::wstring runId = runs_[row].runId;
    if (!AcceptTakeBack(Module(), Handle(), historyFolder, runId, LoadText(IDS_HISTORY_TAKE_BACK_CAPTION))) return;
    takeBackRunId = runId;
    End(IDOK);
}

BOOL CDialogHistory::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDOK:  // "Take Back..."
            if (code == BN_CLICKED) ShowTakeBack();
            return TRUE;
        case IDCANCEL:
            End(IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CDialogHistory::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_HISTORY_LIST && header->code == NM_DBLCLK) {
        ShowTakeBack();
        *result = 0;
        return TRUE;
    }
    if (header->idFrom == IDC_HISTORY_LIST && header->code == LVN_ITEMCHANGED)
        EnableWindow(Item(IDOK), SelectedRun() >= 0 ? TRUE : FALSE);
    return FALSE;
}

void RunHistoryAlone(HINSTANCE instance) {
    CDialogHistory history;
    history.historyFolder = UserHistoryFolder();
    if (history.DoModal(instance, nullptr) != IDOK || history.takeBackRunId.empty()) return;
    TidyJob undo;
    MakeUndoJob(&undo, history.takeBackRunId);
    LaunchParams params = {};
    params.job = &undo;
    StoreText(params.wizardFolder, ModuleFolder());
    LaunchThread(&params);  // on this thread: no window is left to keep answering
    if (params.result != 0) {
        std::wstring message = win::LoadModuleText(instance, IDS_INIT_DATA_ERROR);
        const std::size_t at = message.find(L"%d");
        if (at != std::wstring::npos) message.replace(at, 2, std::to_wstring(params.result));
        win::ShowMessageBox(nullptr, CutToField(message), win::LoadModuleText(instance, IDS_PRODUCT_NAME),
                            MB_OK | MB_ICONERROR);
    }
}

}  // namespace ordvale::wizard
