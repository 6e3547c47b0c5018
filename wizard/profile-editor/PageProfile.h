// The profile page (dialog 203): choose the profile the job uses and edit it
// in place. The selector with the profile toolbar (Reload, New, Save, Save
// As, Rename, Delete); the navigation toolbar (Upward, the path box, View)
// and the New Item drop-down; the list of the current folder's subfolders
// and rules; under it the pane of the selected item, or the summary of the
// current folder.
//
// The profile commands are ProfileSession's (this page is its view); every
// change to the tree goes through Placement.h (this page is its host and
// shows Confirm Item Replacement and Rule Collision). Every command and key
// does nothing while no profile is loaded.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DialogFolderContents.h"
#include "Placement.h"
#include "ProfileItemRef.h"
#include "ProfilePane.h"
#include "ProfileSession.h"
#include "common/Settings.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CPageProfile : public CDialogEx, private editor::ProfileView, public editor::PlacementHost {
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

    // ---- For the panes and the rule dialogs ----
    editor::ProfileSession& Session() { return session_; }
    bool ProfileLoaded() const { return session_.ProfileLoaded(); }
    // The folder the list shows; nullptr while no profile is loaded.
    FolderNode* CurrentFolder() const;
    const ProfileItemRef& CurrentLocation() const { return current_; }
    enum class Go { Enter, Up, Refresh };
    void Navigate(Go go, const ProfileItemRef* folder = nullptr);
    // Lists the current folder again (subfolders, then rules) and shows the pane.
    void RefreshList();
    // Enables Save when the profile is modified (never disables it).
    void UpdateSaveButton();
    // Fills and shows the pane of the selection (see the panes below).
    void ShowItemPane();
    PaneKind ShownPane() const { return shownPane_; }
    // Path-box entries of a folder and everything below it: their texts
    // after a rename or relocation; removed before the folder is deleted.
    void UpdatePathEntries(FolderNode* folder);
    // The list item of this folder or rule shows it again as it now is: its
    // name, image and description.
    void UpdateListItem(const ProfileItemRef& ref);
    void RemovePathEntries(FolderNode* folder);
    HWND List() const { return Item(IDC_LIST); }
    HWND PathBox() const;
    HIMAGELIST LargeImages() const { return large_.Get(); }
    HIMAGELIST SmallImages() const { return small_.Get(); }
    // List items: positions of the selected ones, and the reference of one.
    std::vector<int> SelectedIndexes() const;
    // Selects the item of this folder or rule alone and scrolls it into view.
    void SelectItem(const ProfileItemRef& ref);
    const ProfileItemRef* ItemRefAt(int index) const;
    CDialogFolderContents& FolderContents() { return contents_; }
    // The pane of that kind (nullptr when the page has none).
    CProfilePane* Pane(PaneKind kind) const { return panes_[kind].pane; }
    // Fills the property pane of this kind from the item and returns true,
    // or false when the page has no such pane (the summary is shown). A pane
    // filled again after "&Update" keeps the keyboard focus.
    bool FillPropertyPane(PaneKind kind, const ProfileItemRef& item);

    // ---- PlacementHost ----
    std::wstring Text(UINT id) const override { return LoadText(id); }
    HWND Owner() const override { return Handle(); }
    int ConfirmReplacement(const std::wstring& question, bool fourButtons) override;
    void ShowCollisions(const std::wstring& message, int method, const editor::CollisionList& collisions) override;
    // Texts and icon of a rule; an extension rule gets the shell's icon of
    // its extension, appended to both image lists once per extension.
    void PrepareRuleDisplay(int method, RuleEntry* entry) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

    // The commands of the Add menus: a command without a handler shows grey.
    void RegisterAddCommand(WORD id, std::function<void()> command) { addCommands_[id] = std::move(command); }

    // The panes. A property pane comes with its binding: how the page fills
    // it from an item, tests its values and applies them (ProfilePane.h).
    // The page sends the pane's changed and update messages to the binding.
    void RegisterPane(PaneKind kind, CProfilePane* pane, PaneBinding binding = {});
    // Makes a pane the page owns and registers it with bind(page, pane).
    template <class Pane, class Bind>
    void AddPane(PaneKind kind, Bind bind) {
        auto pane = std::make_unique<Pane>();
        RegisterPane(kind, pane.get(), bind(*this, *pane));
        ownedPanes_.push_back(std::move(pane));
    }
    // Edit (F2): the focus into the shown pane's first field.
    void FocusShownPane();

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

    void CreateToolbars();
    HWND MakeToolbar(int id, int slot, DWORD style, HIMAGELIST images, std::vector<TBBUTTON> buttons);
    void CreatePanes();
    void RegisterAddCommands();
    void ClearSelector();
    void ClearList();
    void ClearPathBox();
    void SelectPathEntry(FolderNode* folder);
    void JumpToPathEntry();
    void EnableNavigation(bool enable);
    void RebuildImageLists();
    // Image lists at the size the page's DPI now asks for.
    void OnDpiChanged();
    void PrepareTree(FolderNode& folder);
    int ExtensionIcon(const std::wstring& extension);
    void InsertItem(int index, const ProfileItemRef& ref, const std::wstring& name, int image,
                    const std::wstring& type, const std::wstring& detail);
    void ShowPane(PaneKind kind);
    void HidePanes();
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
    void AddFolderCommand();
    void AddTypeSpecial(int kind, const wchar_t* name);
    void AddSizeFolders();
    // The subclass of the controls that keep Enter (a drop-down list: the
    // selector and the path box, or another control).
    static constexpr UINT_PTR kControlSubclass = 1;
    static constexpr UINT_PTR kComboSubclass = 2;
    static LRESULT CALLBACK EnterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);

    editor::ProfileSession session_;
    ProfileItemRef current_;
    PaneKind shownPane_ = PaneFolderContents;
    struct PaneSlot {
        CProfilePane* pane = nullptr;
        PaneBinding binding;
    };
    PaneSlot panes_[PaneCount];
    std::vector<std::unique_ptr<CProfilePane>> ownedPanes_;
    CDialogFolderContents contents_;
    win::UniqueImageList large_;
    win::UniqueImageList small_;
    win::UniqueImageList pathImages_;
    win::UniqueImageList toolbarImages_[3];
    std::map<std::wstring, int> extensionIcons_;
    std::map<WORD, std::function<void()>> addCommands_;
    UINT view_ = LVS_REPORT;
    bool panePending_ = false;
};

}  // namespace ordvale::wizard
