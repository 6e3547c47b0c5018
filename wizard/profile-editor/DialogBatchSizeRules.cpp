#include "DialogBatchSizeRules.h"

#include "RuleBatches.h"
#include "SizeRules.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogBatchSizeRules::CDialogBatchSizeRules() : CDialogEx(IDD_SIZE_BATCH) {}

BOOL CDialogBatchSizeRules::OnInitDialog() {
    CDialogEx::OnInitDialog();
    from_ = editor::SizeField(Item(IDC_SIZE_BATCH_FROM), Item(IDC_SIZE_BATCH_FROM_SPIN), Item(IDC_SIZE_BATCH_FROM_UNIT));
    to_ = editor::SizeField(Item(IDC_SIZE_BATCH_TO), Item(IDC_SIZE_BATCH_TO_SPIN), Item(IDC_SIZE_BATCH_TO_UNIT));
    every_ = editor::SizeField(Item(IDC_SIZE_BATCH_EVERY), Item(IDC_SIZE_BATCH_EVERY_SPIN),
                               Item(IDC_SIZE_BATCH_EVERY_UNIT));
    const editor::ModuleTexts texts(Module());
    const int64_t sizes[] = {from, to, step};
    editor::SizeField* fields[] = {&from_, &to_, &every_};
    for (int i = 0; i < 3; ++i) {
        fields[i]->Prepare(texts, false);
        fields[i]->Show(sizes[i], L"0.00");
        fields[i]->Enable(true);
    }
    CheckDlgButton(Handle(), IDC_SIZE_BATCH_FOLDERS, makeFolders ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

BOOL CDialogBatchSizeRules::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    return CDialogEx::OnCommand(id, code, control);
}

BOOL CDialogBatchSizeRules::OnNotify(NMHDR* header, LRESULT* result) {
    return from_.OnNotify(header, result) || to_.OnNotify(header, result) || every_.OnNotify(header, result);
}

void CDialogBatchSizeRules::OnOK() {
    const std::wstring caption = editor::AppTitle(editor::ModuleTexts(Module()));
    int64_t sizes[3] = {};
    const editor::SizeField* fields[] = {&from_, &to_, &every_};
    for (int i = 0; i < 3; ++i) {
        if (fields[i]->Read(&sizes[i])) continue;
        editor::RefuseField(Handle(), fields[i]->Edit(), LoadText(IDS_SIZE_INVALID), caption);
        return;
    }
    switch (editor::CheckSizeBatch(sizes[0], sizes[1], sizes[2])) {
        case editor::kSizeBatchStepZero:
            editor::RefuseField(Handle(), every_.Edit(), LoadText(IDS_SIZE_STEP_ZERO), caption);
            return;
        case editor::kSizeBatchEqual:
            editor::RefuseField(Handle(), from_.Edit(), LoadText(IDS_SIZE_BATCH_EQUAL), caption);
            return;
        case editor::kSizeBatchTooMany: {
            const std::wstring limit = std::to_wstring(editor::kMaxBatchRules);
            editor::RefuseField(Handle(), every_.Edit(),
                                FillTemplate(LoadText(IDS_SIZE_BATCH_TOO_MANY).c_str(), {limit.c_str()}), caption);
            return;
        }
        default:
            break;
    }
    from = sizes[0] < sizes[1] ? sizes[0] : sizes[1];
    to = sizes[0] < sizes[1] ? sizes[1] : sizes[0];
    step = sizes[2];
    makeFolders = IsDlgButtonChecked(Handle(), IDC_SIZE_BATCH_FOLDERS) == BST_CHECKED;
    End(IDOK);
}

}  // namespace ordvale::wizard
