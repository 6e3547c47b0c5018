// The panes under the profile page's list: child dialogs on the rectangle of
// static 1016, white, without a border. The page fills the pane of the
// selected item (or the folder-contents summary) with a plain record and
// shows it; a pane reports edits back to the page window with the private
// messages below.
#pragma once
#include <windows.h>

#include "framework/Framework.h"

namespace ordvale::wizard {

// Which pane; the values are the page's indexes of its panes.
enum PaneKind : int {
    PaneFolderProperty = 0,
    PaneFolderContents = 1,
    PaneTypeProperty = 2,
    PaneTimeProperty = 3,
    PaneSizeProperty = 4,
    PaneNameProperty = 5,
    PaneCount = 6,
};

// Messages from the panes to the page (sent, no parameters).
constexpr UINT UM_FOLDER_CHANGED = WM_USER + 100;
constexpr UINT UM_FOLDER_UPDATE = WM_USER + 101;
constexpr UINT UM_TYPE_CHANGED = WM_USER + 200;
constexpr UINT UM_TYPE_UPDATE = WM_USER + 201;
constexpr UINT UM_TIME_CHANGED = WM_USER + 205;
constexpr UINT UM_TIME_UPDATE = WM_USER + 206;
constexpr UINT UM_SIZE_CHANGED = WM_USER + 210;
constexpr UINT UM_SIZE_UPDATE = WM_USER + 211;
constexpr UINT UM_NAME_CHANGED = WM_USER + 230;
constexpr UINT UM_NAME_UPDATE = WM_USER + 231;

class CProfilePane : public CDialogEx {
public:
    explicit CProfilePane(UINT templateId) : CDialogEx(templateId, true) {}
    ~CProfilePane() override;
    // Empties every field.
    virtual void Clear() = 0;
    // The page window the pane reports to (given with every fill).
    void SetPage(HWND page) { page_ = page; }
    HWND Page() const { return page_; }

protected:
    // Shows the icon in the static control; the pane owns it from now on and
    // destroys the one it replaces.
    void SetIcon(int staticId, HICON icon);
    // Sends a message to the page and returns its answer.
    LRESULT Notify(UINT message) const { return page_ ? SendMessageW(page_, message, 0, 0) : 0; }

private:
    HWND page_ = nullptr;
    HICON icon_ = nullptr;
};

}  // namespace ordvale::wizard
