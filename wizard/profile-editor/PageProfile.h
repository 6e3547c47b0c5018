// The profile page (dialog 203): choose the profile the job uses and edit it
// in place. The selector with the profile toolbar (Reload, New, Save, Save
// As, Rename, Delete); the navigation toolbar (Upward, the path box, View)
// and the New Item drop-down; the list of the current folder's subfolders
// and rules; under it the pane of the selected item, or the summary of the
// current folder.
//
// The page routes: the profile commands are ProfileSession's (this page is
// its view); the list, the path box and the panes are their own classes; the
// Add commands and the panes' bindings see the page as their EditorContext;
// every change to the tree goes through Placement.h (this page is its host
// and shows Confirm Item Replacement and Rule Collision). Every command and
// key does nothing while no profile is loaded.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "EditorContext.h"
#include "PaneHost.h"
#include "PathBox.h"
#include "Placement.h"
#include "ProfileList.h"
#include "ProfileSession.h"
#include "common/Settings.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CPageProfile : public CDialogEx,
                     private editor::ProfileView,
                     public editor::PlacementHost,
                     private EditorContext,
                     private ChangeView {
public:
    CPageProfile();
    ~CPageProfile() override;

    // ---- For the wizard frame ----
    void LoadForMethod(int method, const OrdvaleSettings& settings);
    // Settles unsaved changes; false when the user cancels (or saving failed).
    bool ConfirmSaveChanges() { return session_.ConfirmSaveChanges(); }
    // The selected profile's identifier; false when none is selected.
    bool SelectedProfileId(std::wstring* id) const override;
    std::wstring SelectedProfileName() const;

    // ---- What the commands and panes see ----
    EditorContext& Editor() { return *this; }
    editor::ProfileSession& Session() { return session_; }
    bool ProfileLoaded() const { return session_.ProfileLoaded(); }
    FolderNode* CurrentFolder() const override;
    HWND List() const { return Item(IDC_LIST); }
    HWND PathBox() const { return pathBox_.Handle(); }
    CDialogFolderContents& FolderContents() { return panes_.Contents(); }
    // The pane of that kind (nullptr when the page has none).
    CProfilePane* Pane(PaneKind kind) const { return panes_.Pane(kind); }

    // ---- PlacementHost ----
    std::wstring Text(UINT id) const override { return LoadText(id); }
    HWND Owner() const override { return Handle(); }
    editor::ReplaceAnswer ConfirmReplacement(const std::wstring& question, bool fourButtons) override;
    void ShowCollisions(const std::wstring& message, int method, const editor::CollisionList& collisions) override;
    void PrepareRuleDisplay(int method, RuleEntry* entry) override { list_.PrepareRuleDisplay(*this, method, entry); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    static constexpr int IDC_LIST = 1003;

    // ProfileView.
    void FillSelector(const std::vector<ProfileEntry>& entries, int selected) override;
    std::wstring SelectorText() const override;
    void SelectProfileId(const std::wstring& id) override;
    void EnableProfileCommands(bool enable) override;
    void EnableSave(bool enable) override;
    void ShowLoadedProfile() override;
    void ShowUnloaded() override;
    bool AskProfileName(editor::ProfileNameRequest* request) override;

    // EditorContext.
    editor::PlacementHost& Placement() override { return *this; }
    HINSTANCE Resources() const override { return Module(); }
    HICON LargeIcon(int image) const override;
    void Changed(const EditorChange& change) override { changes_.Add(change); }

    // ChangeView.
    void ShowPathsOf(FolderNode* folder) override { pathBox_.UpdateEntries(folder); }
    void ListAgain() override { RefreshList(); }
    void ShowRow(const ProfileItemRef& item) override { list_.ShowRow(item); }
    void FillPaneAgain(const ProfileItemRef& item) override;
    void SelectAlone(const ProfileItemRef& item) override { list_.SelectItem(item); }
    void ShowSaveState() override { session_.ShowSaveState(); }

    enum class Go { Enter, Up, Refresh };
    void Navigate(Go go, const ProfileItemRef* folder = nullptr);
    // Lists the current folder again (subfolders, then rules) and shows the pane.
    void RefreshList();
    // Fills and shows the pane of the selection, or the folder's summary.
    void ShowItemPane();

    void CreateToolbars();
    HWND MakeToolbar(int id, int slot, DWORD style, HIMAGELIST images, std::vector<TBBUTTON> buttons);
    void CreatePanes();
    void RegisterAddCommands();
    // The commands of the Add menus: a command without a handler shows grey.
    void RegisterAddCommand(WORD id, std::function<void()> command) { addCommands_[id] = std::move(command); }
    void ClearSelector();
    void JumpToPathEntry();
    void EnableNavigation(bool enable);
    // Image lists at the size the page's DPI now asks for.
    void OnDpiChanged();
    // The first selected item, when it is a folder or rule of the pane's
    // kind in the loaded model, shown in the current folder.
    bool PaneItem(PaneKind kind, ProfileItemRef* item) const;
    void OnPaneChanged(PaneKind kind);
    void OnPaneUpdate(PaneKind kind);
    void OpenSelected();
    void DeleteSelectedItems();
    void SelectAll();
    void SetView(UINT command);
    void ShowContextMenu(POINT at);
    void ShowDropDown(int command);
    // Greys the Add commands without a handler; recursive into submenus.
    void GreyUnhandled(HMENU menu);
    win::UniqueMenu LoadAddMenu() const;  // the method's Add menu (a menu bar; its first popup is the menu)
    void OnListKey(WORD key);
    // The subclass of the controls that keep Enter (a drop-down list: the
    // selector and the path box, or another control).
    static constexpr UINT_PTR kControlSubclass = 1;
    static constexpr UINT_PTR kComboSubclass = 2;
    static LRESULT CALLBACK EnterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    editor::ProfileSession session_;
    ProfileItemRef current_;
    CProfileList list_;
    CPathBox pathBox_;
    CPaneHost panes_;
    ChangeQueue changes_{*this};
    win::UniqueImageList toolbarImages_[3];
    std::vector<std::wstring> profileIds_;  // the selector's entries carry their positions here
    std::map<WORD, std::function<void()>> addCommands_;
    bool panePending_ = false;
};

}  // namespace ordvale::wizard
