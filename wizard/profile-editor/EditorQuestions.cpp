#include "EditorQuestions.h"

#include "DialogMultiReplace.h"
#include "DialogProfileNew.h"
#include "DialogRuleCollision.h"
#include "common/win/Dialog.h"
#include "resource.h"

namespace ordvale::wizard {

void CEditorQuestions::Attach(HWND page, HINSTANCE module) {
    page_ = page;
    module_ = module;
}

std::wstring CEditorQuestions::Text(UINT id) const {
    return win::LoadModuleText(module_, id);
}

editor::ReplaceAnswer CEditorQuestions::ConfirmReplacement(const std::wstring& question, bool fourButtons) {
    CDialogMultiReplace dialog;
    dialog.question = question;
    dialog.fourButtons = fourButtons;
    switch (dialog.DoModal(module_, page_)) {
        case IDYES: return editor::kReplaceYes;
        case IDC_REPLACE_YES_TO_ALL: return editor::kReplaceYesToAll;
        case IDNO: return editor::kReplaceNo;
        default: return editor::kReplaceCancel;
    }
}

void CEditorQuestions::ShowCollisions(const std::wstring& message, ModelMethod method,
                                      const editor::CollisionList& collisions) {
    CDialogRuleCollision dialog;
    dialog.message = message;
    dialog.method = method;
    dialog.rows = editor::CollisionRows(*this, method, collisions);
    dialog.images = list_.SmallImages();
    dialog.DoModal(module_, page_);
}

bool CEditorQuestions::AskProfileName(editor::ProfileNameRequest* request) {
    CDialogProfileNew dialog;
    dialog.request = *request;
    if (dialog.DoModal(module_, page_) != IDOK) return false;
    *request = dialog.request;
    return true;
}

}  // namespace ordvale::wizard
