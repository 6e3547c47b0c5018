// Shows the wizard on one page with sample content, for screenshots:
//   wizard_showcase.exe target|items|method|profile|summary|about
#include <windows.h>

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
        } else if (page_ == L"summary") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
            ShowPage(kPageProfile);
            SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RIGHT, BN_CLICKED), 0);
        } else if (page_ == L"about") {
            PostMessageW(Handle(), WM_COMMAND, ID_MENU_ABOUT, 0);
        } else if (page_ == L"menu") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_MENU_BUTTON, BN_CLICKED), 0);
        }
        return TRUE;
    }

private:
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
