#include "WizardDlg.h"

#include <algorithm>

#include "AboutDialog.h"
#include "HistoryDialog.h"
#include "Icons.h"
#include "PreviewDialog.h"
#include "WizardLogic.h"
#include "profile-editor/PageProfile.h"
#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Journal.h"
#include "common/Text.h"
#include "common/win/Handle.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {
constexpr UINT HH_DISPLAY_TOPIC_COMMAND = 0x0000;
}

void OpenHelp(HWND owner, const std::wstring& path) {
    using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HMODULE viewer = LoadLibraryW(L"hhctrl.ocx");
    if (!viewer) return;
    auto help = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpW")));
    if (help) help(owner, path.c_str(), HH_DISPLAY_TOPIC_COMMAND, 0);
}

void (*COrdvaleWizardDlg::helpViewer)(HWND, const std::wstring&) = OpenHelp;

std::wstring COrdvaleWizardDlg::OptionsCommandLine() {
    return CutToField(FillTemplate(L"%s\\OrdvaleConfigure.exe options", {ModuleFolder().c_str()}));
}

COrdvaleWizardDlg::COrdvaleWizardDlg() : CDialogEx(IDD_WIZARD_FRAME), profile_(std::make_unique<CPageProfile>()) {
    InitSettings(&settings_);
}

COrdvaleWizardDlg::~COrdvaleWizardDlg() = default;

BOOL COrdvaleWizardDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    menu_.Reset(LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_WIZARD_MENU)));
    menuButton_.Attach(Item(IDC_MENU_BUTTON));
    LoadFrameIcons();

    // OLE is the program's, initialised once at start-up (CWinAppEx).
    LoadSettings(&settings_);
    EnsureProfileDocument(settings_.profileFile, ModuleFolder() + L"\\" + kShippedProfilesName);

    for (CDialogEx* page : Pages()) page->Create(Module(), Handle());
    PlacePages();
    ShowWindow(Item(IDC_PAGE_FRAME), SW_HIDE);
    for (CDialogEx* page : Pages()) ShowWindow(page->Handle(), SW_HIDE);
    ShowWindow(target_.Handle(), SW_SHOW);
    SetButton(IDC_BUTTON_RIGHT, kLabelExit);
    SetButton(IDC_BUTTON_LEFT, kLabelNone);
    OpenOnStart();
    return TRUE;
}

void COrdvaleWizardDlg::OpenOnStart() {
    if (!starts) return;
    const StartTarget start = ResolveStart(*starts);
    startsTaken_ = starts->size();
    switch (start.mode) {
        case StartMode::Desktop:
            job_.target = static_cast<int32_t>(TidyTarget::Desktop);
            job_.folder[0] = L'\0';
            ShowPage(Page::Method);
            break;
        case StartMode::Folder:
            job_.target = static_cast<int32_t>(TidyTarget::Folder);
            StoreText(job_.folder, start.folder);
            ShowPage(Page::Method);
            break;
        case StartMode::Items:
            OpenOnSelection(start.items);
            ShowPage(Page::Method);
            break;
        case StartMode::Plain:
        case StartMode::History:  // never reaches the wizard: App shows the History alone
            break;
    }
    startProblems_ = start.problems;
    if (!startProblems_.empty()) PostMessageW(Handle(), WM_START_PROBLEMS, 0, 0);
}

void COrdvaleWizardDlg::TakeLateStarts() {
    if (!starts || starts->size() <= startsTaken_) return;
    const StartTarget late = ResolveLateStarts(*starts, startsTaken_);
    startsTaken_ = starts->size();
    if (late.mode == StartMode::Items) {
        // The items join the selection, also those the user added meanwhile;
        // a folder opened alone becomes the selection's first item.
        const bool onItems = currentPage_ == Page::Items;
        if (onItems && job_.target == static_cast<int32_t>(TidyTarget::Selection)) CollectItems();
        if (job_.target != static_cast<int32_t>(TidyTarget::Selection)) {
            const std::wstring folder =
                job_.target == static_cast<int32_t>(TidyTarget::Folder) ? FieldText(job_.folder) : std::wstring();
            OpenOnSelection({});
            if (!folder.empty()) AddItem(&job_, folder.c_str());
        }
        for (const std::wstring& item : late.items) AddItem(&job_, item.c_str());
        if (currentPage_ == Page::Target) ShowPage(Page::Method);
        if (onItems) ShowPage(Page::Items);
    }
    const bool reporting = !startProblems_.empty();
    startProblems_.insert(startProblems_.end(), late.problems.begin(), late.problems.end());
    if (!reporting && !startProblems_.empty()) PostMessageW(Handle(), WM_START_PROBLEMS, 0, 0);
}

void COrdvaleWizardDlg::OpenOnSelection(const std::vector<std::wstring>& items) {
    job_.target = static_cast<int32_t>(TidyTarget::Selection);
    job_.folder[0] = L'\0';
    ClearItems(&job_);
    for (const std::wstring& item : items) AddItem(&job_, item.c_str());
}

void COrdvaleWizardDlg::ReportStartProblems() {
    const std::wstring message =
        StartProblemsMessage(startProblems_, [this](unsigned id) { return LoadText(id); });
    startProblems_.clear();
    if (!message.empty())
        win::ShowMessageBox(Handle(), message, LoadText(IDS_PRODUCT_NAME), MB_OK | MB_ICONEXCLAMATION);
}

void COrdvaleWizardDlg::SetButton(int id, int code) {
    (id == IDC_BUTTON_LEFT ? leftCode_ : rightCode_) = code;
    const ButtonLabel label = LabelForCode(code);
    SetItemText(id, label.stringId ? LoadText(label.stringId) : std::wstring());
    ShowWindow(Item(id), label.shown ? SW_SHOW : SW_HIDE);
}

void COrdvaleWizardDlg::ShowPage(Page page) {
    CDialogEx* pages[] = {&target_, &items_, &method_, profile_.get(), &summary_};
    for (CDialogEx* p : pages) ShowWindow(p->Handle(), SW_HIDE);
    currentPage_ = page;
    switch (page) {
        case Page::Items:
            items_.DeleteAll();
            if (job_.target == static_cast<int32_t>(TidyTarget::Selection))
                for (int32_t i = 0; i < job_.itemCount; ++i) items_.AddPath(job_.items[i].text);
            BringWindowToTop(items_.Handle());
            break;
        case Page::Method:
            method_.CheckMethod(job_.method);
            break;
        case Page::Profile:
            profile_->LoadForMethod(job_.method, settings_);
            break;
        case Page::Summary:
            summary_.RefreshSummary(job_);
            break;
        default:
            break;
    }
    const PageButtons buttons = ButtonsForPage(page);
    SetButton(IDC_BUTTON_LEFT, buttons.left);
    SetButton(IDC_BUTTON_RIGHT, buttons.right);
    if (page != Page::None) {
        CDialogEx* shown = pages[static_cast<int>(page)];
        ShowWindow(shown->Handle(), SW_SHOW);
        KeepFocusOn(shown->Handle());
    }
    if (page == Page::Target) {
        // The choice made so far shows: its link has the focus.
        HWND chosen = target_.ShowChoice(job_.target, job_.folder);
        if (chosen) SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
}

void COrdvaleWizardDlg::KeepFocusOn(HWND page) {
    // The keyboard must not stay behind on a page that was hidden (after a
    // command link or a summary link): the new page's first control takes
    // the focus, and in a group of choices the checked one. A focus still
    // on a visible control, such as Next, stays where it is.
    HWND focus = GetFocus();
    if (focus && focus != Handle() && IsWindowVisible(focus)) return;
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    if (!first) return;
    HWND target = first;
    if (SendMessageW(first, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
        HWND item = first;
        do {
            if (SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                target = item;
                break;
            }
            item = GetNextDlgGroupItem(page, item, FALSE);
        } while (item && item != first);
    }
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void COrdvaleWizardDlg::CollectItems() {
    wizard::CollectItems(&job_, items_.Rows());
}

std::wstring COrdvaleWizardDlg::CurrentHelpPath() const {
    return HelpPath(ModuleFolder(), currentPage_);
}

void COrdvaleWizardDlg::OnRight() {
    switch (rightCode_) {
        case kLabelExit:
            Close();
            return;
        case kLabelFinish:
            Finish();
            return;
        case kLabelNext:
            break;
        default:
            return;
    }
    switch (currentPage_) {
        case Page::Target:
            // The target page moves on through its links only.
            SetButton(IDC_BUTTON_RIGHT, kLabelExit);
            return;
        case Page::Items:
            CollectItems();
            break;
        case Page::Profile: {
            if (!profile_->ConfirmSaveChanges()) return;
            std::wstring id;
            if (!profile_->SelectedProfileId(&id)) return;
            StoreText(job_.profileId, id);
            StoreText(job_.profileName, profile_->SelectedProfileName());
            break;
        }
        default:
            break;
    }
    const Page next = NextPage(currentPage_);
    if (next != Page::None) ShowPage(next);
}

void COrdvaleWizardDlg::OnLeft() {
    if (leftCode_ != kLabelPrevious) return;
    switch (currentPage_) {
        case Page::Target:
            SetButton(IDC_BUTTON_LEFT, kLabelNone);
            return;
        case Page::Items:
            if (job_.target == static_cast<int32_t>(TidyTarget::Selection)) CollectItems();
            break;
        case Page::Profile:
            if (!profile_->ConfirmSaveChanges()) return;
            break;
        default:
            break;
    }
    const Page previous = PreviousPage(currentPage_, job_.target);
    if (previous != Page::None) ShowPage(previous);
}

void COrdvaleWizardDlg::OnTargetChosen(WPARAM target) {
    switch (target) {
        case 0:
            ShowPage(Page::Method);
            job_.target = static_cast<int32_t>(TidyTarget::Desktop);
            job_.folder[0] = L'\0';
            break;
        case 1: {
            job_.target = static_cast<int32_t>(TidyTarget::Folder);
            std::wstring folder = BrowseForFolder(Handle(), job_.folder);
            if (!folder.empty()) {
                StoreText(job_.folder, folder);
                ShowPage(Page::Method);
            }
            break;
        }
        case 2:
            job_.target = static_cast<int32_t>(TidyTarget::Selection);
            ShowPage(Page::Items);
            break;
    }
}

void COrdvaleWizardDlg::Close() {
    // Unsaved profile changes are settled first, however the wizard is closed.
    if (!profile_->ConfirmSaveChanges()) return;
    End(IDCANCEL);
}

void COrdvaleWizardDlg::ShowMenu() {
    SetForegroundWindow(Handle());
    RECT button = {};
    GetWindowRect(Item(IDC_MENU_BUTTON), &button);
    HMENU popup = GetSubMenu(menu_.Get(), 0);
    if (popup)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, button.left, button.top, 0, Handle(),
                       nullptr);
}

void COrdvaleWizardDlg::RunOptions() {
    std::wstring command = OptionsCommandLine();
    // The program is named on its own as well: the command line carries its
    // path without quotes, which must not be searched word by word
    // ("C:\Program.exe") when the folder holds a space.
    const std::wstring program = ModuleFolder() + L"\\OrdvaleConfigure.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return;
    win::UniqueHandle processThread(process.hThread);
    win::UniqueHandle processHandle(process.hProcess);
    ShowWindow(Handle(), SW_HIDE);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    LoadSettings(&settings_);
    EnsureProfileDocument(settings_.profileFile, ModuleFolder() + L"\\" + kShippedProfilesName);
    ShowWindow(Handle(), SW_SHOW);
}

void COrdvaleWizardDlg::Finish() {
    StoreText(job_.destination, FinishDestination(job_, summary_.DestinationText()));
    if (summary_.KeepTidy()) KeepFolderTidy(job_);
    HandOff(&job_);
}

void COrdvaleWizardDlg::PreviewRun() {
    // The job as Finish would hand it over, the destination box included.
    TidyJob job;
    CopyTidyJob(job_, &job);
    StoreText(job.destination, FinishDestination(job_, summary_.DestinationText()));
    CDialogPreview preview;
    preview.mode = CDialogPreview::Mode::Preview;
    const OrdvaleSettings settings = settings_;
    preview.build = [&job, settings](PreviewWork& work) { BuildTidyPreview(job, settings, work); };
    preview.DoModal(Module(), Handle());
}

void COrdvaleWizardDlg::UndoLastRun() {
    std::wstring appData;
    const std::wstring history = GetAppDataFolder(&appData) ? HistoryFolderIn(appData) : std::wstring();
    const std::wstring runId = history.empty() ? std::wstring() : LastRunId(history);
    if (runId.empty()) {
        win::ShowMessageBox(Handle(), LoadText(IDS_NO_RUN_TO_UNDO), LoadText(IDS_PRODUCT_NAME),
                            MB_OK | MB_ICONINFORMATION);
        return;
    }
    CDialogPreview preview;
    preview.mode = CDialogPreview::Mode::Undo;
    preview.runText = RunIdToLocalText(runId);
    preview.build = [history, runId](PreviewWork& work) { BuildUndoPreview(history, runId, work); };
    if (preview.DoModal(Module(), Handle()) != IDOK || !preview.accepted) return;
    TidyJob undo;
    MakeUndoJob(&undo, runId);
    HandOff(&undo);
}

void COrdvaleWizardDlg::ShowHistory() {
    std::wstring appData;
    CDialogHistory history;
    history.historyFolder = GetAppDataFolder(&appData) ? HistoryFolderIn(appData) : std::wstring();
    if (history.DoModal(Module(), Handle()) != IDOK || history.takeBackRunId.empty()) return;
    TidyJob undo;
    MakeUndoJob(&undo, history.takeBackRunId);
    HandOff(&undo);
}

void COrdvaleWizardDlg::HandOff(TidyJob* job) {
    LaunchParams params = {};
    params.job = job;
    StoreText(params.wizardFolder, ModuleFolder());
    const std::wstring caption = LoadText(IDS_PRODUCT_NAME);
    win::UniqueHandle thread(CreateThread(nullptr, 0, LaunchThread, &params, 0, nullptr));
    if (!thread) {
        win::ShowMessageBox(Handle(), LoadText(IDS_CREATE_THREAD_FAILED), caption, MB_OK | MB_ICONERROR);
        return;
    }
    ShowWindow(Handle(), SW_HIDE);
    WaitForSingleObject(thread.Get(), INFINITE);
    if (params.result != 0) {
        std::wstring message = LoadText(IDS_INIT_DATA_ERROR);
        std::size_t at = message.find(L"%d");
        if (at != std::wstring::npos) message.replace(at, 2, std::to_wstring(params.result));
        win::ShowMessageBox(Handle(), CutToField(message), caption, MB_OK | MB_ICONERROR);
    }
    End(IDOK);
}

BOOL COrdvaleWizardDlg::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDC_BUTTON_RIGHT:
            if (code == BN_CLICKED) OnRight();
            return TRUE;
        case IDC_BUTTON_LEFT:
            if (code == BN_CLICKED) OnLeft();
            return TRUE;
        case IDC_MENU_BUTTON:
            if (code == BN_CLICKED) ShowMenu();
            return TRUE;
        case ID_MENU_OPTIONS:
            RunOptions();
            return TRUE;
        case ID_MENU_UNDO_LAST:
            UndoLastRun();
            return TRUE;
        case ID_MENU_HISTORY:
            ShowHistory();
            return TRUE;
        case ID_MENU_VIEW_HELP:
            helpViewer(Handle(), HelpPath(ModuleFolder(), Page::None));
            return TRUE;
        case ID_MENU_ABOUT: {
            CDialogAbout about;
            about.DoModal(Module(), Handle());
            return TRUE;
        }
        case IDCANCEL:  // the close box and Escape
            Close();
            return TRUE;
        case IDOK:
            return TRUE;  // Enter does not close the wizard
    }
    return FALSE;
}

std::array<CDialogEx*, 5> COrdvaleWizardDlg::Pages() {
    return {&target_, &method_, profile_.get(), &items_, &summary_};
}

void COrdvaleWizardDlg::PlacePages() {
    RECT place = {};
    GetWindowRect(Item(IDC_PAGE_FRAME), &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    for (CDialogEx* page : Pages()) {
        if (page->Handle()) {
            SetWindowPos(page->Handle(), Item(IDC_PAGE_FRAME), place.left, place.top, place.right - place.left,
                         place.bottom - place.top, SWP_NOACTIVATE);
        }
    }
}

void COrdvaleWizardDlg::ApplyDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    CDialogEx::ApplyDpi(dpi);
    LoadFrameIcons();
    for (CDialogEx* page : Pages()) page->ApplyDpi(dpi);
}

void COrdvaleWizardDlg::LoadFrameIcons() {
    const UINT dpi = Dpi();
    bigIcon_.Reset(win::LoadIconAtSize(Module(), MAKEINTRESOURCEW(IDI_APP), win::LargeIconSize(dpi)));
    smallIcon_.Reset(win::LoadIconAtSize(Module(), MAKEINTRESOURCEW(IDI_APP), win::SmallIconSize(dpi)));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    menuButton_.SetImage(LoadSizedIcon(Module(), IDI_MENU_BUTTON, win::SmallIconSize(dpi)));
}

BOOL COrdvaleWizardDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (message) {
        case WM_DPICHANGED:
            // Icons and fonts are made again already (ApplyDpi); the dialog
            // manager moves the frame to the suggested place and lays its
            // controls and pages out again, and then the pages are placed.
            PostMessageW(Handle(), WM_REFRESH_SUMMARY, 0, 0);
            return FALSE;
        case WM_REFRESH_SUMMARY:
            PlacePages();
            if (currentPage_ == Page::Summary) summary_.RefreshSummary(job_);
            return TRUE;
        case WM_TARGET_CHOSEN:
            OnTargetChosen(wParam);
            return TRUE;
        case WM_METHOD_CHOSEN: {
            int method = MethodForPosition(static_cast<int>(wParam));
            if (method) job_.method = method;
            return TRUE;
        }
        case WM_GO_TO_PAGE:
            if (wParam == 0 || wParam == 2 || wParam == 3) ShowPage(PageAt(static_cast<int>(wParam)));
            return TRUE;
        case WM_PREVIEW_RUN:
            PreviewRun();
            return TRUE;
        case WM_START_PROBLEMS:
            ReportStartProblems();
            return TRUE;
        case WM_START_GATHERED:
            TakeLateStarts();
            return TRUE;
        case WM_RESET_DESTINATION:
            summary_.SetDestinationText(job_.destination[0] ? std::wstring(job_.destination) : DefaultDestination(&job_));
            return TRUE;
        case WM_HELP:
            helpViewer(Handle(), CurrentHelpPath());
            *result = TRUE;
            return TRUE;
    }
    return FALSE;
}

}  // namespace ordvale::wizard
