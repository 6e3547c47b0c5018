// Rule Collision (dialog 168): the rules a new or changed rule overlaps,
// with where they are.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "Placement.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogRuleCollision : public CDialogEx {
public:
    CDialogRuleCollision();
    // Inputs.
    std::wstring message;  // at most 259 characters are shown
    ModelMethod method = ModelMethod::None;        // which columns: time rules, or size and name rules
    std::vector<editor::CollisionRow> rows;
    HIMAGELIST images = nullptr;  // the page's small image list, not owned

protected:
    BOOL OnInitDialog() override;
};

}  // namespace ordvale::wizard
