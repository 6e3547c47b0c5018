#include "WizardDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/AppPaths.h"
#include "resource.h"
#include "TestSupport.h"

namespace testing_support {

HWND OpenMethodPage(const Program& wizard) {
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    EXPECT_NE(frame, nullptr);
    if (!frame || !WaitForControl(frame, IDC_LINK_DESKTOP)) return nullptr;
    Click(frame, IDC_LINK_DESKTOP);
    EXPECT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the method page follows Desktop";
    return frame;
}

void FinishFromMethodPage(HWND frame, const wchar_t* methodLink, const wchar_t* profileLink,
                          const wchar_t* targetLink) {
    Click(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && GetDlgItem(GetParent(combo), IDC_PROFILE_TITLE) && !Text(combo).empty();
    })) << "the method's default profile is selected";
    Click(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    const struct {
        int id;
        const wchar_t* text;
    } links[] = {{IDC_TARGET_LINK, targetLink}, {IDC_METHOD_LINK, methodLink}, {IDC_PROFILE_LINK, profileLink}};
    for (const auto& link : links) {
        HWND control = VisibleControl(frame, link.id);
        if (link.text) {
            EXPECT_EQ(control ? Text(control) : L"", link.text);
        }
    }
    Click(frame, IDC_BUTTON_RIGHT);
}

void ExpectTypicalRunTidiesTheDesktop(const std::function<DWORD()>& typicalRun) {
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer)));
    const std::wstring desktop = buffer;
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"holiday.jpg", L"Pictures"}, {L"notes.txt", L"Documents"}, {L"song.mp3", L"Music"}, {L"backup.zip", L"Archives"}};
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.first, "sample"));

    const DWORD code = typicalRun();
    EXPECT_EQ(code, 0u);
    if (code != 0) {
        for (const auto& f : files) DeleteFileW((desktop + L"\\" + f.first).c_str());
        return;
    }
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
