#include "WizardDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <commctrl.h>

#include "common/AppPaths.h"
#include "resource.h"
#include "ResourceLint.h"
#include "TestSupport.h"

namespace testing_support {

namespace {
std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}
}  // namespace

HWND OpenMethodPage(const Program& wizard) {
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    EXPECT_NE(frame, nullptr);
    if (!frame || !WaitForControl(frame, IDC_LINK_DESKTOP)) return nullptr;
    Click(frame, IDC_LINK_DESKTOP);
    EXPECT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the method page follows Desktop";
    return frame;
}

bool ChooseWizardMenu(const Program& wizard, HWND frame, UINT command, const std::wstring& program) {
    const ProgramMenu menu(program, IDR_WIZARD_MENU);
    return ChooseFromButtonMenu(wizard.Id(), GetDlgItem(frame, IDC_MENU_BUTTON), menu.Popup(0), command);
}

bool ChooseAddMenu(const Program& wizard, HWND page, UINT command, const std::wstring& program) {
    for (int id : {IDR_NEW_TYPE_ITEMS, IDR_NEW_TIME_ITEMS, IDR_NEW_SIZE_ITEMS, IDR_NEW_NAME_ITEMS}) {
        const ProgramMenu add(program, id);
        if (MenuState(add.Popup(0), command) == static_cast<UINT>(-1)) continue;
        // The list's menu lays out the method's Add menu under its "&Add".
        const ProgramMenu list(program, IDR_PROFILE_LIST_MENU);
        HMENU layout = list.Popup(0);
        for (int i = 0; layout && i < GetMenuItemCount(layout); ++i) {
            if (!GetSubMenu(layout, i) || MnemonicOf(MenuText(layout, i)) != L'A') continue;
            const std::wstring label = MenuText(layout, i);
            ModifyMenuW(layout, i, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(add.Popup(0)),
                        label.c_str());
            const bool chosen = [&] {
                Press(GetDlgItem(page, IDC_PROFILE_LIST), VK_APPS);
                HWND open = WaitForMenu(wizard.Id(), 10000);
                if (!open) {
                    ADD_FAILURE() << "the Application key opens no menu on the list";
                    return false;
                }
                ChooseMenuItem(open, layout, command);
                return true;
            }();
            RemoveMenu(layout, i, MF_BYPOSITION);  // the popup stays the Add menu's, to go with it
            return chosen;
        }
        ADD_FAILURE() << "the list's menu has no Add";
        return false;
    }
    ADD_FAILURE() << "no Add menu has the command " << command;
    return false;
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
