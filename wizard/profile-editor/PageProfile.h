// The profile page (dialog 203): choose the profile the job uses and edit it
// in place. The selector with the profile toolbar (Reload, New, Save, Save
// As, Rename, Delete); the navigation toolbar (Upward, the path box, View)
// and the New Item drop-down; the list of the current folder's subfolders
// and rules; under it the pane of the selected item, or the summary of the
// current folder.
//
// The page routes: the profile commands are ProfileSession's (this page is
// its view); the selector, the toolbars, the menus, the list, the path box,
// the folder shown, the panes and the choice among them are their own
// classes; the Add commands and the panes' bindings see the page as their
// EditorContext; every change to the tree goes through Placement.h, whose
// questions CEditorQuestions asks. Every command and key does nothing while
// no profile is loaded.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "EditorContext.h"
#include "EditorMenus.h"
#include "EditorQuestions.h"
#include "EditorToolbars.h"
#include "EnterSubclass.h"
#include "FolderLocation.h"
#include "PaneHost.h"
#include "PathBox.h"
#include "ProfileList.h"
#include "ProfileSelector.h"
#include "ProfileSession.h"
#include "SelectionPane.h"
#include "common/Settings.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CPageProfile : public CDialogEx,
                     private editor::ProfileView,
                     private EditorContext,
                     private ChangeView {
public:
    CPageProfile();
    ~CPageProfile() override;

    // ---- For the wizard frame ----
    // The job's method number (see TidyMethod).
    void LoadForMethod(int method, const OrdvaleSettings& settings);
    // Settles unsaved changes; false when the user cancels (or saving failed).
    bool ConfirmSaveChanges() { return session_.ConfirmSaveChanges(); }
    // The selected profile's identifier; false when none is selected.
    bool SelectedProfileId(std::wstring* id) const override { return selector_.SelectedId(id); }
    std::wstring SelectedProfileName() const { return selector_.Text(); }

    // ---- What the commands and panes see ----
    EditorContext& Editor() { return *this; }
    editor::ProfileSession& Session() { return session_; }
    bool ProfileLoaded() const { return session_.ProfileLoaded(); }
    FolderNode* CurrentFolder() const override { return location_.Folder(); }
    HWND List() const { return Item(IDC_LIST); }
    HWND PathBox() const { return pathBox_.Handle(); }
    CDialogFolderContents& FolderContents() { return panes_.Contents(); }
    // The pane of that kind (nullptr when the page has none).
    CProfilePane* Pane(PaneKind kind) const { return panes_.Pane(kind); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    static constexpr int IDC_LIST = 1003;

    // ProfileView.
    HWND Owner() const override { return Handle(); }
    void FillSelector(const std::vector<ProfileEntry>& entries, int selected) override {
        selector_.Fill(entries, selected);
    }
    std::wstring SelectorText() const override { return selector_.Text(); }
    void SelectProfileId(const std::wstring& id) override { selector_.SelectId(id); }
    void EnableProfileCommands(bool enable) override { toolbars_.EnableProfileCommands(enable); }
    void EnableSave(bool enable) override { toolbars_.EnableSave(enable); }
    void ShowLoadedProfile() override;
    void ShowUnloaded() override;
    bool AskProfileName(editor::ProfileNameRequest* request) override { return questions_.AskProfileName(request); }

    // EditorContext.
    editor::PlacementHost& Placement() override { return questions_; }
    HINSTANCE Resources() const override { return Module(); }
    HICON LargeIcon(int image) const override;
    void Changed(const EditorChange& change) override { changes_.Add(change); }

    // ChangeView.
    void ShowPathsOf(FolderNode* folder) override { pathBox_.UpdateEntries(folder); }
    void ListAgain() override { location_.Refresh(); }
    void ShowRow(const ProfileItemRef& item) override { list_.ShowRow(item); }
    void FillPaneAgain(const ProfileItemRef& item) override { selection_.FillAgain(item); }
    void SelectAlone(const ProfileItemRef& item) override { list_.SelectItem(item); }
    void ShowSaveState() override { session_.ShowSaveState(); }

    void EnableNavigation(bool enable);
    // Image lists at the size the page's DPI now asks for.
    void OnDpiChanged();
    CEditorMenus::State MenuState() const;

    CProfileList list_;
    CPathBox pathBox_;
    CPaneHost panes_;
    CProfileSelector selector_;
    CEditorToolbars toolbars_;
    CEditorQuestions questions_{list_};
    editor::ProfileSession session_{*this, questions_};
    CSelectionPane selection_{list_, panes_, Editor()};
    CFolderLocation location_{session_, questions_, list_, pathBox_, selection_};
    CEditorMenus menus_{Editor()};
    CEnterSubclass enterKeys_{[this] { location_.OpenSelected(); }};
    ChangeQueue changes_{*this};
    bool panePending_ = false;
};

}  // namespace ordvale::wizard
