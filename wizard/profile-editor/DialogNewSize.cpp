#include "DialogNewSize.h"

#include "SizeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewSize::CDialogNewSize() : CDialogEx(IDD_NEW_SIZE) {}

BOOL CDialogNewSize::OnInitDialog() {
    CDialogEx::OnInitDialog();
    lower_ = editor::SizeField(Item(IDC_NEW_SIZE_LOWER), Item(IDC_NEW_SIZE_LOWER_SPIN), Item(IDC_NEW_SIZE_LOWER_UNIT));
    upper_ = editor::SizeField(Item(IDC_NEW_SIZE_UPPER), Item(IDC_NEW_SIZE_UPPER_SPIN), Item(IDC_NEW_SIZE_UPPER_UNIT));
    const editor::ModuleTexts texts(Module());
    lower_.Prepare(texts, true);
    upper_.Prepare(texts, true);
    lower_.Show(lower, L"0");
    upper_.Show(upper, L"0");
    return TRUE;
}

BOOL CDialogNewSize::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_NEW_SIZE_LOWER_UNIT:
        case IDC_NEW_SIZE_UPPER_UNIT:
            if (code == CBN_SELCHANGE) (id == IDC_NEW_SIZE_LOWER_UNIT ? lower_ : upper_).FollowUnit();
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

BOOL CDialogNewSize::OnNotify(NMHDR* header, LRESULT* result) {
    return lower_.OnNotify(header, result) || upper_.OnNotify(header, result);
}

void CDialogNewSize::OnOK() {
    int64_t low = 0, high = 0;
    const bool lowRead = lower_.Read(&low);
    const bool highRead = lowRead && upper_.Read(&high);
    const int check = editor::CheckSizeRange(lowRead, low, highRead, high);
    if (check != editor::kSizeRangeOk) {
        const bool onLower = check != editor::kSizeUpperUnreadable;
        editor::RefuseField(Handle(), (onLower ? lower_ : upper_).Edit(),
                            LoadText(check == editor::kSizeLowerAboveUpper ? IDS_SIZE_RANGE_INVALID : IDS_SIZE_INVALID),
                            editor::AppTitle(editor::ModuleTexts(Module())));
        return;
    }
    lower = low;
    upper = high;
    End(IDOK);
}

}  // namespace ordvale::wizard
