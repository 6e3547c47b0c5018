// The panes under the profile page's list: child dialogs on the rectangle of
// static 1016, white, without a border. The page fills the pane of the
// selected item (or the folder-contents summary) with a plain record and
// shows it; a pane reports edits back to the page window with the private
// messages below.
//
// A property pane tells the page of every edit the user makes (its changed
// message) and asks it to apply the values when "&Update" is pressed or
// Enter is pressed in the pane (its update message). The page answers an
// edit with its change test, which alone enables "&Update"; filling a pane
// never counts as an edit. How the page fills a pane, tests it and applies
// it is the pane's PaneBinding, registered with the page's pane host (CPaneHost::AddPane).
#pragma once
#include <windows.h>

#include <functional>

#include "ProfileItemRef.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

// Which pane.
enum class PaneKind { FolderProperty, FolderContents, TypeProperty, TimeProperty, SizeProperty, NameProperty };
constexpr int kPaneKinds = 6;

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

// What the page does with one property pane. The item is always a folder or
// rule of the pane's kind in the loaded model, and a copy: applying may
// rebuild the list.
struct PaneBinding {
    // Fills the pane from the item ("&Update" disabled).
    std::function<void(const ProfileItemRef& item)> fill;
    // The change test: whether the pane's values differ from the item.
    std::function<bool(const ProfileItemRef& item)> differs;
    // "&Update": checks the pane's values and applies them to the item.
    std::function<void(const ProfileItemRef& item)> apply;
};

class CProfilePane : public CDialogEx {
public:
    // changedMessage and updateMessage: what the pane sends the page on an
    // edit and on "&Update"; updateButton: the id of its "&Update" button
    // (all 0 for a pane that edits nothing).
    explicit CProfilePane(UINT templateId, UINT changedMessage = 0, UINT updateMessage = 0, int updateButton = 0)
        : CDialogEx(templateId, true), changed_(changedMessage), update_(updateMessage), updateButton_(updateButton) {}
    ~CProfilePane() override;
    // Empties every field.
    virtual void Clear() = 0;
    // Edit (F2): the keyboard focus into the pane's first field.
    virtual void FocusFirstField() {}
    // The page window the pane reports to (given with every fill).
    void SetPage(HWND page) { page_ = page; }
    HWND Page() const { return page_; }
    UINT ChangedMessage() const { return changed_; }
    UINT UpdateMessage() const { return update_; }
    // "&Update", enabled by the page's change test alone.
    void EnableUpdate(bool enable);
    bool UpdateEnabled() const;
    // Focuses the control; an edit gets all its text selected.
    void FocusControl(int id);

protected:
    // Call first from a derived OnInitDialog: every control of the pane then
    // keeps Enter for the pane.
    BOOL OnInitDialog() override;
    // "&Update" sends the update message; Enter and Escape never close a pane.
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    // Whether Enter in this control presses "&Update" (when it is enabled).
    virtual bool EnterUpdatesIn(int controlId) const {
        (void)controlId;
        return true;
    }
    // Shows the icon in the static control; the pane owns it from now on and
    // destroys the one it replaces.
    void SetIcon(int staticId, HICON icon);
    // Sends a message to the page and returns its answer.
    LRESULT Notify(UINT message) const { return page_ ? SendMessageW(page_, message, 0, 0) : 0; }
    // An edit of the user's: the changed message, unless the pane is being filled.
    void ReportChange() const {
        if (!filling_) Notify(changed_);
    }
    // While one lives, the edits its owner makes to the controls report nothing.
    class FillScope {
    public:
        explicit FillScope(CProfilePane& pane) : pane_(pane), was_(pane.filling_) { pane.filling_ = true; }
        ~FillScope() { pane_.filling_ = was_; }
        FillScope(const FillScope&) = delete;
        FillScope& operator=(const FillScope&) = delete;

    private:
        CProfilePane& pane_;
        bool was_;
    };

private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);
    bool KeepsEnter(HWND control) const;
    void OnEnter(HWND control);

    HWND page_ = nullptr;
    win::UniqueIcon icon_;
    UINT changed_;
    UINT update_;
    int updateButton_;
    bool filling_ = false;
};

}  // namespace ordvale::wizard
