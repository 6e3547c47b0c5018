#include "DialogNewNameRegExp.h"

#include "FieldFormats.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewNameRegExp::CDialogNewNameRegExp() : CDialogEx(IDD_NEW_NAME_REGEXP) {}

BOOL CDialogNewNameRegExp::OnCommand(WORD id, WORD code, HWND control) {
    if (id != IDOK) return CDialogEx::OnCommand(id, code, control);
    const std::wstring typed = TrimBlanks(ItemText(IDC_NEW_REGEXP_EXPRESSION));
    if (const UINT problem = editor::ExpressionProblem(typed)) {
        win::ShowMessageBox(Handle(), LoadText(problem), LoadText(IDS_PRODUCT_NAME), MB_OK | MB_ICONEXCLAMATION);
        SendDlgItemMessageW(Handle(), IDC_NEW_REGEXP_EXPRESSION, EM_SETSEL, 0, -1);
        SetFocus(Item(IDC_NEW_REGEXP_EXPRESSION));
        return TRUE;
    }
    expression = typed;
    End(IDOK);
    return TRUE;
}

}  // namespace ordvale::wizard
