// The name rule pane (dialog 179): the selected rule's range of first
// characters or its regular expression, which can be changed in place. The
// two options only show the rule's kind: a rule keeps its kind.
#pragma once
#include <string>

#include "ProfilePane.h"
#include "RuleEdits.h"

namespace ordvale::wizard {

class EditorContext;

struct NamePropertyFill {
    HICON icon = nullptr;  // handed over to the pane
    int kind = 0;          // kNameRange or kNameRegExp
    wchar_t first = 0;
    wchar_t last = 0;
    std::wstring expression;
    std::wstring description;
};

class CDialogNameProperty : public CProfilePane {
public:
    CDialogNameProperty();
    void Fill(const NamePropertyFill& fill);
    void Clear() override;
    // A range: its first character; an expression: its edit, all selected.
    void FocusFirstField() override;
    editor::NamePaneValues Values() const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    // "From" checked; options, lists and edit disabled and empty.
    void Reset();
};

// How the page fills this pane from a name rule, tests it and applies it.
PaneBinding BindNamePane(EditorContext& context, CDialogNameProperty& pane);

}  // namespace ordvale::wizard
