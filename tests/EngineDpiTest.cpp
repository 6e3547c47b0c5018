// The engine's Uncompleted Operations dialog at 150 % (144 DPI, see
// DpiMain.cpp): its warning icon and the list's icons have the sizes that
// DPI asks for, and the list needs no sideways scroll bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <thread>

#include "common/Text.h"
#include "common/win/Dpi.h"
#include "common/win/Handle.h"
#include "engine/UncompletedDialog.h"
#include "engine/resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {


}  // namespace

TEST(UncompletedAtDpi, IconsAtTheScreensSizeAndColumnsThatFit) {
    EngineContext context;
    for (const wchar_t* path : {L"C:\\windows\\win.ini", L"C:\\windows\\notepad.exe"}) {
        auto op = std::make_unique<Operation>();
        op->kind = static_cast<int8_t>(OperationKind::Move);
        op->status = static_cast<int8_t>(OperationStatus::Omitted);
        StoreText(op->source.path, path);
        context.operations.push_back(std::move(op));
    }
    UINT dpi = 0;
    int warning = 0, small = 0, cy = 0;
    LONG_PTR style = 0;
    std::thread driver([&] {
        HWND dialog = WaitForWindow(GetCurrentProcessId(), L"Uncompleted Operations", 10000);
        if (!dialog) return;
        HWND list = GetDlgItem(dialog, IDC_UNCOMPLETED_LIST);
        dpi = win::WindowDpi(dialog);
        warning = IconWidth(reinterpret_cast<HICON>(SendDlgItemMessageW(dialog, IDC_UNCOMPLETED_ICON, STM_GETICON, 0, 0)));
        ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &small, &cy);
        style = GetWindowLongPtrW(list, GWL_STYLE);
        Click(dialog, IDRETRY);
    });
    CDialogUncompleted dialog(&context);
    EXPECT_EQ(dialog.DoModal(GetModuleHandleW(nullptr), nullptr), IDRETRY);
    driver.join();
    ASSERT_EQ(dpi, 144u) << "the test means 150 %";
    EXPECT_EQ(warning, 48);
    EXPECT_EQ(small, 24);
    EXPECT_EQ(style & WS_HSCROLL, 0);
}
