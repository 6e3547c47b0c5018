// The wizard's frame and pages created from their resources in this process
// and driven by control id: page changes, buttons, the selection list with
// dropped files, the method choices, the summary's links, help.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "PageProfile.h"
#include "WizardDlg.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "resource.h"
#include "TestSupport.h"
#include "UiDriver.h"
#include "ResourceLint.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

std::wstring g_helpPath;
void RecordHelp(HWND, const std::wstring& path) { g_helpPath = path; }

class WizardDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        CWinAppEx::InitInstance();
        ASSERT_TRUE(GetAppDataFolder(&appData));
        settingsFile = SettingsFileIn(appData);
        SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData).c_str(), nullptr);
        ASSERT_TRUE(WriteText(dir / L"profile.xml",
                              "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"T2\">"
                              "<TypeConfigure id=\"T1\" displayname=\"Zeta\"/><TypeConfigure id=\"T2\" displayname=\"Beta\"/>"
                              "<TypeConfigure id=\"T3\" displayname=\"Alpha\"/></TypeProfiles>"
                              "<TimeProfiles><TimeConfigure id=\"M1\" displayname=\"Years\"/></TimeProfiles></Ordvale>"));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, dir / L"profile.xml"));
        COrdvaleWizardDlg::helpViewer = RecordHelp;
        frame = wizard.Create(GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        ui = std::make_unique<UiDriver>(frame);
    }
    void TearDown() override {
        ui.reset();
        if (IsWindow(frame)) DestroyWindow(frame);
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
    }
    HWND Page(const CDialogEx& page) const { return page.Handle(); }
    void Next() { Click(frame, IDC_BUTTON_RIGHT); }
    void Previous() { Click(frame, IDC_BUTTON_LEFT); }
    bool Shown(int id) const { return (GetWindowLongPtrW(GetDlgItem(frame, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    void ExpectButtons(const wchar_t* left, const wchar_t* right) {
        EXPECT_EQ(Shown(IDC_BUTTON_LEFT), left != nullptr);
        if (left) {
            EXPECT_EQ(Text(frame, IDC_BUTTON_LEFT), left);
        }
        EXPECT_EQ(Text(frame, IDC_BUTTON_RIGHT), right);
    }
    void Drop(HWND list, const std::vector<std::wstring>& paths) {
        std::wstring all;
        for (const auto& p : paths) all += p + L'\0';
        all += L'\0';
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + all.size() * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), all.data(), all.size() * sizeof(wchar_t));
        GlobalUnlock(memory);
        SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }
    std::vector<std::wstring> JobItems() {
        std::vector<std::wstring> items;
        for (int32_t i = 0; i < wizard.Job().itemCount; ++i) items.push_back(wizard.Job().items[i].text);
        return items;
    }

    TempDir dir;
    std::wstring appData, settingsFile;
    COrdvaleWizardDlg wizard;
    HWND frame = nullptr;
    std::unique_ptr<UiDriver> ui;  // dispatches what the acts post, answers menus
};

}  // namespace

TEST_F(WizardDialogs, StartsOnTheTargetPageWithExitOnly) {
    EXPECT_EQ(wizard.CurrentPage(), Page::Target);
    EXPECT_EQ(wizard.LeftCode(), kLabelNone);
    EXPECT_EQ(wizard.RightCode(), kLabelExit);
    ExpectButtons(nullptr, L"Exit");
    EXPECT_FALSE(Shown(IDC_PAGE_FRAME));
    EXPECT_EQ(Text(frame, IDC_MENU_BUTTON), L"Menu   ");
    EXPECT_EQ(wizard.Title(), L"Ordvale Wizard");
}

// The fixed texts a user reads first, as the pages show them.
TEST_F(WizardDialogs, PagesShowTheirTexts) {
    HWND target = nullptr;
    HWND summary = wizard.SummaryPage().Handle();
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, IDC_LINK_DESKTOP) && GetDlgItem(child, IDC_LINK_SELECTION)) target = child;
    ASSERT_NE(target, nullptr);
    struct Case {
        HWND page;
        int id;
        const wchar_t* text;
    };
    const Case captions[] = {
        {target, IDC_LINK_DESKTOP, L"Desktop"},
        {target, IDC_LINK_FOLDER, L"Folder"},
        {target, IDC_LINK_SELECTION, L"Selection"},
    };
    for (const Case& c : captions) EXPECT_EQ(Text(c.page, c.id), c.text);
    const struct {
        UINT id;
        const wchar_t* text;
    } notes[] = {
        {IDS_NOTE_DESKTOP, L"All items on the desktop will be tidied up."},
        {IDS_NOTE_FOLDER, L"Choose a folder location. The contents of this folder will be tidied up."},
        {IDS_NOTE_SELECTION, L"Select files and folders you want to tidy up from different folder locations."},
    };
    for (const auto& note : notes)
        EXPECT_EQ(win::LoadModuleText(GetModuleHandleW(nullptr), note.id), note.text);
    std::vector<std::wstring> summaryTexts;
    for (HWND child = GetWindow(summary, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        summaryTexts.push_back(text);
    }
    EXPECT_NE(std::find(summaryTexts.begin(), summaryTexts.end(),
                        L"(Absolute path in the profile rules has higher privilege)"),
              summaryTexts.end());
}

TEST_F(WizardDialogs, DesktopRunThroughEveryPage) {
    SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().target, 0);
    ExpectButtons(L"Previous", L"Next");
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Target) << "Desktop jobs skip the items page";
    SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
    Next();
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile);
    HWND profile = wizard.ProfilePage().Handle();
    EXPECT_EQ(SendDlgItemMessageW(profile, IDC_PROFILE_COMBO, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(profile, IDC_PROFILE_COMBO), L"Beta") << "the default profile is selected";
    Next();
    EXPECT_EQ(wizard.CurrentPage(), Page::Summary);
    EXPECT_STREQ(wizard.Job().profileId, L"T2");
    EXPECT_STREQ(wizard.Job().profileName, L"Beta");
    ExpectButtons(L"Previous", L"Finish");
    HWND summary = wizard.SummaryPage().Handle();
    EXPECT_EQ(Text(summary, IDC_TARGET_LINK), L"<a>Desktop</a>");
    EXPECT_EQ(Text(summary, IDC_METHOD_LINK), L"<a>File Type</a>");
    EXPECT_EQ(Text(summary, IDC_PROFILE_LINK), L"<a>Beta</a>");
    EXPECT_EQ(Text(summary, IDC_DESTINATION), DefaultDestination(&wizard.Job()));
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile);
}

TEST_F(WizardDialogs, ProfilePageWithoutProfilesStays) {
    SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
    SendMessageW(frame, WM_METHOD_CHOSEN, 2, 0);  // By File Size: no section in the document
    Next();
    ASSERT_EQ(wizard.CurrentPage(), Page::Profile);
    Next();
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "no profile selected: Next does nothing";
    EXPECT_STREQ(wizard.Job().profileId, L"");
}

TEST_F(WizardDialogs, MethodChoicesStoreTheirCodes) {
    SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
    const int radios[] = {IDC_METHOD_TYPE, IDC_METHOD_NAME, IDC_METHOD_SIZE, IDC_METHOD_TIME};
    const int codes[] = {1, 4, 3, 2};
    HWND method = nullptr;
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, IDC_METHOD_TYPE)) method = child;
    ASSERT_NE(method, nullptr);
    auto expectOnlyChecked = [&](int only) {
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(IsDlgButtonChecked(method, radios[j]) == BST_CHECKED, only == j) << "radio " << j;
    };
    // Clicked in an order that leaves an earlier choice checked when the
    // buttons do not clear each other.
    for (int i : {1, 2, 3, 0, 3, 1}) {
        SCOPED_TRACE(i);
        Click(GetDlgItem(method, radios[i]));
        expectOnlyChecked(i);
        EXPECT_EQ(wizard.Job().method, codes[i]);
        Next();
        Previous();
        ASSERT_EQ(wizard.CurrentPage(), Page::Method);
        expectOnlyChecked(i);
    }
    SendMessageW(frame, WM_METHOD_CHOSEN, 7, 0);
    EXPECT_EQ(wizard.Job().method, 4) << "an unknown position changes nothing";
}

TEST_F(WizardDialogs, RadioChoicesFormOneGroupEach) {
    const std::vector<std::wstring> faults = RadioGroupFaults(GetModuleHandleW(nullptr));
    for (const std::wstring& fault : faults) ADD_FAILURE() << Narrow(fault);
}

TEST_F(WizardDialogs, SelectionWithDroppedAddedAndDeletedItems) {
    std::vector<std::wstring> files;
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt", L"4.txt", L"5.txt"}) {
        files.push_back(dir / name);
        ASSERT_TRUE(WriteText(files.back(), "x"));
    }
    SendMessageW(frame, WM_TARGET_CHOSEN, 2, 0);
    ASSERT_EQ(wizard.CurrentPage(), Page::Items);
    ExpectButtons(L"Previous", L"Next");
    CDialogPageTidyItems& items = wizard.ItemsPage();
    HWND page = items.Handle();
    HWND list = items.List();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DELETE))) << "Delete starts disabled";
    Drop(list, files);
    Drop(list, {files[0], dir / L"2.TXT"});
    ASSERT_EQ(items.Rows(), files) << "a path dropped again, in any case, is ignored";

    ClickListItem(list, 1);
    ClickListItem(list, 3, MK_CONTROL);
    ASSERT_EQ(ListView_GetSelectedCount(list), 2u);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_DELETE)));
    Click(page, IDC_DELETE);
    const std::vector<std::wstring> kept = {files[0], files[2], files[4]};
    EXPECT_EQ(items.Rows(), kept);

    DeleteFileW(files[2].c_str());  // vanished before Next: dropped from the job
    Next();
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(JobItems(), (std::vector<std::wstring>{files[0], files[4]}));
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Items) << "a selection goes back to its items";
    EXPECT_EQ(items.Rows(), (std::vector<std::wstring>{files[0], files[4]}));

    items.SelectAll();
    EXPECT_EQ(ListView_GetSelectedCount(list), 2u);
    Click(page, IDC_DELETE_ALL);
    EXPECT_TRUE(items.Rows().empty());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_DELETE)));
    Next();
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().itemCount, 0) << "an empty selection is allowed";
    Next();
    Next();
    EXPECT_EQ(Text(wizard.SummaryPage().Handle(), IDC_TARGET_LINK), L"<a>Custom</a>");
    EXPECT_EQ(Text(wizard.SummaryPage().Handle(), IDC_DESTINATION), L"");
}

// The items list's small images belong to one side: they are released once,
// when the page goes, and not a second time.
TEST_F(WizardDialogs, ItemsListImagesAreReleasedOnce) {
    ASSERT_TRUE(WriteText(dir / L"a.txt", "x"));
    auto page = std::make_unique<CDialogPageTidyItems>();
    ASSERT_NE(page->Create(GetModuleHandleW(nullptr), frame), nullptr);
    page->AddPath((dir / L"a.txt").c_str());
    HIMAGELIST images = ListView_GetImageList(page->List(), LVSIL_SMALL);
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(ImageList_GetImageCount(images), 1);
    // A reference of our own keeps the list alive whatever happens, so a
    // second release shows as a list that is gone.
    using QueryProc = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    auto query = reinterpret_cast<QueryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface")));
    ASSERT_NE(query, nullptr);
    IUnknown* held = nullptr;
    ASSERT_TRUE(SUCCEEDED(query(images, IID_IUnknown, reinterpret_cast<void**>(&held))));
    DestroyWindow(page->Handle());
    page.reset();
    const int left = ImageList_GetImageCount(images);
    EXPECT_EQ(left, 1) << "the image list was released twice";
    if (left == 1) held->Release();
}

TEST_F(WizardDialogs, AddFolderAddsItsDirectContents) {
    const std::wstring folder = dir / L"Pick";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(MakeFolder(folder + L"\\Sub"));
    ASSERT_TRUE(WriteText(folder + L"\\a.txt", "x"));
    ASSERT_TRUE(WriteText(folder + L"\\b.txt", "x"));
    ASSERT_TRUE(WriteText(folder + L"\\Sub\\deep.txt", "x"));
    SendMessageW(frame, WM_TARGET_CHOSEN, 2, 0);
    wizard.ItemsPage().AddFolderContents(folder + L"\\\\");
    std::vector<std::wstring> rows = wizard.ItemsPage().Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::wstring>{folder + L"\\Sub", folder + L"\\a.txt", folder + L"\\b.txt"}));
}

TEST_F(WizardDialogs, SummaryLinksResetAndHelp) {
    SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
    Next();
    Next();
    ASSERT_EQ(wizard.CurrentPage(), Page::Summary);
    HWND summary = wizard.SummaryPage().Handle();
    Type(GetDlgItem(summary, IDC_DESTINATION), dir.Path());
    SendMessageW(frame, WM_RESET_DESTINATION, 0, 0);
    EXPECT_EQ(Text(summary, IDC_DESTINATION), DefaultDestination(&wizard.Job()));

    struct Case {
        int link;
        wizard::Page page;
    };
    for (const Case& c : {Case{IDC_PROFILE_LINK, Page::Profile}, Case{IDC_METHOD_LINK, Page::Method},
                          Case{IDC_TARGET_LINK, Page::Target}}) {
        SCOPED_TRACE(c.link);
        wizard.ShowPage(Page::Summary);
        NMHDR click = {GetDlgItem(summary, c.link), static_cast<UINT_PTR>(c.link), static_cast<UINT>(NM_CLICK)};
        EXPECT_EQ(SendMessageW(summary, WM_NOTIFY, c.link, reinterpret_cast<LPARAM>(&click)), TRUE);
        EXPECT_EQ(wizard.CurrentPage(), c.page);
        HELPINFO info = {};
        info.cbSize = sizeof(info);
        g_helpPath.clear();
        SendMessageW(frame, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(g_helpPath, HelpPath(ModuleFolder(), c.page));
    }
    SendMessageW(frame, WM_GO_TO_PAGE, 1, 0);
    EXPECT_EQ(wizard.CurrentPage(), Page::Target) << "only pages 0, 2 and 3 can be reached by link";
    g_helpPath.clear();
    // Menu, View Help, as a person picks it.
    ShowWindow(frame, SW_SHOW);
    ui->WhenIdle([](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, ID_MENU_VIEW_HELP); });
    Click(frame, IDC_MENU_BUTTON);
    EXPECT_TRUE(ui->AllActionsDone()) << "the Menu button opens the menu";
    EXPECT_EQ(g_helpPath, ModuleFolder() + L"\\Ordvale.chm::/html/wizard.htm");
}
