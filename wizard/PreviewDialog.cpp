#include "PreviewDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "common/Text.h"
#include "common/win/Com.h"
#include "common/win/Handle.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

constexpr UINT WM_PREVIEW_PROGRESS = WM_APP + 1;
constexpr UINT WM_PREVIEW_BUILT = WM_APP + 2;
static_assert(IDS_ARRIVAL_FIRST + static_cast<int>(Arrival::Count) - 1 == 991, "one text for every outcome");

// A path too long for its column, cut in its middle the way Explorer shows
// one ("C:\\users\\...\\Documents"), so that the folder it ends in stays
// readable; the tooltip gives it whole.
std::wstring FitPath(HWND list, int column, const std::wstring& path) {
    const int width = ListView_GetColumnWidth(list, column) - 2 * GetSystemMetrics(SM_CXEDGE) - 12;
    if (width <= 0 || path.size() >= MAX_PATH) return path;
    wchar_t text[MAX_PATH];
    lstrcpynW(text, path.c_str(), MAX_PATH);
    win::WindowDC dc(list);
    if (!dc) return path;
    win::SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    PathCompactPathW(dc.Get(), text, static_cast<UINT>(width));
    return text;
}

// Row numbers of the list and the text of a column, in the list's units.
void InsertColumns(HWND list, std::initializer_list<std::pair<std::wstring, int>> columns) {
    int index = 0;
    for (const auto& c : columns) {
        std::wstring text = c.first;
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = &text[0];
        column.cx = c.second;
        ListView_InsertColumn(list, index++, &column);
    }
}

// The last column takes what the others leave of the list's width (never
// less than `least`), so the list needs no sideways scrolling until the
// window is made small.
void FillLastColumn(HWND list, int least) {
    HWND header = ListView_GetHeader(list);
    const int count = header ? Header_GetItemCount(header) : 0;
    if (count < 1) return;
    RECT client = {};
    GetClientRect(list, &client);
    int others = 0;
    for (int i = 0; i + 1 < count; ++i) others += ListView_GetColumnWidth(list, i);
    const int width = client.right - others;
    ListView_SetColumnWidth(list, count - 1, width > least ? width : least);
}

std::wstring Number(std::size_t n) {
    // Thousands separated the user's way: 100,000.
    wchar_t separator[8] = L",";
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) <= 0) lstrcpyW(separator, L",");
    const std::wstring digits = std::to_wstring(n);
    std::wstring out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

}  // namespace

CDialogPreview::CDialogPreview() : CDialogEx(IDD_PREVIEW) {}

CDialogPreview::~CDialogPreview() {
    StopWorker();
}

BOOL CDialogPreview::OnInitDialog() {
    CDialogEx::OnInitDialog();
    for (int i = 0; i < static_cast<int>(Arrival::Count); ++i) arrivalTexts_[i] = LoadText(IDS_ARRIVAL_FIRST + i);
    notMovedText_ = LoadText(IDS_PREVIEW_NOT_MOVED);

    const bool undo = mode == Mode::Undo;
    SetWindowTextW(Handle(), (caption.empty() ? LoadText(undo ? IDS_UNDO_CAPTION : IDS_PREVIEW_CAPTION) : caption).c_str());
    SetItemText(IDC_PREVIEW_HEADING, undo ? FillTemplate(LoadText(IDS_UNDO_HEADING).c_str(), {runText.c_str()}) : LoadText(IDS_PREVIEW_HEADING));
    SetItemText(IDC_PREVIEW_STATUS, FillTemplate(LoadText(IDS_PREVIEW_WORKING).c_str(), {L"0"}));
    ShowWindow(Item(IDOK), undo ? SW_SHOW : SW_HIDE);
    EnableWindow(Item(IDOK), FALSE);
    SetItemText(IDCANCEL, LoadText(undo ? IDS_PREVIEW_CANCEL : IDS_PREVIEW_CLOSE));

    HWND folders = Item(IDC_PREVIEW_FOLDERS);
    HWND items = Item(IDC_PREVIEW_ITEMS);
    ListView_SetExtendedListViewStyle(folders, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    ListView_SetExtendedListViewStyle(items, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    RECT units = {0, 0, 100, 100};
    MapDialogRect(Handle(), &units);
    auto du = [&](int x) { return MulDiv(x, units.right, 100); };
    InsertColumns(folders, {{LoadText(IDS_PREVIEW_COLUMN_FOLDER), du(86)}, {LoadText(IDS_PREVIEW_COLUMN_COUNT), du(30)}});
    InsertColumns(items, {{LoadText(IDS_PREVIEW_COLUMN_NAME), du(70)},
                          {LoadText(IDS_PREVIEW_COLUMN_FROM), du(60)},
                          {LoadText(IDS_PREVIEW_COLUMN_TO), du(80)},
                          {LoadText(IDS_PREVIEW_COLUMN_ARRIVAL), du(90)}});
    SetSortArrow();

    RECT window = {};
    GetWindowRect(Handle(), &window);
    minimum_ = {(window.right - window.left) * 3 / 4, (window.bottom - window.top) * 3 / 4};
    Layout();

    HWND self = Handle();
    work_.onProgress = [self] { PostMessageW(self, WM_PREVIEW_PROGRESS, 0, 0); };
    worker_.Reset(CreateThread(nullptr, 0, WorkerProc, this, 0, nullptr));
    if (!worker_) PostMessageW(Handle(), WM_PREVIEW_BUILT, 0, 0);
    return TRUE;
}

DWORD WINAPI CDialogPreview::WorkerProc(LPVOID parameter) {
    auto* self = static_cast<CDialogPreview*>(parameter);
    PreviewWork& work = self->work_;
    try {
        win::ComInit com;
        if (self->build) self->build(work);
    } catch (...) {
        work.rows.clear();
        work.canAccept = false;
    }
    PostMessageW(self->Handle(), WM_PREVIEW_BUILT, 0, 0);
    return 0;
}

void CDialogPreview::StopWorker() {
    if (!worker_) return;
    work_.Stop();
    // The worker never waits for this window, so waiting for it here
    // cannot hang: it checks the stop request between items.
    WaitForSingleObject(worker_.Get(), INFINITE);
    worker_.Reset();
}

void CDialogPreview::OnProgress() {
    work_.TakeProgress();
    if (ready_) return;
    SetItemText(IDC_PREVIEW_STATUS,
                FillTemplate(LoadText(IDS_PREVIEW_WORKING).c_str(), {Number(work_.LookedSoFar()).c_str()}));
}

void CDialogPreview::OnBuilt() {
    StopWorker();  // it has finished; this only collects it
    ready_ = true;
    rows = std::move(work_.rows);
    const PreviewTotals totals = Totals(rows);
    if (mode == Mode::Undo) {
        SetItemText(IDC_PREVIEW_STATUS, FillTemplate(LoadText(IDS_UNDO_DONE).c_str(), {Number(totals.moving).c_str(), Number(totals.staying).c_str()}));
        EnableWindow(Item(IDOK), work_.canAccept);
        if (work_.canAccept) SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
    } else {
        SetItemText(IDC_PREVIEW_STATUS, FillTemplate(LoadText(IDS_PREVIEW_DONE).c_str(),
                                                 {Number(totals.moving + totals.staying).c_str(), Number(totals.moving).c_str(),
                                                  Number(totals.staying).c_str()}));
    }
    FillFolders();
    ShowRows();
}

void CDialogPreview::FillFolders() {
    folders_ = CountByFolder(rows);
    HWND list = Item(IDC_PREVIEW_FOLDERS);
    ListView_DeleteAllItems(list);
    folderTexts_.clear();
    auto add = [&](int index, const std::wstring& folder, std::size_t count) {
        folderTexts_.push_back(folder);
        // The text comes on demand, fitted to the column as it is then.
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = LPSTR_TEXTCALLBACKW;
        ListView_InsertItem(list, &item);
        std::wstring number = Number(count);
        ListView_SetItemText(list, index, 1, &number[0]);
    };
    add(0, LoadText(IDS_PREVIEW_ALL_FOLDERS), rows.size());
    for (std::size_t i = 0; i < folders_.size(); ++i)
        add(static_cast<int>(i) + 1, folders_[i].folder.empty() ? notMovedText_ : folders_[i].folder, folders_[i].items);
    folderFilter_ = -1;
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CDialogPreview::ShowRows() {
    const bool only = folderFilter_ >= 0 && folderFilter_ < static_cast<int>(folders_.size());
    order_ = SortRows(rows, sortColumn_, ascending_, only, only ? folders_[folderFilter_].folder : std::wstring());
    HWND list = Item(IDC_PREVIEW_ITEMS);
    ListView_SetItemCountEx(list, static_cast<int>(order_.size()), 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CDialogPreview::SetSortArrow() {
    HWND header = ListView_GetHeader(Item(IDC_PREVIEW_ITEMS));
    for (int i = 0; i < kColumnCount; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sortColumn_) item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
}

std::wstring CDialogPreview::CellText(const PreviewRow& row, int column) const {
    switch (column) {
        case kColumnName: return RowName(row);
        case kColumnFrom: return RowFrom(row);
        case kColumnTo: return row.folder;
        case kColumnArrival: {
            const std::wstring& pattern = arrivalTexts_[static_cast<int>(row.arrival)];
            return FillTemplate(pattern.c_str(), {row.newName.c_str()});
        }
    }
    return std::wstring();
}

void CDialogPreview::Layout() {
    RECT client = {};
    GetClientRect(Handle(), &client);
    RECT unit = {7, 14, 50, 10};  // margin, button height, button width, line height
    MapDialogRect(Handle(), &unit);
    const int margin = unit.left, buttonHeight = unit.top, buttonWidth = unit.right, line = unit.bottom;
    const int width = client.right - 2 * margin;
    auto place = [&](int id, int x, int y, int w, int h) {
        SetWindowPos(Item(id), nullptr, x, y, w > 0 ? w : 0, h > 0 ? h : 0, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_PREVIEW_HEADING, margin, margin, width, line);
    place(IDC_PREVIEW_STATUS, margin, margin + line + line / 3, width, line);
    const int top = margin + 2 * line + line;
    const int buttonsTop = client.bottom - margin - buttonHeight;
    const int listHeight = buttonsTop - margin - top;
    const int foldersWidth = width * 3 / 10;
    place(IDC_PREVIEW_FOLDERS, margin, top, foldersWidth, listHeight);
    place(IDC_PREVIEW_ITEMS, margin + foldersWidth + margin / 2, top, width - foldersWidth - margin / 2, listHeight);
    FillLastColumn(Item(IDC_PREVIEW_FOLDERS), line * 3);
    FillLastColumn(Item(IDC_PREVIEW_ITEMS), line * 6);
    place(IDCANCEL, client.right - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight);
    place(IDOK, client.right - 2 * margin - 2 * buttonWidth + margin / 2, buttonsTop, buttonWidth, buttonHeight);
    InvalidateRect(Handle(), nullptr, TRUE);
}

BOOL CDialogPreview::OnCommand(WORD id, WORD code, HWND) {
    (void)code;
    switch (id) {
        case IDOK:
            if (mode != Mode::Undo || !ready_ || !work_.canAccept) return TRUE;  // Enter before the list is ready
            accepted = true;
            End(IDOK);
            return TRUE;
        case IDCANCEL:
            StopWorker();
            End(IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

BOOL CDialogPreview::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom == IDC_PREVIEW_ITEMS) {
        switch (header->code) {
            case LVN_GETDISPINFOW: {
                auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
                LVITEMW& item = info->item;
                if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                    const std::size_t index = static_cast<std::size_t>(item.iItem);
                    cell_ = index < order_.size() ? CellText(rows[order_[index]], item.iSubItem) : std::wstring();
                    if (item.iSubItem == kColumnFrom || item.iSubItem == kColumnTo)
                        cell_ = FitPath(header->hwndFrom, item.iSubItem, cell_);
                    lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
                }
                *result = 0;
                return TRUE;
            }
            case LVN_GETINFOTIPW: {
                auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
                const std::size_t index = static_cast<std::size_t>(tip->iItem);
                if (index < order_.size() && tip->pszText && tip->cchTextMax > 0) {
                    const PreviewRow& row = rows[order_[index]];
                    cell_ = row.item;
                    if (!row.folder.empty()) cell_ += L"\r\n\x2192 " + row.folder;
                    lstrcpynW(tip->pszText, cell_.c_str(), tip->cchTextMax);
                }
                *result = 0;
                return TRUE;
            }
            case LVN_COLUMNCLICK: {
                const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
                ascending_ = column == sortColumn_ ? !ascending_ : true;
                sortColumn_ = column;
                SetSortArrow();
                if (ready_) ShowRows();
                *result = 0;
                return TRUE;
            }
        }
    } else if (header->idFrom == IDC_PREVIEW_FOLDERS) {
        switch (header->code) {
            case LVN_GETDISPINFOW: {
                LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
                const std::size_t index = static_cast<std::size_t>(item.iItem);
                if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem == 0 &&
                    index < folderTexts_.size()) {
                    cell_ = index == 0 ? folderTexts_[0] : FitPath(header->hwndFrom, 0, folderTexts_[index]);
                    lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
                }
                *result = 0;
                return TRUE;
            }
            case LVN_GETINFOTIPW: {
                auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
                const std::size_t index = static_cast<std::size_t>(tip->iItem);
                if (index < folderTexts_.size() && tip->pszText && tip->cchTextMax > 0)
                    lstrcpynW(tip->pszText, folderTexts_[index].c_str(), tip->cchTextMax);
                *result = 0;
                return TRUE;
            }
            case LVN_ITEMCHANGED: {
                auto* change = reinterpret_cast<NMLISTVIEW*>(header);
                if (ready_ && change->iItem >= 0 && (change->uNewState & LVIS_SELECTED) &&
                    !(change->uOldState & LVIS_SELECTED)) {
                    folderFilter_ = change->iItem - 1;  // the first row stands for every folder
                    ShowRows();
                }
                *result = 0;
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CDialogPreview::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_PREVIEW_PROGRESS:
            OnProgress();
            return TRUE;
        case WM_PREVIEW_BUILT:
            OnBuilt();
            return TRUE;
        case WM_SIZE:
            Layout();
            return TRUE;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = minimum_.cx;
            info->ptMinTrackSize.y = minimum_.cy;
            *result = 0;
            return TRUE;
        }
    }
    return FALSE;
}

void CDialogPreview::OnDestroy() {
    StopWorker();
}

}  // namespace ordvale::wizard
