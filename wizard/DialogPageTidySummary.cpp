#include "DialogPageTidySummary.h"

#include <shellapi.h>
#include <shlobj.h>

#include "Icons.h"
#include "PageMessages.h"
#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/WatchedFolderEdits.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogPageTidySummary::CDialogPageTidySummary() : CDialogEx(IDD_PAGE_SUMMARY, true, IDC_SUMMARY_TITLE) {}

CDialogPageTidySummary::~CDialogPageTidySummary() = default;

BOOL CDialogPageTidySummary::OnInitDialog() {
    CDialogEx::OnInitDialog();
    LoadImages();
    destination_.Attach(Item(IDC_DESTINATION), Item(IDC_DESTINATION_BROWSE));
    return TRUE;
}

void CDialogPageTidySummary::LoadImages() {
    iconSize_ = win::SmallIconSize(Dpi());
    images_ = MakeImageList(Module(), iconSize_, {IDI_METHOD_TYPE, IDI_METHOD_NAME, IDI_METHOD_SIZE, IDI_METHOD_TIME});
}

void CDialogPageTidySummary::SetIcon(int id, win::UniqueIcon icon) {
    SendDlgItemMessageW(Handle(), id, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    icons_[id] = std::move(icon);  // the icon shown before goes
}

void CDialogPageTidySummary::RefreshSummary(const TidyJob& job) {
    auto link = [](const std::wstring& text) { return FillTemplate(L"<a>%s</a>", {text.c_str()}).substr(0, 291); };
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Desktop: {
            SetItemText(IDC_TARGET_LINK, link(LoadText(IDS_DESKTOP)));
            SHFILEINFOW info = {};
            PIDLIST_ABSOLUTE desktop = nullptr;
            if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) {
                if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(desktop), 0, &info, sizeof(info),
                                   SHGFI_PIDL | SHGFI_ICON |
                                       (iconSize_ > GetSystemMetrics(SM_CXSMICON) ? SHGFI_LARGEICON : SHGFI_SMALLICON)))
                    SetIcon(IDC_TARGET_ICON, win::UniqueIcon(win::IconAtSize(info.hIcon, iconSize_)));
                CoTaskMemFree(desktop);
            }
            break;
        }
        case TidyTarget::Folder:
            SetItemText(IDC_TARGET_LINK, link(job.folder));
            SetIcon(IDC_TARGET_ICON, ShellSmallIcon(job.folder, iconSize_));
            break;
        case TidyTarget::Selection:
            SetItemText(IDC_TARGET_LINK, link(LoadText(IDS_CUSTOM)));
            if (job.itemCount > 0) SetIcon(IDC_TARGET_ICON, ShellSmallIcon(job.items[0].text, iconSize_));
            break;
        default:
            break;
    }
    int image = -1;
    UINT text = 0;
    switch (job.method) {
        case 1: text = IDS_FILE_TYPE; image = 0; break;
        case 2: text = IDS_FILE_TIME; image = 3; break;
        case 3: text = IDS_FILE_SIZE; image = 2; break;
        case 4: text = IDS_FILE_NAME; image = 1; break;
    }
    SetItemText(IDC_METHOD_LINK, link(text ? LoadText(text) : std::wstring()));
    SetIcon(IDC_METHOD_ICON,
            win::UniqueIcon(image >= 0 ? ImageList_GetIcon(images_.Get(), image, ILD_NORMAL) : nullptr));
    SetItemText(IDC_PROFILE_LINK, link(job.profileName));
    SetIcon(IDC_PROFILE_ICON, win::UniqueIcon(LoadSizedIcon(Module(), IDI_PROFILE, iconSize_)));
    destination_.SetText(job.destination[0] ? std::wstring(job.destination) : DefaultDestination(&job));
    folderTarget_ = job.target == static_cast<int32_t>(TidyTarget::Desktop) ||
                    job.target == static_cast<int32_t>(TidyTarget::Folder);
    ShowWindow(Item(IDC_KEEP_TIDY), folderTarget_ ? SW_SHOW : SW_HIDE);
}

bool CDialogPageTidySummary::KeepTidy() const {
    return folderTarget_ && IsDlgButtonChecked(Handle(), IDC_KEEP_TIDY) == BST_CHECKED;
}

void KeepFolderTidy(const TidyJob& job) {
    std::wstring appData;
    if (!GetAppDataFolder(&appData)) return;
    if (KeepJobFolderWatched(SettingsFileIn(appData), job, DesktopDirectory())) StartWatcher(ModuleFolder());
}

BOOL CDialogPageTidySummary::OnCommand(WORD id, WORD code, HWND) {
    if (id == IDC_DESTINATION_BROWSE && code == BN_CLICKED) {
        destination_.OnBrowse();
        return TRUE;
    }
    if (id == IDC_PREVIEW_BUTTON && code == BN_CLICKED) {
        SendMessageW(GetParent(Handle()), WM_PREVIEW_RUN, 0, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CDialogPageTidySummary::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->code != NM_CLICK && header->code != NM_RETURN) return FALSE;
    HWND frame = GetParent(Handle());
    switch (header->idFrom) {
        case IDC_TARGET_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 0, 0); break;
        case IDC_METHOD_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 2, 0); break;
        case IDC_PROFILE_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 3, 0); break;
        case IDC_RESET_LINK: SendMessageW(frame, WM_RESET_DESTINATION, 0, 0); break;
        default: return FALSE;
    }
    *result = TRUE;
    return TRUE;
}

void CDialogPageTidySummary::ApplyDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    CDialogEx::ApplyDpi(dpi);
    LoadImages();
}

}  // namespace ordvale::wizard
