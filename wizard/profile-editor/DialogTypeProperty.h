// The type rule pane (dialog 133): the selected rule's extension, which can
// be changed in place, and the file type's friendly name.
#pragma once
#include <string>

#include "ProfilePane.h"

namespace ordvale::wizard {

class EditorContext;

struct TypePropertyFill {
    HICON icon = nullptr;  // handed over to the pane
    std::wstring extension;  // or the special's name
    std::wstring typeText;
    std::wstring description;
};

class CDialogTypeProperty : public CProfilePane {
public:
    CDialogTypeProperty();
    void Fill(const TypePropertyFill& fill);
    void Clear() override;
    // The extension edit, all of it selected.
    void FocusFirstField() override;
    std::wstring Extension() const;
    // Puts a text into the extension edit (an edit like the user's).
    void SetExtension(const std::wstring& text);

protected:
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    bool EnterUpdatesIn(int controlId) const override;
};

// How the page fills this pane from a type rule, tests it and applies it.
PaneBinding BindTypePane(EditorContext& context, CDialogTypeProperty& pane);

}  // namespace ordvale::wizard
