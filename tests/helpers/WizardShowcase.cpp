// Shows the wizard on one page with sample content, for screenshots:
//   wizard_showcase.exe target|items|method|profile|summary|about|menu
//   wizard_showcase.exe profile-type|profile-time|profile-size|profile-name
//     (the profile page of that method, one folder opened and one item selected)
//   wizard_showcase.exe profile-new|profile-context
//     (the New Profile dialog; the list's context menu)
//   wizard_showcase.exe pane-folder|pane-regexp
//     (the folder pane of a type profile's first folder; the name pane of a
//     regular expression)
//   wizard_showcase.exe new-folder|new-type|batch-types|new-name|new-regexp|batch-names
//     (the dialogs of the Add menus, from a type or a name profile)
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "PageProfile.h"
#include "WizardDlg.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "resource.h"

using namespace ordvale::wizard;

namespace {

class CShowcase : public COrdvaleWizardDlg {
public:
    explicit CShowcase(std::wstring page) : page_(std::move(page)) {}

protected:
    BOOL OnInitDialog() override {
        COrdvaleWizardDlg::OnInitDialog();
        if (page_ == L"items") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 2, 0);
            const std::wstring windows = L"C:\\windows";
            for (const wchar_t* name : {L"notepad.exe", L"system32", L"win.ini", L"regedit.exe"})
                ItemsPage().AddPath((windows + L"\\" + name).c_str());
        } else if (page_ == L"method") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
        } else if (page_ == L"profile") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
            ShowPage(kPageProfile);
        } else if (page_ == L"profile-new" || page_ == L"profile-context") {
            ShowProfilePage(L"type");
            OpenLater();
        } else if (page_.rfind(L"profile-", 0) == 0) {
            ShowProfilePage(page_.substr(8));
        } else if (page_ == L"pane-folder") {
            ShowProfilePage(L"type", false);
            ListView_SetItemState(ProfilePage().List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        } else if (page_ == L"pane-regexp") {
            ShowProfilePage(L"name", false);
            ordvale::editor::PlacementMode mode = ordvale::editor::PlaceSingle;
            FolderNodeRef root = ProfilePage().CurrentFolder();
            ordvale::editor::PlaceNameRule(ProfilePage(), &mode, root, 1, 0, 0, L"^Report \\d+");
            ProfilePage().RefreshList();
            ProfilePage().SelectItem(ordvale::wizard::RuleRef(root, 0));
        } else if (AddCommand() != 0) {
            ShowProfilePage(page_ == L"new-name" || page_ == L"new-regexp" || page_ == L"batch-names" ? L"name" : L"type",
                            false);
            OpenLater();
        } else if (page_ == L"summary") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
            ShowPage(kPageProfile);
            SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RIGHT, BN_CLICKED), 0);
        } else if (page_ == L"about" || page_ == L"menu") {
            OpenLater();
        }
        return TRUE;
    }

    // Dialogs and menus open once the wizard is up and active: opened from
    // here, they would come before the wizard is shown (and a menu would
    // close when the wizard became active).
    void OpenLater() { SetTimer(Handle(), kOpenTimer, 700, nullptr); }

    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_TIMER && wParam == kTypeTimer) {
            KillTimer(Handle(), kTypeTimer);
            // Some extensions typed and added, one of them unchecked.
            HWND dialog = FindWindowW(nullptr, L"Batch Adding File Type Rules");
            HWND input = GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT);
            for (wchar_t c : std::wstring(L".txt doc .pdf readme.md .odt")) PostMessageW(input, WM_CHAR, c, 1);
            PostMessageW(GetDlgItem(dialog, IDC_BATCH_TYPES_ADD), BM_CLICK, 0, 0);
            PostMessageW(input, WM_CHAR, L'.', 1);
            PostMessageW(input, WM_CHAR, L'x', 1);
            return TRUE;
        }
        if (message != WM_TIMER || wParam != kOpenTimer) return COrdvaleWizardDlg::OnMessage(message, wParam, lParam, result);
        KillTimer(Handle(), kOpenTimer);
        if (page_ == L"about") {
            PostMessageW(Handle(), WM_COMMAND, ID_MENU_ABOUT, 0);
        } else if (page_ == L"menu") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_MENU_BUTTON, BN_CLICKED), 0);
        } else if (page_ == L"profile-new") {
            PostMessageW(ProfilePage().Handle(), WM_COMMAND, ID_NEW_PROFILE, 0);
        } else if (AddCommand() != 0) {
            PostMessageW(ProfilePage().Handle(), WM_COMMAND, AddCommand(), 0);
            if (page_ == L"batch-types") SetTimer(Handle(), kTypeTimer, 700, nullptr);
        } else if (page_ == L"profile-context") {
            RECT item = {};
            ListView_GetItemRect(ProfilePage().List(), 0, &item, LVIR_LABEL);
            POINT at = {item.left + 20, item.bottom};
            ClientToScreen(ProfilePage().List(), &at);
            PostMessageW(ProfilePage().Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ProfilePage().List()),
                         MAKELPARAM(at.x, at.y));
        }
        return TRUE;
    }

private:
    static constexpr UINT_PTR kOpenTimer = 1;
    static constexpr UINT_PTR kTypeTimer = 2;
    using FolderNodeRef = ordvale::FolderNode*;

    // The Add command whose dialog the page shows, or 0.
    WORD AddCommand() const {
        const struct {
            const wchar_t* page;
            WORD command;
        } commands[] = {{L"new-folder", ID_ADD_FOLDER},  {L"new-type", ID_ADD_TYPE_RULE},
                        {L"batch-types", ID_ADD_TYPE_BATCH}, {L"new-name", ID_ADD_NAME_RULE},
                        {L"new-regexp", ID_ADD_NAME_REGEXP}, {L"batch-names", ID_ADD_NAME_BATCH}};
        for (const auto& c : commands)
            if (page_ == c.page) return c.command;
        return 0;
    }

    void ShowProfilePage(const std::wstring& method, bool openSecondFolder = true) {
        static const wchar_t* const positions[] = {L"type", L"name", L"size", L"time"};
        for (WPARAM i = 0; i < 4; ++i)
            if (method == positions[i]) SendMessageW(Handle(), WM_METHOD_CHOSEN, i, 0);
        SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
        ShowPage(kPageProfile);
        if (!openSecondFolder) return;
        // Into the second folder, with its first rule selected.
        HWND list = ProfilePage().List();
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    std::wstring page_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (!CWinAppEx::InitInstance()) return 1;
    {
        CShowcase dialog(commandLine ? commandLine : L"target");
        dialog.DoModal(instance, nullptr);
    }
    CWinAppEx::ExitInstance();
    return 0;
}
