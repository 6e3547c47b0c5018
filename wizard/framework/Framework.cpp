#include "Framework.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include "common/Text.h"
#include "common/win/Dpi.h"

namespace ordvale::wizard {

bool CWinAppEx::InitInstance() {
    // Per-monitor DPI where the system has it (the manifest says so too).
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
        auto set = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
        if (!set || !set(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) {
            using SetAware = BOOL(WINAPI*)();
            auto aware = reinterpret_cast<SetAware>(
                reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")));
            if (aware) aware();
        }
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS |
                                                           ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    return SUCCEEDED(OleInitialize(nullptr));
}

void CWinAppEx::ExitInstance() {
    OleUninitialize();
}

CDialogEx::CDialogEx(UINT templateId, bool whitePage, int titleId)
    : win::CDialog(templateId), white_(whitePage), titleId_(titleId) {
    if (white_) brush_.Reset(CreateSolidBrush(RGB(255, 255, 255)));
}

CDialogEx::~CDialogEx() = default;

namespace {
LOGFONTW DialogFont(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof(lf), &lf)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}
}  // namespace

HFONT CDialogEx::MakeTitleFont(HWND dialog) {
    LOGFONTW lf = DialogFont(dialog);
    lf.lfHeight = lf.lfHeight * 12 / 9;
    return CreateFontIndirectW(&lf);
}

BOOL CDialogEx::OnInitDialog() {
    SetWindowSubclass(Handle(), PageProc, 1, reinterpret_cast<DWORD_PTR>(this));
    dialogFont_ = DialogFont(Handle());
    dialogFontDpi_ = win::WindowDpi(Handle());
    CDialogEx::ApplyDpi(dialogFontDpi_);  // a derived dialog makes its own once it has its controls
    return TRUE;
}

void CDialogEx::ApplyDpi(UINT dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    if (!titleId_ || !Item(titleId_)) return;
    // From the font the dialog was made with, not from the one it has now:
    // whether the system has made the dialog's font again for the new DPI
    // by the time this runs is not the dialog's to know.
    LOGFONTW lf = dialogFont_;
    lf.lfHeight = MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(dialogFontDpi_)) * 12 / 9;
    win::UniqueFont font(CreateFontIndirectW(&lf));
    if (!font) return;
    SendMessageW(Item(titleId_), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    titleFont_ = std::move(font);  // the font shown before goes once the title no longer uses it
}

LRESULT CALLBACK CDialogEx::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<CDialogEx*>(data);
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            if (!self->white_) break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            if (self->titleId_ && control && GetDlgCtrlID(control) == self->titleId_) {
                SetTextColor(dc, kTitleColour);
            }
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(self->brush_.Get());
        }
        case WM_DPICHANGED:
            // The new DPI comes with the message; the dialog's own handling
            // (moving to the suggested place) follows.
            self->ApplyDpi(LOWORD(wParam));
            break;
        case WM_DPICHANGED_AFTERPARENT:
            self->ApplyDpi(win::WindowDpi(hwnd));
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, PageProc, 1);
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void CMFCButton::SetImage(HICON icon) {
    icon_.Reset(icon);
    if (hwnd_) SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

CMFCButton::~CMFCButton() = default;

namespace {
int CALLBACK BrowseStart(HWND hwnd, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
}  // namespace

std::wstring BrowseForFolder(HWND owner, const std::wstring& start) {
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (!start.empty()) {
        info.lpfn = BrowseStart;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
    if (!picked) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(picked, path) != FALSE;
    CoTaskMemFree(picked);
    return ok ? CutToField(path) : std::wstring();
}

void CMFCEditBrowseCtrl::OnBrowse() {
    std::wstring chosen = BrowseForFolder(GetParent(edit_), Text());
    if (!chosen.empty()) SetText(chosen);
}

std::wstring CMFCEditBrowseCtrl::Text() const {
    wchar_t text[260] = {};
    if (edit_) GetWindowTextW(edit_, text, 260);
    return text;
}

void CMFCEditBrowseCtrl::SetText(const std::wstring& text) {
    if (edit_) SetWindowTextW(edit_, text.c_str());
}

void CCheckListBox::Attach(HWND list) {
    list_ = list;
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client = {};
    GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - win::SystemMetricForDpi(SM_CXVSCROLL, win::WindowDpi(list));
    ListView_InsertColumn(list, 0, &column);
}

int CCheckListBox::AddString(const std::wstring& text, bool checked) {
    std::wstring copy = text;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = GetCount();
    item.pszText = &copy[0];
    const int index = ListView_InsertItem(list_, &item);
    if (index >= 0) SetCheck(index, checked);
    return index;
}

int CCheckListBox::GetCount() const {
    return list_ ? ListView_GetItemCount(list_) : 0;
}

std::wstring CCheckListBox::GetText(int index) const {
    wchar_t text[260] = {};
    ListView_GetItemText(list_, index, 0, text, 260);
    return text;
}

bool CCheckListBox::GetCheck(int index) const {
    return ListView_GetCheckState(list_, index) != FALSE;
}

void CCheckListBox::SetCheck(int index, bool checked) {
    ListView_SetCheckState(list_, index, checked);
}

int CCheckListBox::GetSelCount() const {
    return list_ ? static_cast<int>(ListView_GetSelectedCount(list_)) : 0;
}

void CCheckListBox::DeleteSelected() {
    for (int i = GetCount() - 1; i >= 0; --i)
        if (ListView_GetItemState(list_, i, LVIS_SELECTED)) ListView_DeleteItem(list_, i);
}

void CCheckListBox::ResetContent() {
    if (list_) ListView_DeleteAllItems(list_);
}

}  // namespace ordvale::wizard
