// The profile page in the wizard frame, created from the program's resources
// in this process, for tests that use it the way a person does: clicks on
// the list, the toolbars and the buttons, keys, menu commands, and the modal
// dialogs answered as they come up. Message boxes are answered through the
// seam; what was stored is read back from the profile file.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EditorScript.h"
#include "PageProfile.h"
#include "TestSupport.h"
#include "UiDriver.h"
#include "WindowDriver.h"
#include "WizardDlg.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "resource.h"

namespace testing_support {

using namespace ordvale;
using namespace ordvale::wizard;

// Whether the focus is on the edit, with all of its text selected.
inline bool FocusedWhole(HWND edit) {
    DWORD start = 1, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return GetFocus() == edit && start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(edit));
}

// The text of a drop-down list's selected entry, "(none)" without one.
inline std::wstring ComboText(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    wchar_t text[64] = L"(none)";
    if (index >= 0) SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

class ProfilePageFixture : public ::testing::Test {
protected:
    // The profile document the test starts from.
    virtual std::string Document() const = 0;

    void SetUp() override {
        CWinAppEx::InitInstance();
        ASSERT_TRUE(GetAppDataFolder(&appData));
        settingsFile = SettingsFileIn(appData);
        SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData).c_str(), nullptr);
        file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, Document()));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, file));
        frame = wizard.Create(GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        ShowWindow(frame, SW_SHOW);
        page = wizard.ProfilePage().Handle();
        list = wizard.ProfilePage().List();
        driver = std::make_unique<UiDriver>(frame, std::vector<HWND>{page});
    }
    void TearDown() override {
        driver.reset();
        if (IsWindow(frame)) DestroyWindow(frame);
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
    }

    // Desktop, the method at its position on the method page, Next.
    void OpenPage(WPARAM methodPosition = 0) {
        SendMessageW(frame, WM_TARGET_CHOSEN, 0, 0);
        SendMessageW(frame, WM_METHOD_CHOSEN, methodPosition, 0);
        Next();
        ASSERT_EQ(wizard.CurrentPage(), Page::Profile);
    }
    void Next() { Click(GetDlgItem(frame, IDC_BUTTON_RIGHT)); }
    void Previous() { Click(GetDlgItem(frame, IDC_BUTTON_LEFT)); }
    HWND Toolbar(int id) const { return GetDlgItem(page, id); }
    void Tool(int toolbar, int command) { ClickToolbarButton(Toolbar(toolbar), command); }
    std::vector<std::wstring> Rows() const { return testing_support::Rows(list); }
    int RowOf(const std::wstring& name) const {
        const std::vector<std::wstring> rows = Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == name) return static_cast<int>(i);
        return -1;
    }
    void Open(const std::wstring& folder) {
        const int row = RowOf(folder);
        ASSERT_GE(row, 0) << Narrow(folder);
        DoubleClickListItem(list, row);
    }
    std::vector<std::wstring> PathEntries() { return ComboEntries(wizard.ProfilePage().PathBox()); }
    std::wstring PathShown() {
        const LRESULT index = SendMessageW(wizard.ProfilePage().PathBox(), CB_GETCURSEL, 0, 0);
        const std::vector<std::wstring> entries = PathEntries();
        return index >= 0 && index < static_cast<LRESULT>(entries.size()) ? entries[index] : L"(none)";
    }
    std::wstring Selector() const { return Text(page, IDC_PROFILE_COMBO); }
    bool SaveEnabled() const { return ToolbarButtonEnabled(Toolbar(IDC_PROFILE_TOOLBAR), ID_SAVE_PROFILE); }
    // A stored profile as its name and tree.
    std::string Stored(int method, const wchar_t* id) {
        MethodProfile profile(ModelMethodOf(method));
        if (!profile.Load(file.c_str(), id)) return "(none)";
        return Narrow(profile.displayName) + " " + DumpTree(profile.root);
    }
    std::string DefaultId(int method) {
        for (const ProfileEntry& entry : LoadProfileList(file.c_str(), method))
            if (entry.isDefault) return Narrow(entry.id);
        return "(none)";
    }
    // Picks the command from the New Item drop-down (it must not be grey);
    // the steps then answer the dialogs it opens, one each time one is idle.
    void AddByMenu(UINT command, std::vector<std::function<void(HWND)>> steps = {}) {
        driver->WhenIdle([command](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, command); });
        for (auto& step : steps) driver->WhenIdle(std::move(step));
        Tool(IDC_NEW_ITEMS_TOOLBAR, ID_NEW_ITEMS);
    }
    // Picks "&Folder" from the New Item drop-down and answers the New Folder dialog.
    void AddFolderByMenu(const std::wstring& name) {
        driver->WhenIdle([](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, ID_ADD_FOLDER); });
        driver->WhenIdle([name](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New Folder");
            Type(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME), name);
            Click(dialog, IDOK);
        });
        Tool(IDC_NEW_ITEMS_TOOLBAR, ID_NEW_ITEMS);
    }
    // Answers the profile-name dialog with a name typed over the proposal.
    void AnswerNameDialog(const std::wstring& name, const std::wstring& expectedTitle, bool useTemplate = false) {
        driver->WhenIdle([=](HWND dialog) {
            EXPECT_EQ(Text(dialog), expectedTitle);
            HWND box = GetDlgItem(dialog, IDC_PROFILE_NAME);
            Type(box, name);
            if (useTemplate) Click(GetDlgItem(dialog, IDC_PROFILE_TEMPLATE));
            Click(dialog, IDOK);
        });
    }

    TempDir dir;
    std::wstring appData, settingsFile, file;
    COrdvaleWizardDlg wizard;
    HWND frame = nullptr, page = nullptr, list = nullptr;
    std::unique_ptr<UiDriver> driver;
};

}  // namespace testing_support
