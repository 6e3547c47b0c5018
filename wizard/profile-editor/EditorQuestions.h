// The questions of the profile page as dialogs over it: the placements'
// (Confirm Item Replacement, Rule Collision), with their texts from the
// page's module and the display of new and changed rules by the page's
// list; and the profile commands' profile name.
#pragma once
#include <windows.h>

#include <string>

#include "Placement.h"
#include "ProfileList.h"
#include "ProfileSession.h"

namespace ordvale::wizard {

class CEditorQuestions : public editor::PlacementHost {
public:
    explicit CEditorQuestions(CProfileList& list) : list_(list) {}
    CEditorQuestions(const CEditorQuestions&) = delete;
    CEditorQuestions& operator=(const CEditorQuestions&) = delete;

    // The dialogs run from the module, owned by the page.
    void Attach(HWND page, HINSTANCE module);

    std::wstring Text(UINT id) const override;
    HWND Owner() const override { return page_; }
    editor::ReplaceAnswer ConfirmReplacement(const std::wstring& question, bool fourButtons) override;
    void ShowCollisions(const std::wstring& message, ModelMethod method,
                        const editor::CollisionList& collisions) override;
    void PrepareRuleDisplay(ModelMethod method, RuleEntry* entry) override {
        list_.PrepareRuleDisplay(*this, method, entry);
    }
    // The profile-name dialog; false when cancelled.
    bool AskProfileName(editor::ProfileNameRequest* request);

private:
    CProfileList& list_;
    HWND page_ = nullptr;
    HINSTANCE module_ = nullptr;
};

}  // namespace ordvale::wizard
