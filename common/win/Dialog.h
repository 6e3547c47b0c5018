// A small dialog base: one dialog procedure stores `this` at WM_INITDIALOG
// and dispatches every later message to virtual handlers. Window wrappers do
// not own their windows; the dialog ends with EndDialog like any other.
//
//   class CMyDialog : public CDialog {
//   public:
//       CMyDialog() : CDialog(IDD_MINE) {}
//   protected:
//       BOOL OnInitDialog() override;
//       BOOL OnCommand(WORD id, WORD code, HWND control) override;
//   };
//   CMyDialog dialog;  dialog.DoModal(module, owner);
//
// No exception leaves the dialog procedure: a handler that throws is treated
// as having handled nothing.
#pragma once

#include <windows.h>

#include <string>

namespace ordvale::win {

class CDialog {
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally from the module's template; returns EndDialog's value, or -1.
    INT_PTR DoModal(HINSTANCE module, HWND owner);
    // Creates the dialog modeless (for pages and tests).
    HWND Create(HINSTANCE module, HWND parent);

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    HINSTANCE Module() const { return module_; }
    UINT TemplateId() const { return templateId_; }

    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const;
    std::wstring Title() const;
    void End(INT_PTR result);

protected:
    // Handlers; each returns TRUE when it handled the message.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual BOOL OnCommand(WORD id, WORD code, HWND control);
    virtual BOOL OnNotify(NMHDR* header, LRESULT* result) {
        (void)header;
        (void)result;
        return FALSE;
    }
    // Everything else; set *result for messages whose result matters.
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        (void)message;
        (void)wParam;
        (void)lParam;
        (void)result;
        return FALSE;
    }
    virtual void OnDestroy() {}

    // String-table text of this dialog's module.
    std::wstring LoadText(UINT id) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    HINSTANCE module_ = nullptr;
    bool modal_ = false;
};

// A string-table text of a module by number.
std::wstring LoadModuleText(HINSTANCE module, UINT id);

}  // namespace ordvale::win
