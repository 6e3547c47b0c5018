#include "WizardDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/AppPaths.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"

namespace testing_support {

DWORD ClickThroughTypicalRun(const std::wstring& commandLine) {
    Program wizard(commandLine);
    EXPECT_TRUE(wizard.Started());
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    EXPECT_NE(frame, nullptr);
    if (!frame) return STILL_ACTIVE;
    EXPECT_EQ(ControlText(frame, IDC_BUTTON_RIGHT), L"Exit");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(frame, IDC_BUTTON_LEFT)));
    EXPECT_TRUE(WaitForControl(frame, IDC_LINK_DESKTOP));
    Press(frame, IDC_LINK_DESKTOP);
    EXPECT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the method page follows Desktop";
    EXPECT_EQ(SendMessageW(VisibleControl(frame, IDC_METHOD_TYPE), BM_GETCHECK, 0, 0), BST_CHECKED);
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && GetDlgItem(GetParent(combo), IDC_PROFILE_TITLE) && !WindowText(combo).empty();
    })) << "the default type profile is selected";
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    HWND link = VisibleControl(frame, IDC_TARGET_LINK);
    EXPECT_EQ(link ? WindowText(link) : L"", L"<a>Desktop</a>");
    HWND profile = VisibleControl(frame, IDC_PROFILE_LINK);
    EXPECT_EQ(profile ? WindowText(profile) : L"", L"<a>By kind of file</a>");
    Press(frame, IDC_BUTTON_RIGHT);
    return wizard.Wait(60000);
}

void ExpectTypicalRunTidiesTheDesktop(const std::wstring& wizardExe) {
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer)));
    const std::wstring desktop = buffer;
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"holiday.jpg", L"Pictures"}, {L"notes.txt", L"Documents"}, {L"song.mp3", L"Music"}, {L"backup.zip", L"Archives"}};
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.first, "sample"));

    EXPECT_EQ(ClickThroughTypicalRun(L"\"" + wizardExe + L"\""), 0u);
    for (const auto& f : files) {
        const std::wstring moved = desktop + L"\\" + f.second + L"\\" + f.first;
        EXPECT_TRUE(WaitUntil([&] { return ordvale::FileExists(moved); }, 120000)) << Narrow(moved);
    }
    WaitForProcessesNamed(L"qz.exe");
    for (const auto& f : files) {
        EXPECT_FALSE(ordvale::FileExists(desktop + L"\\" + f.first));
        RemoveTree(desktop + L"\\" + f.second);
    }
}

}  // namespace testing_support
