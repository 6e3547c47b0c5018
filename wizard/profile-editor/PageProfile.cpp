#include "PageProfile.h"

#include <windowsx.h>

#include "DialogFolderProperty.h"
#include "DialogMultiReplace.h"
#include "DialogNameProperty.h"
#include "DialogProfileNew.h"
#include "DialogRuleCollision.h"
#include "DialogSizeProperty.h"
#include "DialogTimeProperty.h"
#include "DialogTypeProperty.h"
#include "EditorIcons.h"
#include "FolderCommands.h"
#include "NameRuleCommands.h"
#include "SizeTimeCommands.h"
#include "TypeRuleCommands.h"
#include "common/Text.h"
#include "common/win/Keys.h"
#include "common/win/Dpi.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

using editor::PlacementMode;

namespace {

// Posted to the page after the list's selection changed, so that the pane
// follows the selection once the click or key has taken effect.
constexpr UINT kUpdatePaneMessage = WM_APP + 1;
constexpr int kPathBoxWidth = 250;

// The toolbars' icons: profile commands, navigation, new items.
const std::vector<int> kToolbarIcons[3] = {
    {IDI_TB_RELOAD, IDI_TB_NEW, IDI_TB_SAVE, IDI_TB_SAVE_AS, IDI_TB_RENAME, IDI_TB_DELETE},
    {IDI_TB_UPWARD, IDI_TB_VIEW},
    {IDI_TB_NEW_ITEM}};
const int kToolbarIds[3] = {IDC_PROFILE_TOOLBAR, IDC_NAVIGATION_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR};

TBBUTTON Button(int image, int command, BYTE style = BTNS_BUTTON, INT_PTR text = -1) {
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = style;
    button.iString = text;
    return button;
}

TBBUTTON Separator(int width = 0) {
    TBBUTTON button = {};
    button.iBitmap = width;
    button.fsStyle = BTNS_SEP;
    return button;
}

// The positions of the context menu's items.
constexpr int kViewPosition = 3;
constexpr int kAddPosition = 5;
constexpr int kDeletePosition = 6;
constexpr int kEditPosition = 8;
const UINT kViewCommands[] = {ID_LIST_ICON, ID_LIST_SMALL_ICON, ID_LIST_LIST, ID_LIST_DETAILS};

}  // namespace

CPageProfile::CPageProfile()
    : CDialogEx(IDD_PAGE_PROFILE, true, IDC_PROFILE_TITLE), session_(*this, *this) {}

CPageProfile::~CPageProfile() = default;

// ---- Creation ----

BOOL CPageProfile::OnInitDialog() {
    CDialogEx::OnInitDialog();
    CreateToolbars();
    CreatePanes();

    HWND list = List();
    const std::wstring columns[3] = {LoadText(IDS_COLUMN_NAME), LoadText(IDS_COLUMN_TYPE),
                                     LoadText(IDS_COLUMN_DESCRIPTION)};
    list_.Attach(list, Module(), columns);
    // Enter in the list, the selector, the path box and the toolbars opens
    // the first selected item; inside a pane it belongs to the pane.
    const auto data = reinterpret_cast<DWORD_PTR>(this);
    for (HWND control : {list, Item(IDC_PROFILE_TOOLBAR), Item(IDC_NAVIGATION_TOOLBAR), Item(IDC_NEW_ITEMS_TOOLBAR)})
        SetWindowSubclass(control, EnterProc, kControlSubclass, data);
    HWND pathCombo = reinterpret_cast<HWND>(SendMessageW(PathBox(), CBEM_GETCOMBOCONTROL, 0, 0));
    for (HWND combo : {Item(IDC_PROFILE_COMBO), pathCombo})
        if (combo) SetWindowSubclass(combo, EnterProc, kComboSubclass, data);
    RegisterAddCommands();
    ShowUnloaded();
    EnableProfileCommands(false);
    return TRUE;
}

HWND CPageProfile::MakeToolbar(int id, int slot, DWORD style, HIMAGELIST images, std::vector<TBBUTTON> buttons) {
    RECT place = {};
    GetWindowRect(Item(slot), &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    ShowWindow(Item(slot), SW_HIDE);
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                       TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | style,
                                   place.left, place.top, place.right - place.left, place.bottom - place.top, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Module(), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SetWindowPos(toolbar, Item(slot), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return toolbar;
}

void CPageProfile::CreateToolbars() {
    const UINT dpi = win::WindowDpi(Handle());
    const int small = win::SmallIconSize(dpi);
    toolbarImages_[0] = IconList(Module(), small, kToolbarIcons[0]);
    MakeToolbar(IDC_PROFILE_TOOLBAR, IDC_PROFILE_TOOLBAR_SLOT, 0, toolbarImages_[0].Get(),
                {Button(0, ID_RELOAD_PROFILE), Separator(), Button(1, ID_NEW_PROFILE), Button(2, ID_SAVE_PROFILE),
                 Button(3, ID_SAVE_PROFILE_AS), Separator(), Button(4, ID_RENAME_PROFILE),
                 Button(5, ID_DELETE_PROFILE)});

    toolbarImages_[1] = IconList(Module(), small, kToolbarIcons[1]);
    HWND navigation = MakeToolbar(IDC_NAVIGATION_TOOLBAR, IDC_NAVIGATION_TOOLBAR_SLOT, 0, toolbarImages_[1].Get(),
                                  {Button(0, ID_UPWARD), Separator(), Separator(win::ScaleForDpi(kPathBoxWidth, dpi)), Separator(),
                                   Button(1, ID_VIEW, BTNS_WHOLEDROPDOWN)});
    RECT slot = {};
    SendMessageW(navigation, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&slot));
    pathBox_.Create(navigation, IDC_PATH_BOX, slot, Module(),
                    reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));

    toolbarImages_[2] = IconList(Module(), small, kToolbarIcons[2]);
    HWND items = MakeToolbar(IDC_NEW_ITEMS_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR_SLOT, TBSTYLE_LIST, toolbarImages_[2].Get(), {});
    std::wstring label = LoadText(IDS_NEW_ITEM_LABEL);
    label.push_back(L'\0');
    const INT_PTR text = SendMessageW(items, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str()));
    TBBUTTON newItem = Button(0, ID_NEW_ITEMS, BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE, text);
    SendMessageW(items, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&newItem));
}

void CPageProfile::CreatePanes() {
    panes_.Register(PaneKind::FolderContents, &panes_.Contents());
    // The property panes, each with its binding.
    panes_.AddPane<CDialogFolderProperty>(PaneKind::FolderProperty, Editor(), BindFolderPane);
    panes_.AddPane<CDialogTypeProperty>(PaneKind::TypeProperty, Editor(), BindTypePane);
    panes_.AddPane<CDialogNameProperty>(PaneKind::NameProperty, Editor(), BindNamePane);
    panes_.AddPane<CDialogSizeProperty>(PaneKind::SizeProperty, Editor(), BindSizePane);
    panes_.AddPane<CDialogTimeProperty>(PaneKind::TimeProperty, Editor(), BindTimePane);
    panes_.Create(Module(), Handle(), Item(IDC_PANE_AREA));
}

void CPageProfile::RegisterAddCommands() {
    EditorContext& context = Editor();
    RegisterAddCommand(ID_ADD_FOLDER, [&context] { AddFolderCommand(context); });
    // Type rules.
    RegisterAddCommand(ID_ADD_TYPE_RULE, [&context] { AddTypeRuleCommand(context); });
    RegisterAddCommand(ID_ADD_TYPE_BATCH, [&context] { AddTypeBatchCommand(context); });
    // Name rules.
    RegisterAddCommand(ID_ADD_NAME_RULE, [&context] { AddNameRangeCommand(context); });
    RegisterAddCommand(ID_ADD_NAME_REGEXP, [&context] { AddNameRegExpCommand(context); });
    RegisterAddCommand(ID_ADD_NAME_BATCH, [&context] { AddNameBatchCommand(context); });
    RegisterAddCommand(ID_ADD_SHORTCUTS_SPECIAL,
                       [&context] { AddTypeSpecialCommand(context, kTypeShortcuts, editor::kShortcutsSpecialName); });
    RegisterAddCommand(ID_ADD_FOLDERS_SPECIAL,
                       [&context] { AddTypeSpecialCommand(context, kTypeFolders, editor::kFoldersSpecialName); });
    RegisterAddCommand(ID_ADD_UNMATCHED_SPECIAL,
                       [&context] { AddTypeSpecialCommand(context, kTypeOtherFiles, editor::kUnmatchedSpecialName); });
    RegisterAddCommand(ID_ADD_SIZE_FOLDERS, [&context] { AddSizeFoldersCommand(context); });
    // Size and time rules.
    RegisterAddCommand(ID_ADD_SIZE_RULE, [&context] { AddSizeRuleCommand(context); });
    RegisterAddCommand(ID_ADD_SIZE_BATCH, [&context] { AddSizeBatchCommand(context); });
    RegisterAddCommand(ID_ADD_TIME_RULE, [&context] { AddTimeRuleCommand(context); });
    for (WORD command : {ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH, ID_ADD_TIME_BY_DAY})
        RegisterAddCommand(command, [&context, command] { AddTimeBatchCommand(context, command); });
}

void CPageProfile::OnDestroy() {
    list_.Clear();
    pathBox_.Clear();
    ClearSelector();
}

// ---- The frame's calls ----

void CPageProfile::LoadForMethod(int method, const OrdvaleSettings& settings) {
    session_.LoadForMethod(method, settings.profileFile);
}

std::wstring CPageProfile::SelectedProfileName() const {
    return ItemText(IDC_PROFILE_COMBO);
}

// ---- The selector ----
// Each entry carries the position of its identifier in profileIds_.

void CPageProfile::ClearSelector() {
    if (HWND combo = Item(IDC_PROFILE_COMBO)) ComboBox_ResetContent(combo);
    profileIds_.clear();
}

void CPageProfile::FillSelector(const std::vector<ProfileEntry>& entries, int selected) {
    ClearSelector();
    HWND combo = Item(IDC_PROFILE_COMBO);
    for (const ProfileEntry& entry : entries) {
        const int index = ComboBox_AddString(combo, entry.displayName);
        if (index < 0) continue;
        ComboBox_SetItemData(combo, index, static_cast<LPARAM>(profileIds_.size()));
        profileIds_.push_back(FieldText(entry.id));
    }
    // The list is sorted: find the chosen entry by the position it carries.
    int at = -1;
    for (int i = 0; selected >= 0 && i < ComboBox_GetCount(combo); ++i)
        if (ComboBox_GetItemData(combo, i) == static_cast<LRESULT>(selected)) at = i;
    ComboBox_SetCurSel(combo, at);
}

bool CPageProfile::SelectedProfileId(std::wstring* id) const {
    HWND combo = Item(IDC_PROFILE_COMBO);
    const int index = ComboBox_GetCurSel(combo);
    if (index < 0) return false;
    const LRESULT data = ComboBox_GetItemData(combo, index);
    if (data < 0 || static_cast<std::size_t>(data) >= profileIds_.size()) return false;
    if (id) *id = profileIds_[static_cast<std::size_t>(data)];
    return true;
}

std::wstring CPageProfile::SelectorText() const {
    return ItemText(IDC_PROFILE_COMBO);
}

void CPageProfile::SelectProfileId(const std::wstring& id) {
    HWND combo = Item(IDC_PROFILE_COMBO);
    int at = -1;
    for (int i = 0; i < ComboBox_GetCount(combo); ++i) {
        const LRESULT data = ComboBox_GetItemData(combo, i);
        if (data >= 0 && static_cast<std::size_t>(data) < profileIds_.size() &&
            profileIds_[static_cast<std::size_t>(data)] == id)
            at = i;
    }
    ComboBox_SetCurSel(combo, at);
}

void CPageProfile::EnableProfileCommands(bool enable) {
    HWND toolbar = Item(IDC_PROFILE_TOOLBAR);
    for (int command : {ID_RELOAD_PROFILE, ID_SAVE_PROFILE_AS, ID_RENAME_PROFILE, ID_DELETE_PROFILE})
        SendMessageW(toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(enable, 0));
}

void CPageProfile::EnableSave(bool enable) {
    SendDlgItemMessageW(Handle(), IDC_PROFILE_TOOLBAR, TB_ENABLEBUTTON, ID_SAVE_PROFILE, MAKELPARAM(enable, 0));
}

bool CPageProfile::AskProfileName(editor::ProfileNameRequest* request) {
    CDialogProfileNew dialog;
    dialog.request = *request;
    if (dialog.DoModal(Module(), Handle()) != IDOK) return false;
    *request = dialog.request;
    return true;
}

// ---- Loaded and unloaded ----

void CPageProfile::EnableNavigation(bool enable) {
    EnableWindow(Item(IDC_NAVIGATION_TOOLBAR), enable);
    EnableWindow(Item(IDC_NEW_ITEMS_TOOLBAR), enable);
    EnableWindow(PathBox(), enable);
    for (HWND toolbar : {Item(IDC_NAVIGATION_TOOLBAR), Item(IDC_NEW_ITEMS_TOOLBAR)})
        for (int command : {ID_UPWARD, ID_VIEW, ID_NEW_ITEMS})
            SendMessageW(toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(enable, 0));
}

void CPageProfile::ShowLoadedProfile() {
    list_.Clear();
    pathBox_.Clear();
    EnableNavigation(true);
    list_.RebuildImageLists(session_.Method());
    MethodProfile* model = session_.Model();
    list_.PrepareTree(*this, model->root);
    current_ = FolderRef(&model->root);
    RefreshList();
}

void CPageProfile::ShowUnloaded() {
    list_.Clear();
    pathBox_.Clear();
    current_ = ProfileItemRef{};
    EnableNavigation(false);
    panes_.HideAll();
    panes_.Contents().Clear();
}

FolderNode* CPageProfile::CurrentFolder() const {
    if (!ProfileLoaded() || !current_.IsFolder() || current_.method != session_.Method()) return nullptr;
    return current_.folder;
}

HICON CPageProfile::LargeIcon(int image) const {
    return ImageList_GetIcon(list_.LargeImages(), image, ILD_NORMAL);
}

// ---- The list ----

void CPageProfile::RefreshList() {
    list_.Clear();
    FolderNode* folder = CurrentFolder();
    if (!folder) {
        ShowItemPane();
        return;
    }
    pathBox_.Select(folder);
    list_.Show(*folder, LoadText(IDS_FOLDER_KIND), LoadText(IDS_RULE_KIND));
    ShowItemPane();
}

void CPageProfile::Navigate(Go go, const ProfileItemRef* folder) {
    if (!ProfileLoaded()) return;
    switch (go) {
        case Go::Enter:
            if (!folder || !folder->IsFolder() || folder->method != session_.Method()) return;
            current_ = *folder;
            break;
        case Go::Up: {
            FolderNode* here = CurrentFolder();
            if (!here || !here->parent) return;  // at the root the list stays as it is
            current_ = FolderRef(here->parent);
            break;
        }
        case Go::Refresh:
            break;
    }
    RefreshList();
}

void CPageProfile::OpenSelected() {
    if (!ProfileLoaded()) return;
    const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = first >= 0 ? list_.ItemRefAt(first) : nullptr;
    if (ref && ref->IsFolder()) {
        const ProfileItemRef target = *ref;  // the item goes with the list
        Navigate(Go::Enter, &target);
    }
}

void CPageProfile::SelectAll() {
    if (ProfileLoaded()) list_.SelectAll();
}

void CPageProfile::SetView(UINT command) {
    for (int i = 0; i < 4; ++i)
        if (kViewCommands[i] == command) list_.SetView(static_cast<ListMode>(i));
}

void CPageProfile::DeleteSelectedItems() {
    FolderNode* folder = CurrentFolder();
    if (!folder) return;
    const std::vector<int> selected = list_.SelectedIndexes();
    int folders = 0, rules = 0;
    for (int index : selected) {
        const ProfileItemRef* ref = list_.ItemRefAt(index);
        if (ref && ref->IsFolder()) ++folders;
        if (ref && ref->IsRule()) ++rules;
    }
    const std::wstring question = FillTemplate(LoadText(IDS_DELETE_ITEMS_QUESTION).c_str(),
                                               {std::to_wstring(folders).c_str(), std::to_wstring(rules).c_str()});
    if (Message(question, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    bool removed = false;
    // From the last item to the first: rules go by position, and the
    // positions of the ones still to go do not move.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const ProfileItemRef* ref = list_.ItemRefAt(*it);
        if (!ref || ref->method != folder->Method()) continue;
        if (ref->IsFolder() && ref->folder->parent == folder) {
            pathBox_.RemoveEntries(ref->folder);
            removed |= editor::DeleteChildFolder(folder, ref->folder) == editor::kFolderDeleted;
        } else if (ref->IsRule() && ref->folder == folder && ref->kind == RuleItemKind(folder->Method())) {
            removed |= editor::RemoveRuleAt(folder, ref->ruleIndex);
        }
    }
    if (removed) Changed(EditorChange::Listed());
}

// ---- The path box ----

void CPageProfile::JumpToPathEntry() {
    if (!ProfileLoaded()) return;
    ProfileItemRef target;
    if (pathBox_.TakeChosen(current_, &target)) Navigate(Go::Enter, &target);
}

// ---- Panes ----

bool CPageProfile::PaneItem(PaneKind kind, ProfileItemRef* item) const {
    FolderNode* folder = CurrentFolder();
    const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = folder && first >= 0 ? list_.ItemRefAt(first) : nullptr;
    if (!ref || ref->kind != CPaneHost::ItemKindOf(kind) || ref->method != session_.Method()) return false;
    if (ref->IsFolder() ? ref->folder->parent != folder : (ref->folder != folder || !ref->Rule())) return false;
    *item = *ref;
    return true;
}

void CPageProfile::OnPaneChanged(PaneKind kind) {
    const PaneBinding& binding = panes_.Binding(kind);
    ProfileItemRef item;
    panes_.Pane(kind)->EnableUpdate(PaneItem(kind, &item) && binding.differs && binding.differs(item));
}

void CPageProfile::OnPaneUpdate(PaneKind kind) {
    ProfileItemRef item;
    if (!PaneItem(kind, &item)) {
        Message(LoadText(IDS_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    const ChangeQueue::Hold hold(changes_);
    panes_.Binding(kind).apply(item);
}

void CPageProfile::FillPaneAgain(const ProfileItemRef& item) {
    ProfileItemRef shown;
    const PaneKind kind = CPaneHost::PaneOf(item.kind);
    if (PaneItem(kind, &shown) && shown == item) panes_.Fill(kind, item);
}

void CPageProfile::ShowItemPane() {
    FolderNode* folder = CurrentFolder();
    if (!folder) {
        panes_.HideAll();
        return;
    }
    const std::vector<int> selected = list_.SelectedIndexes();
    if (selected.size() == 1) {
        const ProfileItemRef* ref = list_.ItemRefAt(selected[0]);
        if (ref) {
            const PaneKind kind = CPaneHost::PaneOf(ref->kind);
            if (panes_.Fill(kind, *ref)) {
                panes_.Show(kind);
                return;
            }
        }
    }
    FolderContentsFill fill;
    fill.name = folder->parent ? std::wstring(folder->displayName) : L".";
    fill.path = folder->effectivePath;
    if (selected.empty()) {
        fill.folders = static_cast<int>(folder->children.size());
        fill.rules = editor::RuleCount(*folder);
        fill.icon = LargeIcon(editor::kIconFolder);
    } else {
        fill.selection = true;
        for (int index : selected) {
            const ProfileItemRef* ref = list_.ItemRefAt(index);
            if (ref && ref->IsFolder()) ++fill.folders;
            if (ref && ref->IsRule()) ++fill.rules;
        }
        // One item: its own icon; several: the selection's.
        const int image = selected.size() == 1 ? list_.ImageAt(selected[0]) : -1;
        fill.icon = image >= 0 ? LargeIcon(image) : LoadIconSized(Module(), IDI_MULTI_SELECTION, win::LargeIconSize(win::WindowDpi(Handle())));
    }
    CDialogFolderContents& contents = panes_.Contents();
    contents.SetPage(Handle());
    contents.Fill(fill);
    panes_.Show(PaneKind::FolderContents);
}

// ---- Menus ----

win::UniqueMenu CPageProfile::LoadAddMenu() const {
    int menu = 0;
    switch (session_.Method()) {
        case editor::kTypeModel: menu = IDR_NEW_TYPE_ITEMS; break;
        case editor::kTimeModel: menu = IDR_NEW_TIME_ITEMS; break;
        case editor::kSizeModel: menu = IDR_NEW_SIZE_ITEMS; break;
        case editor::kNameModel: menu = IDR_NEW_NAME_ITEMS; break;
        default: return {};
    }
    return win::UniqueMenu(LoadMenuW(Module(), MAKEINTRESOURCEW(menu)));
}

void CPageProfile::GreyUnhandled(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            GreyUnhandled(sub);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1) && !addCommands_.count(static_cast<WORD>(id)))
            EnableMenuItem(menu, i, MF_BYPOSITION | MF_GRAYED);
    }
}

void CPageProfile::ShowContextMenu(POINT at) {
    ShowItemPane();
    const win::UniqueMenu menu(LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_PROFILE_LIST_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    if (!ProfileLoaded()) {
        for (int i = 0; i < GetMenuItemCount(popup); ++i) EnableMenuItem(popup, i, MF_BYPOSITION | MF_GRAYED);
    } else {
        CheckMenuRadioItem(GetSubMenu(popup, kViewPosition), 0, 3, static_cast<UINT>(list_.View()), MF_BYPOSITION);
        if (const win::UniqueMenu bar = LoadAddMenu()) {
            win::UniqueMenu add(GetSubMenu(bar.Get(), 0));
            RemoveMenu(bar.Get(), 0, MF_BYPOSITION);  // the popup outlives its bar
            GreyUnhandled(add.Get());
            std::wstring label(64, L'\0');
            label.resize(GetMenuStringW(popup, kAddPosition, &label[0], 64, MF_BYPOSITION));
            if (ModifyMenuW(popup, kAddPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
                            reinterpret_cast<UINT_PTR>(add.Get()), label.c_str()))
                add.Release();  // the context menu's now
        }
        const std::size_t selected = list_.SelectedIndexes().size();
        EnableMenuItem(popup, kDeletePosition, MF_BYPOSITION | (selected >= 1 ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(popup, kEditPosition, MF_BYPOSITION | (selected == 1 ? MF_ENABLED : MF_GRAYED));
    }
    // A menu of a window in the background would close at once.
    SetForegroundWindow(GetAncestor(Handle(), GA_ROOT));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}

void CPageProfile::ShowDropDown(int command) {
    if (!ProfileLoaded()) return;
    HWND toolbar = Item(command == ID_VIEW ? IDC_NAVIGATION_TOOLBAR : IDC_NEW_ITEMS_TOOLBAR);
    RECT button = {};
    SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    const win::UniqueMenu menu = command == ID_VIEW
                                     ? win::UniqueMenu(LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_PROFILE_LIST_MENU)))
                                     : LoadAddMenu();
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup && command == ID_VIEW) {
        popup = GetSubMenu(popup, kViewPosition);
        CheckMenuRadioItem(popup, 0, 3, static_cast<UINT>(list_.View()), MF_BYPOSITION);
    } else if (popup) {
        GreyUnhandled(popup);
    }
    SetForegroundWindow(GetAncestor(Handle(), GA_ROOT));
    // The button's tooltip would stay over the menu.
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0)), TTM_POP, 0, 0);
    if (popup)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, button.left, button.bottom, 0, Handle(),
                       nullptr);
}

// ---- Questions of the placement ----

editor::ReplaceAnswer CPageProfile::ConfirmReplacement(const std::wstring& question, bool fourButtons) {
    CDialogMultiReplace dialog;
    dialog.question = question;
    dialog.fourButtons = fourButtons;
    switch (dialog.DoModal(Module(), Handle())) {
        case IDYES: return editor::kReplaceYes;
        case IDC_REPLACE_YES_TO_ALL: return editor::kReplaceYesToAll;
        case IDNO: return editor::kReplaceNo;
        default: return editor::kReplaceCancel;
    }
}

void CPageProfile::ShowCollisions(const std::wstring& message, int method, const editor::CollisionList& collisions) {
    CDialogRuleCollision dialog;
    dialog.message = message;
    dialog.method = method;
    dialog.rows = editor::CollisionRows(*this, method, collisions);
    dialog.images = list_.SmallImages();
    dialog.DoModal(Module(), Handle());
}

// ---- Messages ----

void CPageProfile::OnListKey(WORD key) {
    if (!ProfileLoaded()) return;
    switch (key) {
        case VK_BACK: Navigate(Go::Up); break;
        case VK_F5: Navigate(Go::Refresh); break;
        case VK_DELETE: DeleteSelectedItems(); break;
        case VK_F2: panes_.FocusShown(); break;
        case 'A':
            if (GetKeyState(VK_CONTROL) < 0) SelectAll();
            break;
        default: break;
    }
}

LRESULT CALLBACK CPageProfile::EnterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data) {
    auto* page = reinterpret_cast<CPageProfile*>(data);
    // An open drop-down list takes Enter itself, to close with the entry chosen.
    const bool keyboard = message == WM_GETDLGCODE || message == WM_KEYDOWN || message == WM_CHAR;
    const bool dropped = keyboard && id == kComboSubclass && SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0);
    switch (message) {
        case WM_GETDLGCODE:
            // Enter opens the selected folder instead of pressing the frame's default button.
            if (!dropped && win::IsEnterKey(reinterpret_cast<const MSG*>(lParam)))
                return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && !dropped) {
                page->OpenSelected();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' && !dropped) return 0;
            break;
        case WM_KEYUP:
            // The Application key opens the list's menu at its selection,
            // as a right click does at the mouse.
            if (wParam == VK_APPS && hwnd == page->List()) {
                PostMessageW(page->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EnterProc, id);
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

BOOL CPageProfile::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDC_PROFILE_COMBO:
            if (code == CBN_SELCHANGE) session_.OnProfileChosen();
            return TRUE;
        case IDC_PATH_BOX:
            if (code == CBN_SELCHANGE) JumpToPathEntry();
            return TRUE;
        case ID_RELOAD_PROFILE: session_.Reload(); return TRUE;
        case ID_NEW_PROFILE: session_.NewProfile(); return TRUE;
        case ID_SAVE_PROFILE: session_.Save(); return TRUE;
        case ID_SAVE_PROFILE_AS: session_.SaveAs(); return TRUE;
        case ID_RENAME_PROFILE: session_.Rename(); return TRUE;
        case ID_DELETE_PROFILE: session_.DeleteProfile(); return TRUE;
        case IDOK:
        case IDCANCEL:
            return TRUE;  // Enter and Escape never close the page
        default:
            break;
    }
    if (!ProfileLoaded()) return FALSE;
    switch (id) {
        case ID_UPWARD:
        case ID_LIST_BACK: Navigate(Go::Up); return TRUE;
        case ID_LIST_REFRESH: Navigate(Go::Refresh); return TRUE;
        case ID_LIST_ICON:
        case ID_LIST_SMALL_ICON:
        case ID_LIST_LIST:
        case ID_LIST_DETAILS: SetView(id); return TRUE;
        case ID_LIST_DELETE: DeleteSelectedItems(); return TRUE;
        case ID_LIST_EDIT: panes_.FocusShown(); return TRUE;
        case ID_LIST_SELECT_ALL: SelectAll(); return TRUE;
        default: break;
    }
    const auto command = addCommands_.find(id);
    if (command == addCommands_.end()) return FALSE;
    const ChangeQueue::Hold hold(changes_);  // the command's changes show once, when it ends
    command->second();
    return TRUE;
}

BOOL CPageProfile::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::wstring text = LoadText(static_cast<UINT>(header->idFrom));
        const std::size_t line = text.find(L'\n');
        if (line != std::wstring::npos) text = text.substr(line + 1);
        StoreText(info->szText, text.substr(0, 79));
        info->lpszText = info->szText;
        info->hinst = nullptr;
        SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return TRUE;
    }
    if (header->code == TBN_DROPDOWN) {
        ShowDropDown(reinterpret_cast<NMTOOLBARW*>(header)->iItem);
        *result = TBDDRET_DEFAULT;
        return TRUE;
    }
    if (header->idFrom != IDC_LIST) return FALSE;
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) &&
                !panePending_) {
                panePending_ = true;
                PostMessageW(Handle(), kUpdatePaneMessage, 0, 0);
            }
            return TRUE;
        }
        case NM_DBLCLK:
            OpenSelected();
            return TRUE;
        case LVN_KEYDOWN:
            OnListKey(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CPageProfile::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    PaneKind kind = PaneKind::FolderContents;
    switch (panes_.Classify(message, &kind)) {
        case CPaneHost::PaneMessage::Changed: OnPaneChanged(kind); *result = 0; return TRUE;
        case CPaneHost::PaneMessage::Update: OnPaneUpdate(kind); *result = 0; return TRUE;
        case CPaneHost::PaneMessage::None: break;
    }
    switch (message) {
        case kUpdatePaneMessage:
            panePending_ = false;
            ShowItemPane();
            return TRUE;
        case WM_DPICHANGED_AFTERPARENT:
            OnDpiChanged();
            *result = 0;
            return TRUE;
        case WM_CONTEXTMENU: {
            if (reinterpret_cast<HWND>(wParam) != List()) return FALSE;
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (at.x == -1 && at.y == -1) {  // from the keyboard: at the first selected item
                RECT item = {};
                const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
                if (first < 0 || !ListView_GetItemRect(List(), first, &item, LVIR_LABEL)) GetClientRect(List(), &item);
                at = {item.left, item.bottom};
                ClientToScreen(List(), &at);
            }
            ShowContextMenu(at);
            *result = 0;
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void CPageProfile::OnDpiChanged() {
    const int small = win::SmallIconSize(win::WindowDpi(Handle()));
    for (int i = 0; i < 3; ++i) {
        toolbarImages_[i] = IconList(Module(), small, kToolbarIcons[i]);
        SendMessageW(Item(kToolbarIds[i]), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_[i].Get()));
    }
    pathBox_.RebuildImages();
    if (!ProfileLoaded()) return;
    list_.RebuildImageLists(session_.Method());
    list_.PrepareTree(*this, session_.Model()->root);
    RefreshList();
}

}  // namespace ordvale::wizard
