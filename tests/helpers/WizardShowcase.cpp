// Shows the wizard on one page with sample content, for screenshots:
//   wizard_showcase.exe target|items|method|profile|summary|about|menu
//   wizard_showcase.exe profile-type|profile-time|profile-size|profile-name
//     (the profile page of that method, one folder opened and one item selected)
//   wizard_showcase.exe profile-new|profile-context
//     (the New Profile dialog; the list's context menu)
#include <windows.h>
#include <commctrl.h>

#include <string>

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
        if (message != WM_TIMER || wParam != kOpenTimer) return COrdvaleWizardDlg::OnMessage(message, wParam, lParam, result);
        KillTimer(Handle(), kOpenTimer);
        if (page_ == L"about") {
            PostMessageW(Handle(), WM_COMMAND, ID_MENU_ABOUT, 0);
        } else if (page_ == L"menu") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_MENU_BUTTON, BN_CLICKED), 0);
        } else if (page_ == L"profile-new") {
            PostMessageW(ProfilePage().Handle(), WM_COMMAND, ID_NEW_PROFILE, 0);
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

    void ShowProfilePage(const std::wstring& method) {
        static const wchar_t* const positions[] = {L"type", L"name", L"size", L"time"};
        for (WPARAM i = 0; i < 4; ++i)
            if (method == positions[i]) SendMessageW(Handle(), WM_METHOD_CHOSEN, i, 0);
        SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
        ShowPage(kPageProfile);
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
