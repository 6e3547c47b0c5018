// The wizard frame (dialog 202): five pages in one place, the two navigation
// buttons with their label codes, the Menu button, help, and Finish.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "CommandLine.h"
#include "DialogPageTidyItems.h"
#include "DialogPageTidyMethod.h"
#include "DialogPageTidySummary.h"
#include "DialogPageTidyTarget.h"
#include "PageMessages.h"
#include "WizardLogic.h"
#include "common/Settings.h"
#include "common/TidyJob.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CPageProfile;

class COrdvaleWizardDlg : public CDialogEx {
public:
    COrdvaleWizardDlg();
    ~COrdvaleWizardDlg() override;

    // Input: what the command line asked for, this start's request first,
    // then those of the starts it gathered (CommandLine.h); none: the
    // target page. The list may grow while the wizard runs (a start of the
    // same selection that came late): WM_START_GATHERED says so. The paths
    // left out are reported once the wizard shows.
    const std::vector<StartRequest>* starts = nullptr;

    void ShowPage(Page page);
    void CollectItems();
    Page CurrentPage() const { return currentPage_; }
    int LeftCode() const { return leftCode_; }
    int RightCode() const { return rightCode_; }
    TidyJob& Job() { return job_; }
    const OrdvaleSettings& Settings() const { return settings_; }
    // The help file path of the current page (for F1).
    std::wstring CurrentHelpPath() const;
    CDialogPageTidyTarget& TargetPage() { return target_; }
    CDialogPageTidyItems& ItemsPage() { return items_; }
    CDialogPageTidyMethod& MethodPage() { return method_; }
    CDialogPageTidySummary& SummaryPage() { return summary_; }
    CPageProfile& ProfilePage() { return *profile_; }
    // The frame's icons at the new DPI and every page at it too: the
    // system tells the pages itself (WM_DPICHANGED_AFTERPARENT), where it
    // does, and a page already at that DPI changes nothing.
    void ApplyDpi(UINT dpi) override;
    // Where help requests go; the real viewer by default (tests replace it).
    static void (*helpViewer)(HWND owner, const std::wstring& path);
    // Where the settings editor is started for Options (tests replace it).
    static std::wstring OptionsCommandLine();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    std::array<CDialogEx*, 5> Pages();
    // The pages over the frame's page area.
    void PlacePages();
    // The window's and the menu button's icons at the frame's DPI.
    void LoadFrameIcons();
    void SetButton(int id, int code);
    void KeepFocusOn(HWND page);
    void OnRight();
    void OnLeft();
    void OnTargetChosen(WPARAM target);
    void OpenOnStart();
    void TakeLateStarts();
    void OpenOnSelection(const std::vector<std::wstring>& items);
    void ReportStartProblems();
    void ShowMenu();
    void Close();
    void RunOptions();
    void Finish();
    void PreviewRun();
    void UndoLastRun();
    // Menu, History...: a run chosen there and accepted is taken back.
    void ShowHistory();
    // Hands the job to the runner, the wizard hidden meanwhile, reports a
    // failure, and ends the wizard.
    void HandOff(TidyJob* job);

    std::size_t startsTaken_ = 0;
    std::vector<StartProblem> startProblems_;  // to report
    Page currentPage_ = Page::Target;
    int rightCode_ = 1;
    int leftCode_ = 0;
    OrdvaleSettings settings_;
    TidyJob job_;
    win::UniqueIcon bigIcon_;
    win::UniqueIcon smallIcon_;
    win::UniqueMenu menu_;
    CDialogPageTidyTarget target_;
    CDialogPageTidyItems items_;
    CDialogPageTidyMethod method_;
    CDialogPageTidySummary summary_;
    std::unique_ptr<CPageProfile> profile_;
    CMFCButton menuButton_;
};

// Opens "<path>" (file::topic) in the HTML help viewer.
void OpenHelp(HWND owner, const std::wstring& path);

}  // namespace ordvale::wizard
