#include "DialogPageTidyMethod.h"

#include "Icons.h"
#include "PageMessages.h"
#include "WizardLogic.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogPageTidyMethod::CDialogPageTidyMethod() : CDialogEx(IDD_PAGE_METHOD, true, IDC_METHOD_TITLE) {}

CDialogPageTidyMethod::~CDialogPageTidyMethod() = default;

BOOL CDialogPageTidyMethod::OnInitDialog() {
    CDialogEx::OnInitDialog();
    LoadIcons();
    return TRUE;
}

void CDialogPageTidyMethod::LoadIcons() {
    const int size = win::LargeIconSize(Dpi());
    images_ = MakeImageList(Module(), size, {IDI_METHOD_TYPE, IDI_METHOD_NAME, IDI_METHOD_SIZE, IDI_METHOD_TIME});
    for (int i = 0; i < 4; ++i) {
        win::UniqueIcon icon(ImageList_GetIcon(images_.Get(), i, ILD_NORMAL));
        SendDlgItemMessageW(Handle(), IDC_METHOD_ICON_FIRST + i, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
        icons_[i] = std::move(icon);  // the icon shown before goes
    }
}

void CDialogPageTidyMethod::ApplyDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    CDialogEx::ApplyDpi(dpi);
    LoadIcons();
}

void CDialogPageTidyMethod::CheckMethod(int method) {
    const int position = PositionForMethod(method);
    for (int i = 0; i < 4; ++i) CheckDlgButton(Handle(), IDC_METHOD_TYPE + i, i == position ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CDialogPageTidyMethod::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED || id < IDC_METHOD_TYPE || id > IDC_METHOD_TIME) return FALSE;
    int position = 0;
    for (int i = 0; i < 4; ++i) {
        if (IsDlgButtonChecked(Handle(), IDC_METHOD_TYPE + i) == BST_CHECKED) {
            position = i;
            break;
        }
    }
    SendMessageW(GetParent(Handle()), WM_METHOD_CHOSEN, position, 0);
    return TRUE;
}

}  // namespace ordvale::wizard
