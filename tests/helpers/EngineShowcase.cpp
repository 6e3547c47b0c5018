// Shows one of the engine's windows with sample content and waits until it
// is closed; scripts/screenshots photographs it.
//   engine_showcase progress | uncompleted | conflict
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/Text.h"
#include "engine/ConflictDialog.h"
#include "engine/EngineContext.h"
#include "engine/Messages.h"
#include "engine/ProgressDialog.h"
#include "engine/UncompletedDialog.h"

using namespace ordvale;

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE module = GetModuleHandleW(nullptr);
    std::wstring which = argc > 1 ? argv[1] : L"progress";
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring sample = std::wstring(windows) + L"\\notepad.exe";

    if (which == L"uncompleted") {
        EngineContext context;
        for (const std::wstring& path : {sample, std::wstring(windows) + L"\\win.ini"}) {
            auto op = std::make_unique<Operation>();
            op->kind = static_cast<int8_t>(OperationKind::Move);
            op->status = static_cast<int8_t>(OperationStatus::Omitted);
            StoreText(op->source.path, path);
            context.operations.push_back(std::move(op));
        }
        CDialogUncompleted dialog(&context);
        dialog.DoModal(module, nullptr);
    } else if (which == L"conflict") {
        ConflictQuestion question = {};
        question.sourcePath = L"C:\\users\\me\\Desktop\\holiday.jpg";
        question.destinationPath = L"C:\\users\\me\\Desktop\\Pictures\\holiday.jpg";
        question.sourceSize = 2411724;
        question.destinationSize = 1873002;
        SYSTEMTIME a = {2026, 12, 3, 9, 14, 12, 0, 0}, b = {2026, 7, 2, 21, 9, 41, 0, 0};
        SystemTimeToFileTime(&a, &question.sourceTime);
        SystemTimeToFileTime(&b, &question.destinationTime);
        CDialogConflict dialog(&question);
        dialog.DoModal(module, nullptr);
    } else {
        RunSlot slot;
        CDialogProgress dialog(&slot);
        HWND hwnd = dialog.Create(module, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        SendMessageW(hwnd, UM_PROGRESS, 0, 42);
        SendMessageW(hwnd, UM_OPERATION_BEGIN, static_cast<WPARAM>(OperationKind::Move),
                     reinterpret_cast<LPARAM>(sample.c_str()));
        MSG msg;
        while (IsWindow(hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(hwnd, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    return 0;
}
