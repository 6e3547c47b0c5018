#include "PageProfile.h"

#include <windowsx.h>
#include <shellapi.h>

#include <cwctype>

#include "DialogFolderProperty.h"
#include "DialogMultiReplace.h"
#include "DialogNameProperty.h"
#include "DialogNewFolder.h"
#include "DialogProfileNew.h"
#include "DialogRuleCollision.h"
#include "DialogSizeProperty.h"
#include "DialogTimeProperty.h"
#include "DialogTypeProperty.h"
#include "NameRuleCommands.h"
#include "SizeTimeCommands.h"
#include "TypeRuleCommands.h"
#include "common/Text.h"
#include "common/win/Keys.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

using editor::PlacementMode;

namespace {

// Posted to the page after the list's selection changed, so that the pane
// follows the selection once the click or key has taken effect.
constexpr UINT kUpdatePaneMessage = WM_APP + 1;
constexpr int kPathBoxWidth = 250;

HICON LoadIconSized(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Adds a copy of the icon to the list; -1 without an icon.
int AddIcon(HIMAGELIST list, const win::UniqueIcon& icon) {
    return icon ? ImageList_AddIcon(list, icon.Get()) : -1;
}

int AddIcon(HIMAGELIST list, HINSTANCE module, int id, int size) {
    return AddIcon(list, win::UniqueIcon(LoadIconSized(module, id, size)));
}

win::UniqueImageList IconList(HINSTANCE module, std::initializer_list<int> icons) {
    win::UniqueImageList list(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), 0));
    for (int id : icons) AddIcon(list.Get(), module, id, 16);
    return list;
}

win::UniqueIcon ShellIcon(const wchar_t* path, DWORD attributes, UINT flags) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, attributes, &info, sizeof(info), SHGFI_ICON | flags)) return {};
    return win::UniqueIcon(info.hIcon);
}

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

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
const UINT kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

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
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT client = {};
    GetClientRect(list, &client);
    const struct {
        UINT title;
        int width;
    } columns[] = {{IDS_COLUMN_NAME, 120}, {IDS_COLUMN_TYPE, 80}, {IDS_COLUMN_DESCRIPTION, client.right - 218}};
    for (int i = 0; i < 3; ++i) {
        std::wstring title = LoadText(columns[i].title);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = &title[0];
        column.cx = columns[i].width;
        ListView_InsertColumn(list, i, &column);
    }
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
    toolbarImages_[0] = IconList(Module(), {IDI_TB_RELOAD, IDI_TB_NEW, IDI_TB_SAVE, IDI_TB_SAVE_AS, IDI_TB_RENAME,
                                            IDI_TB_DELETE});
    MakeToolbar(IDC_PROFILE_TOOLBAR, IDC_PROFILE_TOOLBAR_SLOT, 0, toolbarImages_[0].Get(),
                {Button(0, ID_RELOAD_PROFILE), Separator(), Button(1, ID_NEW_PROFILE), Button(2, ID_SAVE_PROFILE),
                 Button(3, ID_SAVE_PROFILE_AS), Separator(), Button(4, ID_RENAME_PROFILE),
                 Button(5, ID_DELETE_PROFILE)});

    toolbarImages_[1] = IconList(Module(), {IDI_TB_UPWARD, IDI_TB_VIEW});
    HWND navigation = MakeToolbar(IDC_NAVIGATION_TOOLBAR, IDC_NAVIGATION_TOOLBAR_SLOT, 0, toolbarImages_[1].Get(),
                                  {Button(0, ID_UPWARD), Separator(), Separator(kPathBoxWidth), Separator(),
                                   Button(1, ID_VIEW, BTNS_WHOLEDROPDOWN)});
    RECT slot = {};
    SendMessageW(navigation, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&slot));
    HWND pathBox = CreateWindowExW(0, WC_COMBOBOXEXW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
                                   slot.left, slot.top, slot.right - slot.left, slot.bottom - slot.top + 100,
                                   navigation, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PATH_BOX)), Module(),
                                   nullptr);
    SendMessageW(pathBox, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
    pathImages_.Reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0));
    AddIcon(pathImages_.Get(), ShellIcon(WindowsFolder().c_str(), 0, SHGFI_SMALLICON));
    SendMessageW(pathBox, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pathImages_.Get()));

    toolbarImages_[2] = IconList(Module(), {IDI_TB_NEW_ITEM});
    HWND items = MakeToolbar(IDC_NEW_ITEMS_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR_SLOT, TBSTYLE_LIST, toolbarImages_[2].Get(), {});
    std::wstring label = LoadText(IDS_NEW_ITEM_LABEL);
    label.push_back(L'\0');
    const INT_PTR text = SendMessageW(items, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str()));
    TBBUTTON newItem = Button(0, ID_NEW_ITEMS, BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE, text);
    SendMessageW(items, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&newItem));
}

void CPageProfile::CreatePanes() {
    RegisterPane(PaneFolderContents, &contents_);
    // The property panes, each with its binding.
    AddPane<CDialogFolderProperty>(PaneFolderProperty, BindFolderPane);
    AddPane<CDialogTypeProperty>(PaneTypeProperty, BindTypePane);
    AddPane<CDialogNameProperty>(PaneNameProperty, BindNamePane);
    AddPane<CDialogSizeProperty>(PaneSizeProperty, BindSizePane);
    AddPane<CDialogTimeProperty>(PaneTimeProperty, BindTimePane);

    RECT place = {};
    GetWindowRect(Item(IDC_PANE_AREA), &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    ShowWindow(Item(IDC_PANE_AREA), SW_HIDE);
    for (const PaneSlot& slot : panes_) {
        CProfilePane* pane = slot.pane;
        if (!pane) continue;
        HWND hwnd = pane->Create(Module(), Handle());
        if (!hwnd) continue;
        SetWindowPos(hwnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(hwnd, SW_HIDE);
        pane->SetPage(Handle());
    }
}

void CPageProfile::RegisterPane(PaneKind kind, CProfilePane* pane, PaneBinding binding) {
    panes_[kind] = {pane, std::move(binding)};
}

void CPageProfile::RegisterAddCommands() {
    RegisterAddCommand(ID_ADD_FOLDER, [this] { AddFolderCommand(); });
    // Type rules.
    RegisterAddCommand(ID_ADD_TYPE_RULE, [this] { AddTypeRuleCommand(*this); });
    RegisterAddCommand(ID_ADD_TYPE_BATCH, [this] { AddTypeBatchCommand(*this); });
    // Name rules.
    RegisterAddCommand(ID_ADD_NAME_RULE, [this] { AddNameRangeCommand(*this); });
    RegisterAddCommand(ID_ADD_NAME_REGEXP, [this] { AddNameRegExpCommand(*this); });
    RegisterAddCommand(ID_ADD_NAME_BATCH, [this] { AddNameBatchCommand(*this); });
    RegisterAddCommand(ID_ADD_SHORTCUTS_SPECIAL, [this] { AddTypeSpecial(kTypeShortcuts, editor::kShortcutsSpecialName); });
    RegisterAddCommand(ID_ADD_FOLDERS_SPECIAL, [this] { AddTypeSpecial(kTypeFolders, editor::kFoldersSpecialName); });
    RegisterAddCommand(ID_ADD_UNMATCHED_SPECIAL, [this] { AddTypeSpecial(kTypeOtherFiles, editor::kUnmatchedSpecialName); });
    RegisterAddCommand(ID_ADD_SIZE_FOLDERS, [this] { AddSizeFolders(); });
    // Size and time rules.
    RegisterAddCommand(ID_ADD_SIZE_RULE, [this] { AddSizeRuleCommand(*this); });
    RegisterAddCommand(ID_ADD_SIZE_BATCH, [this] { AddSizeBatchCommand(*this); });
    RegisterAddCommand(ID_ADD_TIME_RULE, [this] { AddTimeRuleCommand(*this); });
    for (WORD command : {ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH, ID_ADD_TIME_BY_DAY})
        RegisterAddCommand(command, [this, command] { AddTimeBatchCommand(*this, command); });
}

void CPageProfile::OnDestroy() {
    ClearList();
    ClearPathBox();
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

void CPageProfile::ClearSelector() {
    HWND combo = Item(IDC_PROFILE_COMBO);
    if (!combo) return;
    const int count = ComboBox_GetCount(combo);
    for (int i = 0; i < count; ++i) delete reinterpret_cast<std::wstring*>(ComboBox_GetItemData(combo, i));
    ComboBox_ResetContent(combo);
}

void CPageProfile::FillSelector(const std::vector<ProfileEntry>& entries, int selected) {
    ClearSelector();
    HWND combo = Item(IDC_PROFILE_COMBO);
    std::wstring* chosen = nullptr;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int index = ComboBox_AddString(combo, entries[i].displayName);
        if (index < 0) continue;
        auto* id = new std::wstring(FieldText(entries[i].id));
        ComboBox_SetItemData(combo, index, reinterpret_cast<LPARAM>(id));
        if (static_cast<int>(i) == selected) chosen = id;
    }
    // The list is sorted: find the chosen entry by the copy it carries.
    int at = -1;
    for (int i = 0; chosen && i < ComboBox_GetCount(combo); ++i)
        if (reinterpret_cast<std::wstring*>(ComboBox_GetItemData(combo, i)) == chosen) at = i;
    ComboBox_SetCurSel(combo, at);
}

bool CPageProfile::SelectedProfileId(std::wstring* id) const {
    HWND combo = Item(IDC_PROFILE_COMBO);
    const int index = ComboBox_GetCurSel(combo);
    if (index < 0) return false;
    const LRESULT data = ComboBox_GetItemData(combo, index);
    if (!data || data == CB_ERR) return false;
    if (id) *id = *reinterpret_cast<std::wstring*>(data);
    return true;
}

std::wstring CPageProfile::SelectorText() const {
    return ItemText(IDC_PROFILE_COMBO);
}

void CPageProfile::SelectProfileId(const std::wstring& id) {
    HWND combo = Item(IDC_PROFILE_COMBO);
    int at = -1;
    for (int i = 0; i < ComboBox_GetCount(combo); ++i) {
        auto* carried = reinterpret_cast<std::wstring*>(ComboBox_GetItemData(combo, i));
        if (carried && *carried == id) at = i;
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

void CPageProfile::UpdateSaveButton() {
    if (session_.IsModified()) EnableSave(true);
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
    ClearList();
    ClearPathBox();
    EnableNavigation(true);
    EnableSave(false);
    RebuildImageLists();
    MethodProfile* model = session_.Model();
    PrepareTree(model->root);
    current_ = FolderRef(&model->root);
    RefreshList();
}

void CPageProfile::ShowUnloaded() {
    ClearList();
    ClearPathBox();
    current_ = ProfileItemRef{};
    EnableNavigation(false);
    EnableSave(false);
    HidePanes();
    contents_.Clear();
}

FolderNode* CPageProfile::CurrentFolder() const {
    if (!ProfileLoaded() || !current_.IsFolder() || current_.method != session_.Method()) return nullptr;
    return current_.folder;
}

// ---- Image lists and rule display ----

void CPageProfile::RebuildImageLists() {
    // The list shares its image lists (LVS_SHAREIMAGELISTS): the page owns them.
    large_.Reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 8, 4));
    small_.Reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 4));
    extensionIcons_.clear();
    const std::wstring windows = WindowsFolder();
    AddIcon(large_.Get(), ShellIcon(windows.c_str(), 0, SHGFI_LARGEICON));
    AddIcon(small_.Get(), ShellIcon(windows.c_str(), 0, SHGFI_SMALLICON));
    // The rule icons of each method, large and small, in the order of their indexes.
    static const int kIcons[5][3][2] = {
        {},
        {{IDI_SHORTCUTS_LARGE, IDI_SHORTCUTS_SMALL}, {IDI_FOLDERS_LARGE, IDI_FOLDERS_SMALL},
         {IDI_UNMATCHED_LARGE, IDI_UNMATCHED_SMALL}},
        {{IDI_TIME_RULE_LARGE, IDI_TIME_RULE_SMALL}},
        {{IDI_FOLDERS_LARGE, IDI_FOLDERS_SMALL}, {IDI_SIZE_RULE_LARGE, IDI_SIZE_RULE_SMALL}},
        {{IDI_NAME_RANGE_LARGE, IDI_NAME_RANGE_SMALL}, {IDI_NAME_REGEXP_LARGE, IDI_NAME_REGEXP_SMALL}},
    };
    const int method = session_.Method();
    for (const auto& pair : kIcons[method >= 1 && method <= 4 ? method : 0]) {
        if (!pair[0]) break;
        AddIcon(large_.Get(), Module(), pair[0], 32);
        AddIcon(small_.Get(), Module(), pair[1], 16);
    }
    ListView_SetImageList(List(), large_.Get(), LVSIL_NORMAL);
    ListView_SetImageList(List(), small_.Get(), LVSIL_SMALL);
}

int CPageProfile::ExtensionIcon(const std::wstring& extension) {
    std::wstring key = extension;
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(c));
    const auto known = extensionIcons_.find(key);
    if (known != extensionIcons_.end()) return known->second;
    const DWORD flags = SHGFI_USEFILEATTRIBUTES;
    const win::UniqueIcon large = ShellIcon(extension.c_str(), FILE_ATTRIBUTE_NORMAL, flags | SHGFI_LARGEICON);
    const win::UniqueIcon small = ShellIcon(extension.c_str(), FILE_ATTRIBUTE_NORMAL, flags | SHGFI_SMALLICON);
    int index = editor::kIconTypeUnmatched;
    if (large && small) {
        index = AddIcon(large_.Get(), large);
        AddIcon(small_.Get(), small);
    }
    extensionIcons_[key] = index;
    return index;
}

void CPageProfile::PrepareRuleDisplay(int method, RuleEntry* entry) {
    if (!entry) return;
    editor::PrepareRuleTexts(*this, method, entry);
    entry->iconIndex = editor::DefaultRuleIcon(method, *entry);
    if (entry->iconIndex < 0) entry->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(entry)->extension);
}

void CPageProfile::PrepareTree(FolderNode& folder) {
    // Texts now; the shell's icons of extensions when their folder is first
    // listed (they are slow to get, and a profile may hold hundreds).
    const int method = folder.Method();
    for (int i = 0; i < editor::RuleCount(folder); ++i) {
        RuleEntry* rule = editor::RuleAt(folder, i);
        editor::PrepareRuleTexts(*this, method, rule);
        rule->iconIndex = editor::DefaultRuleIcon(method, *rule);
    }
    for (auto& child : folder.children) PrepareTree(*child);
}

// ---- The list ----

void CPageProfile::ClearList() {
    ListView_DeleteAllItems(List());  // each item's reference goes with LVN_DELETEITEM
}

void CPageProfile::InsertItem(int index, const ProfileItemRef& ref, const std::wstring& name, int image,
                              const std::wstring& type, const std::wstring& detail) {
    std::wstring text = name;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = &text[0];
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(new ProfileItemRef(ref));
    const int at = ListView_InsertItem(List(), &item);
    if (at < 0) {
        delete reinterpret_cast<ProfileItemRef*>(item.lParam);
        return;
    }
    std::wstring typeText = type, detailText = detail;
    ListView_SetItemText(List(), at, 1, &typeText[0]);
    ListView_SetItemText(List(), at, 2, &detailText[0]);
}

void CPageProfile::RefreshList() {
    ClearList();
    FolderNode* folder = CurrentFolder();
    if (!folder) {
        ShowItemPane();
        return;
    }
    SelectPathEntry(folder);
    int index = 0;
    const std::wstring folderKind = LoadText(IDS_FOLDER_KIND), ruleKind = LoadText(IDS_RULE_KIND);
    for (auto& child : folder->children)
        InsertItem(index++, FolderRef(child.get()), child->displayName, editor::kIconFolder, folderKind,
                   child->effectivePath);
    const int method = folder->Method();
    for (int i = 0; i < editor::RuleCount(*folder); ++i) {
        RuleEntry* rule = editor::RuleAt(*folder, i);
        if (rule->iconIndex < 0 && method == editor::kMethodType)
            rule->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(rule)->extension);
        InsertItem(index++, RuleRef(folder, i), editor::RuleName(method, *rule), rule->iconIndex, ruleKind,
                   editor::RuleDetail(method, *rule));
    }
    ShowItemPane();
}

std::vector<int> CPageProfile::SelectedIndexes() const {
    std::vector<int> indexes;
    for (int i = ListView_GetNextItem(List(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(List(), i, LVNI_SELECTED))
        indexes.push_back(i);
    return indexes;
}

const ProfileItemRef* CPageProfile::ItemRefAt(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!ListView_GetItem(List(), &item)) return nullptr;
    return reinterpret_cast<const ProfileItemRef*>(item.lParam);
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
    const ProfileItemRef* ref = first >= 0 ? ItemRefAt(first) : nullptr;
    if (ref && ref->IsFolder()) {
        const ProfileItemRef target = *ref;  // the item goes with the list
        Navigate(Go::Enter, &target);
    }
}

void CPageProfile::SelectAll() {
    if (ProfileLoaded()) ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
}

void CPageProfile::SetView(UINT command) {
    for (int i = 0; i < 4; ++i) {
        if (kViewCommands[i] != command) continue;
        view_ = kViewStyles[i];
        const LONG_PTR style = GetWindowLongPtrW(List(), GWL_STYLE);
        SetWindowLongPtrW(List(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | view_);
    }
}

void CPageProfile::DeleteSelectedItems() {
    FolderNode* folder = CurrentFolder();
    if (!folder) return;
    const std::vector<int> selected = SelectedIndexes();
    int folders = 0, rules = 0;
    for (int index : selected) {
        const ProfileItemRef* ref = ItemRefAt(index);
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
        const ProfileItemRef* ref = ItemRefAt(*it);
        if (!ref || ref->method != folder->Method()) continue;
        if (ref->IsFolder() && ref->folder->parent == folder) {
            RemovePathEntries(ref->folder);
            removed |= editor::DeleteChildFolder(folder, ref->folder) == editor::kFolderDeleted;
        } else if (ref->IsRule() && ref->folder == folder && ref->kind == folder->Method() + 1) {
            removed |= editor::RemoveRuleAt(folder, ref->ruleIndex);
        }
    }
    if (!removed) return;
    RefreshList();
    UpdateSaveButton();
}

// ---- The path box ----

HWND CPageProfile::PathBox() const {
    return GetDlgItem(Item(IDC_NAVIGATION_TOOLBAR), IDC_PATH_BOX);
}

namespace {

struct PathEntry {
    std::wstring text;
    ProfileItemRef* ref;
};

PathEntry GetPathEntry(HWND box, int index) {
    wchar_t text[260] = {};
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!SendMessageW(box, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {std::wstring(), nullptr};
    return {text, reinterpret_cast<ProfileItemRef*>(item.lParam)};
}

void RemovePathEntry(HWND box, int index) {
    delete GetPathEntry(box, index).ref;
    SendMessageW(box, CBEM_DELETEITEM, index, 0);
}

}  // namespace

void CPageProfile::ClearPathBox() {
    HWND box = PathBox();
    if (!box) return;
    for (int i = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i) RemovePathEntry(box, i);
}

void CPageProfile::SelectPathEntry(FolderNode* folder) {
    HWND box = PathBox();
    const std::wstring path = TrimBlanks(folder->displayPath);
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const PathEntry entry = GetPathEntry(box, i);
        if ((entry.ref && entry.ref->folder == folder) || EqualsNoCase(TrimBlanks(entry.text), path)) {
            SendMessageW(box, CB_SETCURSEL, i, 0);
            return;
        }
    }
    std::wstring text = path;
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = -1;
    item.pszText = &text[0];
    item.lParam = reinterpret_cast<LPARAM>(new ProfileItemRef(FolderRef(folder)));
    const int at = static_cast<int>(SendMessageW(box, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) {
        delete reinterpret_cast<ProfileItemRef*>(item.lParam);
        return;
    }
    SendMessageW(box, CB_SETCURSEL, at, 0);
}

void CPageProfile::JumpToPathEntry() {
    if (!ProfileLoaded()) return;
    HWND box = PathBox();
    const int index = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
    const PathEntry entry = index >= 0 ? GetPathEntry(box, index) : PathEntry{};
    if (!entry.ref || !entry.ref->IsFolder()) return;
    const ProfileItemRef target = *entry.ref;
    if (target == current_) return;
    // An entry whose folder was renamed or moved since goes; RefreshList
    // adds one with the present path.
    if (!EqualsNoCase(TrimBlanks(entry.text), TrimBlanks(target.folder->displayPath))) RemovePathEntry(box, index);
    Navigate(Go::Enter, &target);
}

void CPageProfile::RemovePathEntries(FolderNode* folder) {
    HWND box = PathBox();
    for (int i = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i) {
        const PathEntry entry = GetPathEntry(box, i);
        if (entry.ref && editor::IsSameOrInside(entry.ref->folder, folder)) RemovePathEntry(box, i);
    }
}

void CPageProfile::UpdatePathEntries(FolderNode* folder) {
    HWND box = PathBox();
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const PathEntry entry = GetPathEntry(box, i);
        if (!entry.ref || !editor::IsSameOrInside(entry.ref->folder, folder)) continue;
        std::wstring path = TrimBlanks(entry.ref->folder->displayPath);
        if (EqualsNoCase(TrimBlanks(entry.text), path)) continue;
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = &path[0];
        SendMessageW(box, CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// ---- Panes ----

void CPageProfile::HidePanes() {
    for (const PaneSlot& slot : panes_)
        if (slot.pane && slot.pane->Handle()) ShowWindow(slot.pane->Handle(), SW_HIDE);
}

void CPageProfile::ShowPane(PaneKind kind) {
    CProfilePane* pane = panes_[kind].pane;
    if (!pane || !pane->Handle()) return;
    if (shownPane_ != kind || !IsWindowVisible(pane->Handle())) {
        HidePanes();
        ShowWindow(pane->Handle(), SW_SHOW);
    }
    shownPane_ = kind;
}

namespace {

// The kind of item each pane shows.
ProfileItemKind ItemKindOf(PaneKind kind) {
    switch (kind) {
        case PaneFolderProperty: return ItemFolder;
        case PaneTypeProperty: return ItemTypeRule;
        case PaneTimeProperty: return ItemTimeRule;
        case PaneSizeProperty: return ItemSizeRule;
        case PaneNameProperty: return ItemNameRule;
        default: return ItemNone;
    }
}

}  // namespace

bool CPageProfile::FillPropertyPane(PaneKind kind, const ProfileItemRef& item) {
    const PaneSlot& slot = panes_[kind];
    if (!slot.pane || !slot.pane->Handle() || !slot.binding.fill) return false;
    if (item.kind != ItemKindOf(kind) || (item.IsRule() && !item.Rule())) return false;
    slot.pane->SetPage(Handle());
    // The focus stays on the same field, or goes to the first one when that
    // field went.
    HWND focus = GetFocus();
    const bool focusInPane = focus && IsChild(slot.pane->Handle(), focus);
    slot.binding.fill(item);
    slot.pane->EnableUpdate(false);  // filling is no edit
    if (focusInPane) {
        if (IsWindowEnabled(focus) && IsWindowVisible(focus)) {
            SetFocus(focus);
        } else {
            slot.pane->FocusFirstField();
        }
    }
    return true;
}

void CPageProfile::FocusShownPane() {
    // The folder-contents summary takes no focus.
    CProfilePane* pane = panes_[shownPane_].pane;
    if (pane && pane->Handle() && IsWindowVisible(pane->Handle())) pane->FocusFirstField();
}

bool CPageProfile::PaneItem(PaneKind kind, ProfileItemRef* item) const {
    FolderNode* folder = CurrentFolder();
    const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = folder && first >= 0 ? ItemRefAt(first) : nullptr;
    if (!ref || ref->kind != ItemKindOf(kind) || ref->method != session_.Method()) return false;
    if (ref->IsFolder() ? ref->folder->parent != folder : (ref->folder != folder || !ref->Rule())) return false;
    *item = *ref;
    return true;
}

void CPageProfile::OnPaneChanged(PaneKind kind) {
    const PaneSlot& slot = panes_[kind];
    ProfileItemRef item;
    slot.pane->EnableUpdate(PaneItem(kind, &item) && slot.binding.differs && slot.binding.differs(item));
}

void CPageProfile::OnPaneUpdate(PaneKind kind) {
    ProfileItemRef item;
    if (!PaneItem(kind, &item)) {
        Message(LoadText(IDS_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    panes_[kind].binding.apply(item);
}

void CPageProfile::UpdateListItem(const ProfileItemRef& ref) {
    HWND list = List();
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        const ProfileItemRef* item = ItemRefAt(i);
        if (!item || *item != ref) continue;
        std::wstring name, detail;
        int image = editor::kIconFolder;
        if (ref.IsFolder()) {
            name = ref.folder->displayName;
            detail = ref.folder->effectivePath;
        } else if (RuleEntry* rule = ref.Rule()) {
            const int method = ref.folder->Method();
            if (rule->iconIndex < 0 && method == editor::kMethodType)
                rule->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(rule)->extension);
            name = editor::RuleName(method, *rule);
            detail = editor::RuleDetail(method, *rule);
            image = rule->iconIndex;
        } else {
            return;
        }
        LVITEMW change = {};
        change.mask = LVIF_TEXT | LVIF_IMAGE;
        change.iItem = i;
        change.pszText = &name[0];
        change.iImage = image;
        ListView_SetItem(list, &change);
        ListView_SetItemText(list, i, 2, &detail[0]);
        return;
    }
}

void CPageProfile::ShowItemPane() {
    FolderNode* folder = CurrentFolder();
    if (!folder) {
        HidePanes();
        return;
    }
    const std::vector<int> selected = SelectedIndexes();
    if (selected.size() == 1) {
        const ProfileItemRef* ref = ItemRefAt(selected[0]);
        if (ref) {
            static const PaneKind byKind[] = {PaneFolderContents, PaneFolderProperty, PaneTypeProperty,
                                              PaneTimeProperty,   PaneSizeProperty,   PaneNameProperty};
            const PaneKind kind = byKind[ref->kind >= ItemFolder && ref->kind <= ItemNameRule ? ref->kind : 0];
            if (FillPropertyPane(kind, *ref)) {
                ShowPane(kind);
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
        fill.icon = ImageList_GetIcon(large_.Get(), editor::kIconFolder, ILD_NORMAL);
    } else {
        fill.selection = true;
        for (int index : selected) {
            const ProfileItemRef* ref = ItemRefAt(index);
            if (ref && ref->IsFolder()) ++fill.folders;
            if (ref && ref->IsRule()) ++fill.rules;
        }
        // One item: its own icon; several: the selection's.
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = selected[0];
        fill.icon = selected.size() == 1 && ListView_GetItem(List(), &item) && item.iImage >= 0
                        ? ImageList_GetIcon(large_.Get(), item.iImage, ILD_NORMAL)
                        : LoadIconSized(Module(), IDI_MULTI_SELECTION, 32);
    }
    contents_.SetPage(Handle());
    contents_.Fill(fill);
    ShowPane(PaneFolderContents);
}

// ---- Menus ----

win::UniqueMenu CPageProfile::LoadAddMenu() const {
    static const int menus[] = {0, IDR_NEW_TYPE_ITEMS, IDR_NEW_TIME_ITEMS, IDR_NEW_SIZE_ITEMS, IDR_NEW_NAME_ITEMS};
    const int method = session_.Method();
    return win::UniqueMenu(method >= 1 && method <= 4 ? LoadMenuW(Module(), MAKEINTRESOURCEW(menus[method])) : nullptr);
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
        int view = 3;
        for (int i = 0; i < 4; ++i)
            if (kViewStyles[i] == view_) view = i;
        CheckMenuRadioItem(GetSubMenu(popup, kViewPosition), 0, 3, view, MF_BYPOSITION);
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
        const std::size_t selected = SelectedIndexes().size();
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
        int view = 3;
        for (int i = 0; i < 4; ++i)
            if (kViewStyles[i] == view_) view = i;
        CheckMenuRadioItem(popup, 0, 3, view, MF_BYPOSITION);
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

// ---- Add commands ----

void CPageProfile::AddFolderCommand() {
    FolderNode* folder = CurrentFolder();
    if (!folder) return;
    CDialogNewFolder dialog;
    if (dialog.DoModal(Module(), Handle()) != IDOK) return;
    FolderNode* added = editor::AddFolder(*this, folder, dialog.name, dialog.location);
    if (!added) {
        Message(LoadText(IDS_ADD_FOLDER_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    RefreshList();
    UpdateSaveButton();
    SelectItem(FolderRef(added));
}

void CPageProfile::SelectItem(const ProfileItemRef& ref) {
    for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
        const ProfileItemRef* item = ItemRefAt(i);
        if (!item || *item != ref) continue;
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        ListView_SetItemState(List(), i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(List(), i, FALSE);
        return;
    }
}

void CPageProfile::AddTypeSpecial(int kind, const wchar_t* name) {
    PlacementMode mode = editor::PlaceSingle;
    FolderNode* folder = CurrentFolder();
    const int before = folder ? editor::RuleCount(*folder) : 0;
    if (!editor::PlaceTypeRule(*this, folder, name, &mode, kind)) {
        Message(FillTemplate(LoadText(IDS_FAILED_TYPE_RULE).c_str(), {name}), MB_OK | MB_ICONERROR);
        return;
    }
    UpdateSaveButton();
    RefreshList();
    if (editor::RuleCount(*folder) > before) SelectItem(RuleRef(folder, before));
}

void CPageProfile::AddSizeFolders() {
    PlacementMode mode = editor::PlaceSingle;
    FolderNode* folder = CurrentFolder();
    const int before = folder ? editor::RuleCount(*folder) : 0;
    if (!editor::PlaceSizeRule(*this, &mode, folder, kSizeFolders, nullptr, nullptr)) {
        Message(LoadText(IDS_ADD_SIZE_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    UpdateSaveButton();
    RefreshList();
    if (editor::RuleCount(*folder) > before) SelectItem(RuleRef(folder, before));
}

// ---- Questions of the placement ----

int CPageProfile::ConfirmReplacement(const std::wstring& question, bool fourButtons) {
    CDialogMultiReplace dialog;
    dialog.question = question;
    dialog.fourButtons = fourButtons;
    const INT_PTR answer = dialog.DoModal(Module(), Handle());
    return answer > 0 ? static_cast<int>(answer) : editor::kReplaceCancel;
}

void CPageProfile::ShowCollisions(const std::wstring& message, int method, const editor::CollisionList& collisions) {
    CDialogRuleCollision dialog;
    dialog.message = message;
    dialog.method = method;
    dialog.rows = editor::CollisionRows(*this, method, collisions);
    dialog.images = small_.Get();
    dialog.DoModal(Module(), Handle());
}

// ---- Messages ----

void CPageProfile::OnListKey(WORD key) {
    if (!ProfileLoaded()) return;
    switch (key) {
        case VK_BACK: Navigate(Go::Up); break;
        case VK_F5: Navigate(Go::Refresh); break;
        case VK_DELETE: DeleteSelectedItems(); break;
        case VK_F2: FocusShownPane(); break;
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
        case ID_LIST_EDIT: FocusShownPane(); return TRUE;
        case ID_LIST_SELECT_ALL: SelectAll(); return TRUE;
        default: break;
    }
    const auto command = addCommands_.find(id);
    if (command == addCommands_.end()) return FALSE;
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
        case LVN_DELETEITEM:
            delete reinterpret_cast<ProfileItemRef*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam);
            return TRUE;
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
    for (int kind = 0; kind < PaneCount; ++kind) {
        const PaneSlot& slot = panes_[kind];
        if (!slot.pane || !slot.binding.apply) continue;
        if (message == slot.pane->ChangedMessage()) {
            OnPaneChanged(static_cast<PaneKind>(kind));
        } else if (message == slot.pane->UpdateMessage()) {
            OnPaneUpdate(static_cast<PaneKind>(kind));
        } else {
            continue;
        }
        *result = 0;
        return TRUE;
    }
    switch (message) {
        case kUpdatePaneMessage:
            panePending_ = false;
            ShowItemPane();
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

}  // namespace ordvale::wizard
