// The preview window in this process, driven by clicks: it stays usable
// while a long list is worked out, stops the work when closed, sorts by a
// click on a column heading, shows one folder's items at a click on it,
// and in its undo form lets "Take Back" through only once there is
// something to take back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "PreviewDialog.h"
#include "common/win/Handle.h"
#include "resource.h"
#include "TestSupport.h"
#include "UiDriver.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

PreviewRow Row(const wchar_t* item, const wchar_t* folder, Arrival arrival, const wchar_t* newName = L"") {
    return PreviewRow{item, folder, newName, arrival};
}

class PreviewWindow : public ::testing::Test {
protected:
    void SetUp() override { CWinAppEx::InitInstance(); }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
    }

    HWND Open(CDialogPreview* dialog) {
        window = dialog->Create(GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        driver = std::make_unique<UiDriver>(window);
        return window;
    }
    bool PumpUntil(const std::function<bool()>& condition) {
        return WaitUntil([&] {
            driver->Pump();
            return condition();
        });
    }
    HWND Items() const { return GetDlgItem(window, IDC_PREVIEW_ITEMS); }
    std::vector<std::wstring> Column(int column) const {
        std::vector<std::wstring> cells;
        for (int i = 0; i < RowCount(Items()); ++i) cells.push_back(Cell(Items(), i, column));
        return cells;
    }
    // A click on a column heading, where the mouse would press it.
    void ClickHeading(int column) {
        HWND header = ListView_GetHeader(Items());
        RECT rect = {};
        Header_GetItemRect(header, column, &rect);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(header, WM_LBUTTONUP, 0, at);
        driver->Pump();
    }

    HWND window = nullptr;
    std::unique_ptr<UiDriver> driver;
};

}  // namespace

// A hundred thousand items: while the worker is half-way, the window
// shows how far it has got (so it is handling its messages), then lists
// every item with the totals.
TEST_F(PreviewWindow, LongListIsWorkedOutWhileTheWindowGoesOn) {
    win::UniqueHandle halfway(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    win::UniqueHandle goOn(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CDialogPreview dialog;
    dialog.build = [&](PreviewWork& work) {
        for (int i = 0; i < 100000; ++i) {
            const std::wstring name = L"C:\\D\\file" + std::to_wstring(i) + L".txt";
            work.rows.push_back(Row(name.c_str(), i % 10 ? L"C:\\D\\Documents" : L"", i % 10 ? Arrival::Moved : Arrival::NoRule));
            if (i == 49999) {
                work.Looked(50000);
                SetEvent(halfway.Get());
                WaitForSingleObject(goOn.Get(), INFINITE);
            }
        }
        work.Looked(100000);
    };
    Open(&dialog);
    ASSERT_EQ(WaitForSingleObject(halfway.Get(), 60000), WAIT_OBJECT_0);
    EXPECT_TRUE(PumpUntil([&] { return Text(window, IDC_PREVIEW_STATUS) == L"Looking at the items... 50,000 so far"; }))
        << Narrow(Text(window, IDC_PREVIEW_STATUS));
    EXPECT_FALSE(dialog.Ready());
    EXPECT_EQ(RowCount(Items()), 0);
    SetEvent(goOn.Get());
    ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
    EXPECT_EQ(RowCount(Items()), 100000);
    EXPECT_EQ(Text(window, IDC_PREVIEW_STATUS), L"100,000 items: 90,000 to be moved, 10,000 left where they are.");
    HWND folders = GetDlgItem(window, IDC_PREVIEW_FOLDERS);
    EXPECT_EQ(testing_support::Rows(folders, 2), (std::vector<std::wstring>{L"All folders | 100,000", L"C:\\D\\Documents | 90,000",
                                                               L"(no destination) | 10,000"}));
}

// Closing the window while the list is being worked out stops the work
// and waits for it: nothing runs on after the window has gone.
TEST_F(PreviewWindow, ClosingStopsTheWork) {
    std::atomic<bool> started{false}, sawStop{false};
    {
        CDialogPreview dialog;
        dialog.build = [&](PreviewWork& work) {
            started = true;
            for (std::size_t n = 0; !work.Stopped(); ++n) {
                work.Looked(n);
                Sleep(1);
            }
            sawStop = true;
        };
        Open(&dialog);
        ASSERT_TRUE(WaitUntil([&] { return started.load(); }));
        Click(GetDlgItem(window, IDCANCEL));
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(sawStop.load()) << "the worker was stopped before the window went";
    }
}

// Destinations deep below the user's folders: each list shows the path cut
// in its middle, so the folder an item goes to stays readable; short paths
// stay whole.
TEST_F(PreviewWindow, LongPathsKeepTheirLastFolderInView) {
    const std::wstring deep = L"C:\\Users\\somebody\\Desktop\\Projects of the year\\Client work\\Archive";
    CDialogPreview dialog;
    dialog.build = [&](PreviewWork& work) {
        work.rows = {Row((deep + L"\\a.jpg").c_str(), (deep + L"\\Pictures").c_str(), Arrival::Moved),
                     Row(L"C:\\D\\b.txt", L"C:\\D\\Documents", Arrival::Moved)};
    };
    Open(&dialog);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
    const std::vector<std::wstring> to = Column(kColumnTo);
    ASSERT_EQ(to.size(), 2u);
    EXPECT_EQ(to[0], L"C:\\D\\Documents");
    EXPECT_NE(to[1], deep + L"\\Pictures") << "cut to fit";
    EXPECT_TRUE(ShownAsPath(to[1], deep + L"\\Pictures")) << Narrow(to[1]);
    const std::vector<std::wstring> from = Column(kColumnFrom);
    EXPECT_NE(from[1], deep) << "cut to fit";
    EXPECT_TRUE(ShownAsPath(from[1], deep)) << Narrow(from[1]);
    const std::vector<std::wstring> folders = testing_support::Rows(GetDlgItem(window, IDC_PREVIEW_FOLDERS), 2);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[1], L"C:\\D\\Documents | 1");
    const std::wstring shown = folders[2].substr(0, folders[2].find(L" | "));
    EXPECT_NE(shown, deep + L"\\Pictures") << "cut to fit";
    EXPECT_TRUE(ShownAsPath(shown, deep + L"\\Pictures")) << Narrow(folders[2]);
    EXPECT_EQ(folders[2].substr(folders[2].find(L" | ")), L" | 1");
}

// Heading clicks sort (again: the other way round); a click on a folder
// lists its items alone, "All folders" everything again.
TEST_F(PreviewWindow, HeadingsSortFoldersFilter) {
    CDialogPreview dialog;
    dialog.build = [](PreviewWork& work) {
        work.rows = {Row(L"C:\\D\\b.jpg", L"C:\\D\\Pictures", Arrival::Moved),
                     Row(L"C:\\D\\c.txt", L"C:\\D\\Documents", Arrival::Moved),
                     Row(L"C:\\D\\a.jpg", L"C:\\D\\Pictures", Arrival::Renamed, L"a (2).jpg"),
                     Row(L"C:\\D\\x.part", L"", Arrival::BeingWritten)};
    };
    Open(&dialog);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
    using Cells = std::vector<std::wstring>;
    EXPECT_EQ(Column(kColumnName), (Cells{L"c.txt", L"a.jpg", L"b.jpg", L"x.part"})) << "by destination at first";
    EXPECT_EQ(Column(kColumnArrival),
              (Cells{L"moved", L"renamed to \"a (2).jpg\"", L"moved", L"left: still being written"}));
    ClickHeading(kColumnName);
    EXPECT_EQ(Column(kColumnName), (Cells{L"a.jpg", L"b.jpg", L"c.txt", L"x.part"}));
    ClickHeading(kColumnName);
    EXPECT_EQ(Column(kColumnName), (Cells{L"x.part", L"c.txt", L"b.jpg", L"a.jpg"}));

    HWND folders = GetDlgItem(window, IDC_PREVIEW_FOLDERS);
    ASSERT_EQ(testing_support::Rows(folders, 2), (Cells{L"All folders | 4", L"C:\\D\\Documents | 1", L"C:\\D\\Pictures | 2",
                                           L"(no destination) | 1"}));
    ClickListItem(folders, 2);
    EXPECT_EQ(Column(kColumnName), (Cells{L"b.jpg", L"a.jpg"})) << "Pictures alone, still by name descending";
    ClickListItem(folders, 3);
    EXPECT_EQ(Column(kColumnName), (Cells{L"x.part"}));
    ClickListItem(folders, 0);
    EXPECT_EQ(RowCount(Items()), 4);
}

// The count line counts items: the folders the run makes are rows of the
// list but not items.
TEST_F(PreviewWindow, CountLineLeavesOutTheFoldersMade) {
    CDialogPreview dialog;
    dialog.build = [](PreviewWork& work) {
        work.rows = {Row(L"C:\\D\\Pictures", L"C:\\D", Arrival::FolderMade),
                     Row(L"C:\\D\\b.jpg", L"C:\\D\\Pictures", Arrival::Moved),
                     Row(L"C:\\D\\Documents", L"C:\\D", Arrival::FolderMade),
                     Row(L"C:\\D\\c.txt", L"C:\\D\\Documents", Arrival::Moved),
                     Row(L"C:\\D\\x.part", L"", Arrival::BeingWritten)};
    };
    Open(&dialog);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
    EXPECT_EQ(Text(window, IDC_PREVIEW_STATUS), L"3 items: 2 to be moved, 1 left where they are.");
}

// Taking a run back: Take Back waits for the list and is refused when
// nothing can be taken back; pressed, it is the dialog's answer.
TEST_F(PreviewWindow, TakeBackOnlyWithSomethingToTakeBack) {
    for (bool something : {false, true}) {
        SCOPED_TRACE(something);
        win::UniqueHandle goOn(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        CDialogPreview dialog;
        dialog.mode = CDialogPreview::Mode::Undo;
        dialog.runText = L"2026-12-09 11:15:00";
        dialog.build = [&](PreviewWork& work) {
            WaitForSingleObject(goOn.Get(), INFINITE);
            work.rows = {something ? Row(L"C:\\D\\P\\a.jpg", L"C:\\D", Arrival::MovedBack)
                                   : Row(L"C:\\D\\P\\a.jpg", L"", Arrival::LeftChanged)};
            work.canAccept = something;
        };
        Open(&dialog);
        EXPECT_EQ(Text(window, IDC_PREVIEW_HEADING),
                  L"Taking back the run of 2026-12-09 11:15:00: what it moved goes back where it was.");
        HWND takeBack = GetDlgItem(window, IDOK);
        EXPECT_TRUE(IsWindowVisible(takeBack));
        EXPECT_FALSE(IsWindowEnabled(takeBack)) << "not before the list is ready";
        Press(window, VK_RETURN);
        EXPECT_TRUE(IsWindow(window)) << "Enter does nothing yet";
        SetEvent(goOn.Get());
        ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
        EXPECT_EQ(IsWindowEnabled(takeBack) != FALSE, something);
        EXPECT_EQ(Text(window, IDC_PREVIEW_STATUS),
                  something ? L"1 items go back where they were; 0 cannot be taken back."
                            : L"0 items go back where they were; 1 cannot be taken back.");
        if (something) {
            Click(takeBack);
            EXPECT_FALSE(IsWindow(window));
            EXPECT_TRUE(dialog.accepted);
        } else {
            Click(GetDlgItem(window, IDCANCEL));
            EXPECT_FALSE(dialog.accepted);
        }
    }
}

// The window can be made larger: the lists grow with it and the buttons
// keep to the bottom right corner.
TEST_F(PreviewWindow, ListsFollowTheWindowSize) {
    CDialogPreview dialog;
    Open(&dialog);
    ASSERT_TRUE(PumpUntil([&] { return dialog.Ready(); }));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDOK))) << "a preview has nothing to accept";
    EXPECT_EQ(Text(window, IDCANCEL), L"Close");
    auto rectOf = [&](int id) {
        RECT r = {};
        GetWindowRect(GetDlgItem(window, id), &r);
        return r;
    };
    RECT before = {}, client = {};
    GetWindowRect(window, &before);
    const RECT listBefore = rectOf(IDC_PREVIEW_ITEMS);
    SetWindowPos(window, nullptr, 0, 0, before.right - before.left + 200, before.bottom - before.top + 150,
                 SWP_NOMOVE | SWP_NOZORDER);
    driver->Pump();
    RECT listAfter = rectOf(IDC_PREVIEW_ITEMS);
    EXPECT_GT(listAfter.right - listAfter.left, listBefore.right - listBefore.left);
    EXPECT_GT(listAfter.bottom - listAfter.top, listBefore.bottom - listBefore.top);
    GetClientRect(window, &client);
    RECT close = rectOf(IDCANCEL);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&close), 2);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&listAfter), 2);
    EXPECT_LT(client.right - close.right, 30);
    EXPECT_LT(client.bottom - close.bottom, 30);
    EXPECT_GE(close.top, listAfter.bottom) << "below the lists";
}
