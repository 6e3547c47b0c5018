// The wizard started with a target from its command line, created in this
// process: it opens on the method page with that target, Previous shows the
// choice, the paths left out are reported through the message-box seam; and
// the mailbox that gathers the starts of one selection, under many starts at
// once.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "CommandLine.h"
#include "PageMessages.h"
#include "StartMailbox.h"
#include "WizardDlg.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

class WizardStart : public ::testing::Test {
protected:
    void SetUp() override {
        CWinAppEx::InitInstance();
        ASSERT_TRUE(GetAppDataFolder(&appData));
        settingsFile = SettingsFileIn(appData);
        SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData).c_str(), nullptr);
        ASSERT_TRUE(WriteText(dir / L"profile.xml", "<?xml version=\"1.0\"?><Ordvale/>"));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, dir / L"profile.xml"));
    }
    void TearDown() override {
        if (IsWindow(frame)) DestroyWindow(frame);
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
    }
    // The wizard as the command line starts it (the starts gathered already).
    void Open(const std::wstring& arguments) {
        requests = {ParseStartRequest(arguments)};
        wizard.starts = &requests;
        frame = wizard.Create(GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        ShowWindow(frame, SW_SHOW);
        Pump();
    }
    static void Pump() {
        MSG message;
        for (int round = 0; round < 3; ++round) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(20);
        }
    }
    void Previous() {
        SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LEFT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(frame, IDC_BUTTON_LEFT)));
    }
    std::vector<std::wstring> JobItems() {
        std::vector<std::wstring> items;
        for (int32_t i = 0; i < wizard.Job().itemCount; ++i) items.push_back(wizard.Job().items[i].text);
        return items;
    }
    HWND TargetLink(int id) { return VisibleControl(frame, id); }

    TempDir dir;
    std::wstring appData, settingsFile;
    std::vector<StartRequest> requests;
    COrdvaleWizardDlg wizard;
    HWND frame = nullptr;
};

}  // namespace

TEST_F(WizardStart, WithoutATargetOnTheTargetPage) {
    Open(L"");
    EXPECT_EQ(wizard.CurrentPage(), Page::Target);
    EXPECT_EQ(wizard.RightCode(), kLabelExit);
}

TEST_F(WizardStart, DesktopOpensOnTheMethodPage) {
    Open(L"/desktop");
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().target, static_cast<int32_t>(TidyTarget::Desktop));
    EXPECT_EQ(wizard.LeftCode(), kLabelPrevious);
    EXPECT_EQ(wizard.RightCode(), kLabelNext);
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Target);
    EXPECT_EQ(GetFocus(), TargetLink(IDC_LINK_DESKTOP)) << "the chosen target's link has the focus";
}

TEST_F(WizardStart, FolderOpensOnTheMethodPageAndPreviousShowsIt) {
    const std::wstring folder = dir / L"My Work";
    ASSERT_TRUE(MakeFolder(folder));
    Open(L"/folder \"" + folder + L"\\\"");
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().target, static_cast<int32_t>(TidyTarget::Folder));
    EXPECT_EQ(FieldText(wizard.Job().folder), folder);
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Target);
    EXPECT_EQ(GetFocus(), TargetLink(IDC_LINK_FOLDER));
    EXPECT_EQ(SendMessageW(TargetLink(IDC_LINK_FOLDER), WM_GETTEXTLENGTH, 0, 0), 6) << "the caption stays";
    const std::wstring note = wizard.TargetPage().Link(1).Note();
    EXPECT_EQ(note, win::LoadModuleText(GetModuleHandleW(nullptr), IDS_NOTE_FOLDER) + L"\r\n" + folder)
        << "the Folder link's note names the folder chosen";
}

TEST_F(WizardStart, ItemsOpenOnTheMethodPageAndFillTheItemsPage) {
    const std::wstring a = dir / L"a.txt", sub = dir / L"Sub";
    ASSERT_TRUE(WriteText(a, "x"));
    ASSERT_TRUE(MakeFolder(sub));
    Open(L"/items \"" + a + L"\" \"" + sub + L"\"");
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().target, static_cast<int32_t>(TidyTarget::Selection));
    EXPECT_EQ(JobItems(), (std::vector<std::wstring>{a, sub}));
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Items);
    EXPECT_EQ(wizard.ItemsPage().Rows(), (std::vector<std::wstring>{a, sub}));
    Previous();
    EXPECT_EQ(wizard.CurrentPage(), Page::Target);
    EXPECT_EQ(GetFocus(), TargetLink(IDC_LINK_SELECTION));
}

// A missing item, a relative path and one of 300 characters: each is left
// out with its message, answered here; with nothing left the wizard opens
// on the target page, else on the method page with what is left.
TEST_F(WizardStart, PathsLeftOutAreReported) {
    const std::wstring kept = dir / L"kept.txt";
    ASSERT_TRUE(WriteText(kept, "x"));
    const std::wstring missing = dir / L"gone.txt";
    const std::wstring tooLong = dir.Path() + L"\\" + std::wstring(300 - dir.Path().size() - 1, L'n');
    ASSERT_EQ(tooLong.size(), 300u);
    struct Case {
        const char* what;
        std::wstring arguments;
        std::wstring message;
        Page page;
    };
    const Case cases[] = {
        {"a missing item", L"/items \"" + missing + L"\"", L"This item does not exist and is left out:\r\n" + missing,
         Page::Target},
        {"a missing folder", L"/folder \"" + missing + L"\"",
         L"This item does not exist and is left out:\r\n" + missing, Page::Target},
        {"a relative path", L"/items notes\\today.txt",
         L"This path is refused: it is not a full path (one that begins with a drive such as C:\\ or with "
         L"\\\\server\\share):\r\nnotes\\today.txt",
         Page::Target},
        {"a path of 300 characters", L"/folder \"" + tooLong + L"\"",
         L"This path is refused: it is longer than 259 characters:\r\n" + tooLong.substr(0, 60) + L"..." +
             tooLong.substr(250),
         Page::Target},
        {"a missing item beside one that is there", L"/items \"" + kept + L"\" \"" + missing + L"\"",
         L"This item does not exist and is left out:\r\n" + missing, Page::Method},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<win::MessageBoxCall> calls;
        win::ScopedMessageBoxHandler answer([&](const win::MessageBoxCall& call) {
            calls.push_back(call);
            return IDOK;
        });
        COrdvaleWizardDlg started;
        const std::vector<StartRequest> given = {ParseStartRequest(c.arguments)};
        started.starts = &given;
        HWND window = started.Create(GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        Pump();
        ASSERT_EQ(calls.size(), 1u) << "one message, once the wizard shows";
        EXPECT_EQ(calls[0].text, c.message);
        EXPECT_EQ(calls[0].caption, L"Ordvale");
        EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(calls[0].owner, window);
        EXPECT_EQ(started.CurrentPage(), c.page);
        DestroyWindow(window);
    }
    // Many paths: the first few are named, then how many more.
    std::wstring arguments = L"/items";
    for (int i = 0; i < 12; ++i) arguments += L" \"" + dir / (L"gone " + std::to_wstring(i)) + L"\"";
    const StartTarget target = ResolveStart({ParseStartRequest(arguments)});
    const std::wstring message = StartProblemsMessage(
        target.problems, [](unsigned id) { return win::LoadModuleText(GetModuleHandleW(nullptr), id); });
    EXPECT_NE(message.find(dir / L"gone 7"), std::wstring::npos);
    EXPECT_EQ(message.find(dir / L"gone 8"), std::wstring::npos);
    EXPECT_NE(message.find(L"4 more paths are left out as well."), std::wstring::npos);
}

// 500 starts at once, each with one item (as Explorer starts a verb for a
// selection of 500): one of them gathers, every other hands over and ends;
// every item arrives once. A start after the gathering opens its own.
TEST(WizardStartMailbox, ManyStartsGatherIntoOne) {
    constexpr int kStarts = 500;
    GatherTiming timing;
    timing.quietMs = 1500;
    std::vector<GatherOutcome> outcomes(kStarts);
    std::vector<std::vector<StartRequest>> gathered(kStarts);
    std::vector<std::thread> starts;
    std::atomic<int> ready{0};
    const DWORD began = GetTickCount();
    for (int i = 0; i < kStarts; ++i) {
        starts.emplace_back([&, i] {
            StartRequest own;
            own.mode = i % 50 == 7 ? StartMode::Folder : StartMode::Items;
            own.paths = {L"C:\\selection\\item " + std::to_wstring(i)};
            ++ready;
            CStartMailbox mailbox(timing);
            outcomes[i] = mailbox.Gather(own);
            gathered[i] = mailbox.Requests();
        });
    }
    for (std::thread& t : starts) t.join();
    const DWORD took = GetTickCount() - began;
    std::cout << "[ measured ] " << kStarts << " starts gathered in " << took << " ms\n";

    int gatherers = 0;
    std::multiset<std::wstring> paths;
    for (int i = 0; i < kStarts; ++i) {
        if (outcomes[i] != GatherOutcome::Gathered) continue;
        ++gatherers;
        EXPECT_EQ(gathered[i].front().paths.front(), L"C:\\selection\\item " + std::to_wstring(i)) << "its own first";
        for (const StartRequest& request : gathered[i])
            for (const std::wstring& path : request.paths) paths.insert(path);
    }
    EXPECT_EQ(gatherers, 1) << "one wizard";
    EXPECT_EQ(paths.size(), static_cast<std::size_t>(kStarts)) << "nothing lost or twice";
    for (int i = 0; i < kStarts; ++i)
        EXPECT_EQ(paths.count(L"C:\\selection\\item " + std::to_wstring(i)), 1u) << i;

    StartRequest later;
    later.mode = StartMode::Folder;
    later.paths = {L"C:\\later"};
    CStartMailbox alone(timing);
    EXPECT_EQ(alone.Gather(later), GatherOutcome::Gathered) << "a later start is a wizard of its own";
    EXPECT_EQ(alone.Requests().size(), 1u);
}

// After the wizard opens, the mailbox stays open for starts that are slow to
// come, until none has come for a while; a start after that is not taken.
TEST(WizardStartMailbox, LateStartsJoinUntilTheMailboxCloses) {
    GatherTiming timing;
    timing.quietMs = 200;
    timing.lateQuietMs = 1500;
    auto start = [&timing](const wchar_t* path) {
        StartRequest request;
        request.mode = StartMode::Items;
        request.paths = {path};
        CStartMailbox mailbox(timing);
        return mailbox.Gather(request);
    };
    CStartMailbox first(timing);
    StartRequest own;
    own.mode = StartMode::Items;
    own.paths = {L"C:\\first"};
    ASSERT_EQ(first.Gather(own), GatherOutcome::Gathered);
    int arrivals = 0;
    first.KeepOpen([&arrivals] { ++arrivals; });
    GatherOutcome late = GatherOutcome::Gathered;
    std::thread lateStart([&] { late = start(L"C:\\late"); });
    while (arrivals == 0 && first.IsOpen()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    lateStart.join();
    EXPECT_EQ(late, GatherOutcome::HandedOver);
    ASSERT_EQ(first.Requests().size(), 2u);
    EXPECT_EQ(first.Requests()[1].paths, std::vector<std::wstring>{L"C:\\late"});
    const DWORD began = GetTickCount();
    while (first.IsOpen() && GetTickCount() - began < 10000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    EXPECT_FALSE(first.IsOpen()) << "closed once no start came for a while";
    GatherOutcome after = GatherOutcome::HandedOver;
    std::thread afterStart([&] { after = start(L"C:\\after"); });
    afterStart.join();
    EXPECT_EQ(after, GatherOutcome::Gathered) << "a start after that is a wizard of its own";
    EXPECT_EQ(first.Requests().size(), 2u);
}

// A start of the same selection that comes once the wizard shows: its items
// join, a lone folder becoming a selection with it; on the items page the
// rows follow, the user's own kept.
TEST_F(WizardStart, LateStartsJoinTheOpenWizard) {
    const std::wstring sub = dir / L"Sub", a = dir / L"a.txt", b = dir / L"b.txt", mine = dir / L"mine.txt";
    ASSERT_TRUE(MakeFolder(sub));
    for (const std::wstring& file : {a, b, mine}) ASSERT_TRUE(WriteText(file, "x"));
    Open(L"/folder \"" + sub + L"\"");
    ASSERT_EQ(wizard.Job().target, static_cast<int32_t>(TidyTarget::Folder));
    requests.push_back(ParseStartRequest(L"/items \"" + a + L"\""));
    PostMessageW(frame, WM_START_GATHERED, 0, 0);
    Pump();
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(wizard.Job().target, static_cast<int32_t>(TidyTarget::Selection));
    EXPECT_EQ(JobItems(), (std::vector<std::wstring>{sub, a}));

    Previous();
    ASSERT_EQ(wizard.CurrentPage(), Page::Items);
    wizard.ItemsPage().AddPath(mine.c_str());  // as a drop would
    requests.push_back(ParseStartRequest(L"/items \"" + b + L"\""));
    PostMessageW(frame, WM_START_GATHERED, 0, 0);
    Pump();
    EXPECT_EQ(wizard.ItemsPage().Rows(), (std::vector<std::wstring>{sub, a, mine, b}));
}
