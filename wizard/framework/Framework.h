// The wizard's small window framework, standing in for the application
// object, the dialog base with a white page look, the button with an icon and
// the edit box with a folder-browse button. Only what the wizard's pages need:
//   CWinAppEx          - one-time start-up: common controls, OLE, DPI awareness.
//   CDialogEx          - a dialog (win::CDialog) that can paint itself white
//                        and show a blue, enlarged title line.
//   CMFCButton         - a push button showing a small icon beside its caption.
//   CMFCEditBrowseCtrl - an edit box paired with a "..." button that opens the
//                        shell's folder browser.
//   CCheckListBox      - a list of texts, each with a check box, several
//                        selectable (a list view without a header).
#pragma once
#include <windows.h>

#include <string>

#include "common/win/Dialog.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

class CWinAppEx {
public:
    // Common controls of every class, OLE, per-monitor DPI where the system has it.
    static bool InitInstance();
    static void ExitInstance();
};

// Title colour of every page.
constexpr COLORREF kTitleColour = RGB(0, 51, 153);

class CDialogEx : public win::CDialog {
public:
    explicit CDialogEx(UINT templateId, bool whitePage = false, int titleId = 0);
    ~CDialogEx() override;
    // The dialog font with its height times 12 / 9 (integer arithmetic); the
    // caller owns it.
    static HFONT MakeTitleFont(HWND dialog);

    // What the window draws at a DPI, after a change of DPI: the title font
    // here, the icons and fonts of the derived dialog in its override (which
    // calls this first). Nothing changes when the dialog is at that DPI
    // already. A dialog gets it by itself from WM_DPICHANGED (top-level) or
    // WM_DPICHANGED_AFTERPARENT (a child dialog).
    virtual void ApplyDpi(UINT dpi);
    // The DPI the dialog's fonts and icons are made for.
    UINT Dpi() const { return dpi_; }

protected:
    // Call first from a derived OnInitDialog.
    BOOL OnInitDialog() override;

private:
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    bool white_;
    int titleId_;
    UINT dpi_ = 0;
    // The dialog font as the dialog was made, at the DPI it was made for.
    LOGFONTW dialogFont_ = {};
    UINT dialogFontDpi_ = 0;
    win::UniqueBrush brush_;
    win::UniqueFont titleFont_;
};

class CMFCButton {
public:
    void Attach(HWND button) { hwnd_ = button; }
    void SetImage(HICON icon);  // the button owns the icon from now on
    ~CMFCButton();
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    win::UniqueIcon icon_;
};

// The shell's folder browser: file-system folders only, no title. Empty when
// cancelled.
std::wstring BrowseForFolder(HWND owner, const std::wstring& start);

class CMFCEditBrowseCtrl {
public:
    void Attach(HWND edit, HWND button) {
        edit_ = edit;
        button_ = button;
    }
    // Opens the folder browser and puts the choice into the box.
    void OnBrowse();
    std::wstring Text() const;
    void SetText(const std::wstring& text);

private:
    HWND edit_ = nullptr;
    HWND button_ = nullptr;
};

// The list view of a dialog template (report style, no header) made into a
// check list: one column as wide as the list, a check box per entry. Space
// toggles the focused entry's box, a click on a box toggles it.
class CCheckListBox {
public:
    void Attach(HWND list);
    HWND Handle() const { return list_; }
    // Appends an entry; returns its index (-1 on failure).
    int AddString(const std::wstring& text, bool checked);
    int GetCount() const;
    std::wstring GetText(int index) const;
    bool GetCheck(int index) const;
    void SetCheck(int index, bool checked);
    int GetSelCount() const;
    // Deletes the selected entries, from the last to the first.
    void DeleteSelected();
    void ResetContent();

private:
    HWND list_ = nullptr;
};

}  // namespace ordvale::wizard
