// The progress and Uncompleted Operations dialogs, created from their
// resources and driven by control id. Questions are answered through the
// message-box seam.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <thread>
#include <vector>

#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "engine/Messages.h"
#include "engine/ProgressDialog.h"
#include "engine/UncompletedDialog.h"
#include "engine/RunSlot.h"
#include "engine/resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// Handles this thread's messages until the condition holds.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    return true;
}

// Answers every box with the next answer of a list and records the boxes.
struct Answers {
    std::vector<int> answers;
    std::vector<win::MessageBoxCall> calls;
    win::ScopedMessageBoxHandler handler{[this](const win::MessageBoxCall& call) {
        calls.push_back(call);
        int answer = calls.size() <= answers.size() ? answers[calls.size() - 1] : IDNO;
        return answer;
    }};
};

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        slot.worker = GetCurrentThread();  // a worker is recorded
        hwnd = dialog.Create(GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOW);
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    std::wstring Text(int id) { return testing_support::Text(hwnd, id); }
    bool Shows(int id, const std::wstring& text) {
        return PumpUntil([&] { return Text(id) == text; });
    }

    RunSlot slot;
    CDialogProgress dialog{&slot};
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(ProgressDialogTest, ShowsPhasesOperationsAndProgress) {
    EXPECT_EQ(slot.dialog, hwnd) << "the dialog records itself for the worker";
    SendMessageW(hwnd, UM_INITIALIZING, 1, 0);
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Initializing engine...");
    SendMessageW(hwnd, UM_INITIALIZING, 0, 100);
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Engine initialization finished.");
    SendMessageW(hwnd, UM_CALCULATING, 1, 0);
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Calculating operations ...");
    SendMessageW(hwnd, UM_CALCULATING, 0, 100);
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Operation calculation finished.");

    const std::wstring path = L"C:\\windows\\win.ini";
    SendMessageW(hwnd, UM_OPERATION_BEGIN, static_cast<WPARAM>(OperationKind::Move), reinterpret_cast<LPARAM>(path.c_str()));
    EXPECT_TRUE(Shows(IDC_OPERATION_GROUP, L"Moving"));
    EXPECT_EQ(Text(IDC_ITEM_TEXT), path);
    EXPECT_NE(SendMessageW(GetDlgItem(hwnd, IDC_ITEM_ICON), STM_GETICON, 0, 0), 0);
    SendMessageW(hwnd, UM_OPERATION_END, static_cast<WPARAM>(OperationStatus::Succeeded), 0);
    EXPECT_TRUE(Shows(IDC_OPERATION_GROUP, L""));
    SendMessageW(hwnd, UM_OPERATION_BEGIN, 9, reinterpret_cast<LPARAM>(path.c_str()));
    EXPECT_TRUE(Shows(IDC_OPERATION_GROUP, L"Unknown"));

    SendMessageW(hwnd, UM_PROGRESS, 0, 7);
    EXPECT_TRUE(Shows(IDC_PERCENT, L"  7%"));
    EXPECT_EQ(SendMessageW(GetDlgItem(hwnd, IDC_TOTAL_PROGRESS), PBM_GETPOS, 0, 0), 7);
    SendMessageW(hwnd, UM_PROGRESS, 0, 100);
    EXPECT_EQ(Text(IDC_PERCENT), L"100%") << "the end shows at once";

    SendMessageW(hwnd, UM_ENABLE_CANCEL, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDCANCEL)));
    SendMessageW(hwnd, UM_ENABLE_CANCEL, 1, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDCANCEL)));
}

TEST_F(ProgressDialogTest, CancelAskedNoResumesAndYesStops) {
    Answers answers;
    answers.answers = {IDNO, IDYES};
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // Enter
    ASSERT_EQ(answers.calls.size(), 1u);
    EXPECT_EQ(answers.calls[0].text, L"Are you sure to abort the operation?");
    EXPECT_EQ(answers.calls[0].caption, L"Ordvale Progress");
    EXPECT_EQ(answers.calls[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
    EXPECT_FALSE(slot.control.Stopped());
    EXPECT_TRUE(slot.control.WaitUntilRunning()) << "resumed after No";
    EXPECT_TRUE(IsWindow(hwnd));

    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(answers.calls.size(), 2u);
    EXPECT_TRUE(slot.control.Stopped());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDCANCEL)));
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Operation Finished.");
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); })) << "closes a moment after finishing";
}

TEST_F(ProgressDialogTest, AbortedShellOperationAsksWhetherToContinue) {
    Answers answers;
    answers.answers = {IDYES, IDNO};
    SendMessageW(hwnd, UM_OPERATION_ABORTED, 0, 0);
    ASSERT_EQ(answers.calls.size(), 1u);
    EXPECT_EQ(answers.calls[0].text,
              L"You have canceled current operation, \r\ndo you want Ordvale to continue finishing \r\n"
              L"the rest of operations?");
    EXPECT_EQ(answers.calls[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(slot.control.Stopped());
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Canceling operation...");

    SendMessageW(hwnd, UM_OPERATION_ABORTED, 0, 0);
    EXPECT_TRUE(slot.control.Stopped());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
}

TEST_F(ProgressDialogTest, FinishedShowsTheCheckMarkThenCloses) {
    SendMessageW(hwnd, UM_FINISHED, 0, 0);
    EXPECT_EQ(Text(IDC_ITEM_TEXT), L"Operation Finished.");
    EXPECT_NE(SendMessageW(GetDlgItem(hwnd, IDC_ITEM_ICON), STM_GETICON, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd)) << "visible for a moment";
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
}

// A run's worker waits for its own dialog. Another run's dialog on the
// screen (in this process or another) keeps the named start-up event set;
// that must not start this run before its dialog exists.
TEST(StartupHandshake, EachRunWaitsForItsOwnDialog) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RunSlot first, second;
    CDialogProgress firstDialog(&first), secondDialog(&second);
    HWND a = firstDialog.Create(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(first.WaitUntilDialogShown(0)) << "created, not yet shown";
    ShowWindow(a, SW_SHOW);
    EXPECT_TRUE(first.WaitUntilDialogShown(0));
    EXPECT_FALSE(second.WaitUntilDialogShown(0)) << "another run's dialog does not start this one";

    HWND b = secondDialog.Create(GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(second.WaitUntilDialogShown(0));
    ShowWindow(b, SW_SHOW);
    EXPECT_TRUE(second.WaitUntilDialogShown(0));
    EXPECT_EQ(second.dialog, b);

    // The named event is still set while a run's dialog is up, for anyone
    // outside who waits for a run to come up.
    win::UniqueHandle named(OpenEventW(SYNCHRONIZE, FALSE, kStartupEventName));
    ASSERT_TRUE(named);
    EXPECT_EQ(WaitForSingleObject(named.Get(), 0), WAIT_OBJECT_0);
    DestroyWindow(a);
    DestroyWindow(b);
}

// Once the wizard has gone, the runner's window is hidden: the engine's
// windows that stand alone on the screen need taskbar buttons of their own
// to be found again behind other windows.
TEST(EngineWindows, ProgressAndUncompletedHaveTaskbarButtons) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND owner = CreateWindowExW(0, L"STATIC", L"Ordvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    RunSlot slot;
    CDialogProgress progress(&slot);
    EngineContext context;
    CDialogUncompleted uncompleted(&context);
    for (win::CDialog* dialog : {static_cast<win::CDialog*>(&progress), static_cast<win::CDialog*>(&uncompleted)}) {
        HWND hwnd = dialog->Create(GetModuleHandleW(nullptr), owner);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner);
        EXPECT_NE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << dialog->Title().c_str();
        DestroyWindow(hwnd);
    }
    DestroyWindow(owner);
}

namespace {

// Two omitted moves; the dialog runs modally on this thread while `drive`
// works it from another thread.
class UncompletedDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* path : {L"C:\\a\\100% done.txt", L"C:\\b\\two.txt"}) {
            auto op = std::make_unique<Operation>();
            op->kind = static_cast<int8_t>(OperationKind::Move);
            op->status = static_cast<int8_t>(OperationStatus::Omitted);
            StoreText(op->source.path, path);
            context.operations.push_back(std::move(op));
        }
    }
    INT_PTR Run(const std::function<void(HWND)>& drive) {
        std::thread driver([&] {
            HWND dialog = WaitForWindow(GetCurrentProcessId(), L"Uncompleted Operations", 10000);
            if (dialog) drive(dialog);
        });
        CDialogUncompleted dialog(&context);
        INT_PTR result = dialog.DoModal(GetModuleHandleW(nullptr), nullptr);
        driver.join();
        return result;
    }
    // A click on the row's check box, where the list's own hit test finds it.
    static void Tick(HWND dialog, int row, bool ticked) {
        HWND list = GetDlgItem(dialog, IDC_UNCOMPLETED_LIST);
        if ((ListView_GetCheckState(list, row) != 0) == ticked) return;
        RECT bounds = {};
        ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
        LVHITTESTINFO hit = {};
        hit.pt.y = (bounds.top + bounds.bottom) / 2;
        for (hit.pt.x = bounds.left; hit.pt.x < bounds.left + 40; ++hit.pt.x) {
            hit.flags = 0;
            if (ListView_HitTest(list, &hit) == row && (hit.flags & LVHT_ONITEMSTATEICON)) break;
        }
        ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON) << "no check box found in row " << row;
        const LPARAM at = MAKELPARAM(hit.pt.x, hit.pt.y);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
    static bool IgnoreAll(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_IGNORE_ALL) == BST_CHECKED; }
    OperationStatus Status(int i) const { return static_cast<OperationStatus>(context.operations[i]->status); }

    EngineContext context;
};

}  // namespace

TEST_F(UncompletedDialogTest, TicksFollowTheRowsAndIgnoreAll) {
    std::vector<bool> ignoreAll;
    std::vector<OperationStatus> first;
    int rows = 0;
    std::wstring kind;
    EXPECT_EQ(Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_UNCOMPLETED_LIST);
        rows = ListView_GetItemCount(list);
        wchar_t buf[64] = {};
        ListView_GetItemText(list, 0, 1, buf, 64);
        kind = buf;
        ignoreAll.push_back(IgnoreAll(dialog));
        Tick(dialog, 0, true);
        ignoreAll.push_back(IgnoreAll(dialog));
        first.push_back(Status(0));
        Tick(dialog, 1, true);
        ignoreAll.push_back(IgnoreAll(dialog));
        Tick(dialog, 0, false);
        ignoreAll.push_back(IgnoreAll(dialog));
        first.push_back(Status(0));
        // The click is the dialog's thread's to handle: once the box is
        // ticked and the rows follow it (or after a while, when they do not).
        Click(dialog, IDC_IGNORE_ALL);
        WaitUntil([&] { return IgnoreAll(dialog) && Status(0) != OperationStatus::Unknown; }, 10000);
        ignoreAll.push_back(IgnoreAll(dialog));
        first.push_back(Status(0));
        Click(dialog, IDRETRY);
    }), IDRETRY);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(kind, L"Moving");
    EXPECT_EQ(ignoreAll, (std::vector<bool>{false, false, true, false, true}));
    EXPECT_EQ(first, (std::vector<OperationStatus>{OperationStatus::Succeeded, OperationStatus::Unknown,
                                                   OperationStatus::Succeeded}));
    EXPECT_EQ(Status(1), OperationStatus::Succeeded);
}

// The operation column fits its header and its longest kind name.
TEST_F(UncompletedDialogTest, OperationColumnFitsItsTexts) {
    context.operations[1]->kind = static_cast<int8_t>(OperationKind::CreateDirectory);
    int width = 0, header = 0, longest = 0;
    Run([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_UNCOMPLETED_LIST);
        width = ListView_GetColumnWidth(list, 1);
        header = ListView_GetStringWidth(list, L"Operation");
        longest = ListView_GetStringWidth(list, L"Create Directory");
        Click(dialog, IDRETRY);
    });
    EXPECT_GE(width, header + 12);
    EXPECT_GE(width, longest + 12);
}

TEST_F(UncompletedDialogTest, CancelAndCloseAskOnceEach) {
    Answers answers;
    answers.answers = {IDNO, IDYES};
    EXPECT_EQ(Run([&](HWND dialog) {
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close button
        EXPECT_TRUE(IsWindow(dialog)) << "No keeps it";
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }), IDCANCEL);
    ASSERT_EQ(answers.calls.size(), 2u);
    EXPECT_EQ(answers.calls[1].text, L"Are you sure to abort the operation?");
    EXPECT_EQ(answers.calls[1].caption, L"Uncompleted Operations");
    EXPECT_EQ(Status(0), OperationStatus::Omitted) << "nothing was ticked";
}

TEST_F(UncompletedDialogTest, TipShowsTheFullPathUnchanged) {
    std::wstring tip;
    Run([&](HWND dialog) {
        wchar_t buffer[260] = {};
        NMLVGETINFOTIPW info = {};
        info.hdr.hwndFrom = GetDlgItem(dialog, IDC_UNCOMPLETED_LIST);
        info.hdr.idFrom = IDC_UNCOMPLETED_LIST;
        info.hdr.code = LVN_GETINFOTIPW;
        info.pszText = buffer;
        info.cchTextMax = 260;
        info.iItem = 0;
        SendMessageW(dialog, WM_NOTIFY, IDC_UNCOMPLETED_LIST, reinterpret_cast<LPARAM>(&info));
        tip = buffer;
        Click(dialog, IDRETRY);
    });
    EXPECT_EQ(tip, L"C:\\a\\100% done.txt");
}

// The list shows the dialog's image list without owning it: the dialog
// destroys it once, after the list has gone. Items of one type share one
// image.
TEST(UncompletedDialogImages, BelongToTheDialogAndAreSharedPerType) {
    TempDir dir;
    EngineContext context;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.log", L"Folder"}) {
        const std::wstring path = dir / name;
        if (std::wstring(name) == L"Folder")
            ASSERT_TRUE(MakeFolder(path));
        else
            ASSERT_TRUE(WriteText(path, "x"));
        auto op = std::make_unique<Operation>();
        op->kind = static_cast<int8_t>(OperationKind::Move);
        op->status = static_cast<int8_t>(OperationStatus::Omitted);
        StoreText(op->source.path, path);
        context.operations.push_back(std::move(op));
    }
    std::vector<int> images;
    CDialogUncompleted dialog(&context);
    std::thread driver([&] {
        HWND window = WaitForWindow(GetCurrentProcessId(), L"Uncompleted Operations", 10000);
        if (!window) return;
        HWND list = GetDlgItem(window, IDC_UNCOMPLETED_LIST);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            LVITEMW item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ListView_GetItem(list, &item);
            images.push_back(item.iImage);
        }
        Click(window, IDRETRY);
    });
    EXPECT_EQ(dialog.DoModal(GetModuleHandleW(nullptr), nullptr), IDRETRY);
    driver.join();
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(images[0], images[1]) << "two .txt files, one image";
    EXPECT_NE(images[0], images[2]);
    EXPECT_NE(images[2], images[3]);
    // The dialog's window and its list are gone; the images are still the dialog's.
    EXPECT_EQ(ImageList_GetImageCount(dialog.SmallImages()), 3);
}
