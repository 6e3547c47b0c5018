#include "DialogProfileNew.h"

#include <windowsx.h>

#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogProfileNew::CDialogProfileNew() : CDialogEx(IDD_PROFILE_NEW) {}

BOOL CDialogProfileNew::OnInitDialog() {
    CDialogEx::OnInitDialog();
    CheckRadioButton(Handle(), IDC_PROFILE_BLANK, IDC_PROFILE_TEMPLATE, IDC_PROFILE_BLANK);
    request.blank = true;
    HWND templates = Item(IDC_PROFILE_TEMPLATE_LIST);
    EnableWindow(templates, FALSE);
    SetItemText(IDC_PROFILE_NAME, request.proposedName);
    request.name = request.proposedName;
    request.id = request.proposedId;
    // Each entry carries its position in the request's list, which lives
    // as long as the dialog.
    int selected = -1;
    for (std::size_t i = 0; i < request.profileList.size(); ++i) {
        const int index = ComboBox_AddString(templates, request.profileList[i].displayName);
        if (index < 0) continue;
        ComboBox_SetItemData(templates, index, i);
        if (request.profileList[i].isDefault) selected = index;
    }
    ComboBox_SetCurSel(templates, selected);
    SetWindowTextW(Handle(), request.title.c_str());
    if (!request.showOptions) HideOptions();
    SendDlgItemMessageW(Handle(), IDC_PROFILE_NAME, EM_SETSEL, 0, -1);
    SetFocus(Item(IDC_PROFILE_NAME));
    return FALSE;  // the focus is set
}

void CDialogProfileNew::HideOptions() {
    RECT group = {};
    GetWindowRect(Item(IDC_PROFILE_OPTIONS), &group);
    const int height = group.bottom - group.top;
    for (int id : {IDC_PROFILE_OPTIONS, IDC_PROFILE_BLANK, IDC_PROFILE_TEMPLATE, IDC_PROFILE_TEMPLATE_LIST})
        ShowWindow(Item(id), SW_HIDE);
    for (int id : {IDOK, IDCANCEL}) {
        RECT rect = {};
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(Item(id), nullptr, rect.left, rect.top - height, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT window = {};
    GetWindowRect(Handle(), &window);
    SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left, window.bottom - window.top - height,
                 SWP_NOMOVE | SWP_NOZORDER);
}

BOOL CDialogProfileNew::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_PROFILE_BLANK:
        case IDC_PROFILE_TEMPLATE:
            if (code == BN_CLICKED) {
                request.blank = id == IDC_PROFILE_BLANK;
                EnableWindow(Item(IDC_PROFILE_TEMPLATE_LIST), !request.blank);
            }
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

void CDialogProfileNew::OnOK() {
    const editor::ModuleTexts texts(Module());
    std::wstring name;
    const std::wstring problem = editor::CheckProfileName(texts, ItemText(IDC_PROFILE_NAME), request.profileList, &name);
    if (!problem.empty()) {
        win::ShowMessageBox(Handle(), problem, Title(), MB_OK | MB_ICONEXCLAMATION);
        HWND box = Item(IDC_PROFILE_NAME);
        SendMessageW(box, EM_SETSEL, 0, -1);
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
        SetFocus(box);
        return;
    }
    request.name = name;
    request.templateId.clear();
    if (!request.blank) {
        HWND templates = Item(IDC_PROFILE_TEMPLATE_LIST);
        const int index = ComboBox_GetCurSel(templates);
        const auto at = index < 0 ? request.profileList.size() : static_cast<std::size_t>(ComboBox_GetItemData(templates, index));
        if (at < request.profileList.size()) {
            request.templateId = request.profileList[at].id;
        } else {
            request.blank = true;
        }
    }
    End(IDOK);
}

}  // namespace ordvale::wizard
