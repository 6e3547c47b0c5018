#include "PageProfile.h"

#include <windowsx.h>

#include "FolderCommands.h"
#include "common/win/Dpi.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// Posted to the page after the list's selection changed, so that the pane
// follows the selection once the click or key has taken effect.
constexpr UINT kUpdatePaneMessage = WM_APP + 1;

// The list's keys give the commands of its menu.
WORD ListKeyCommand(WORD key) {
    switch (key) {
        case VK_BACK: return ID_LIST_BACK;
        case VK_F5: return ID_LIST_REFRESH;
        case VK_DELETE: return ID_LIST_DELETE;
        case VK_F2: return ID_LIST_EDIT;
        case 'A': return GetKeyState(VK_CONTROL) < 0 ? ID_LIST_SELECT_ALL : 0;
        default: return 0;
    }
}

}  // namespace

CPageProfile::CPageProfile() : CDialogEx(IDD_PAGE_PROFILE, true, IDC_PROFILE_TITLE) {}

CPageProfile::~CPageProfile() = default;

// ---- Creation ----

BOOL CPageProfile::OnInitDialog() {
    CDialogEx::OnInitDialog();
    questions_.Attach(Handle(), Module());
    menus_.Attach(Handle(), Module());
    selection_.Attach(Handle());
    selector_.Attach(Item(IDC_PROFILE_COMBO));
    toolbars_.Create(Handle(), Module(), LoadText(IDS_NEW_ITEM_LABEL), &pathBox_);
    panes_.CreateEditorPanes(Editor(), Module(), Handle(), Item(IDC_PANE_AREA));

    HWND list = List();
    const std::wstring columns[3] = {LoadText(IDS_COLUMN_NAME), LoadText(IDS_COLUMN_TYPE),
                                     LoadText(IDS_COLUMN_DESCRIPTION)};
    list_.Attach(list, Module(), columns);
    // Enter in the list, the selector, the path box and the toolbars opens
    // the first selected item; inside a pane it belongs to the pane.
    enterKeys_.AddList(list, Handle());
    for (HWND toolbar : toolbars_.Handles()) enterKeys_.Add(toolbar, CEnterSubclass::Control::Plain);
    HWND pathCombo = reinterpret_cast<HWND>(SendMessageW(PathBox(), CBEM_GETCOMBOCONTROL, 0, 0));
    for (HWND combo : {selector_.Handle(), pathCombo}) enterKeys_.Add(combo, CEnterSubclass::Control::DropDownList);
    ShowUnloaded();
    EnableProfileCommands(false);
    return TRUE;
}

void CPageProfile::OnDestroy() {
    list_.Clear();
    pathBox_.Clear();
    selector_.Clear();
}

void CPageProfile::LoadForMethod(int method, const OrdvaleSettings& settings) {
    session_.LoadForMethod(ModelMethodOf(method), settings.profileFile);
}

// ---- Loaded and unloaded ----

void CPageProfile::EnableNavigation(bool enable) {
    toolbars_.EnableNavigation(enable);
    EnableWindow(PathBox(), enable);
}

void CPageProfile::ShowLoadedProfile() {
    list_.Clear();
    pathBox_.Clear();
    EnableNavigation(true);
    list_.RebuildImageLists(session_.Method());
    MethodProfile* model = session_.Model();
    list_.PrepareTree(questions_, model->root);
    location_.ShowRoot(&model->root);
}

void CPageProfile::ShowUnloaded() {
    list_.Clear();
    pathBox_.Clear();
    location_.Forget();
    EnableNavigation(false);
    panes_.HideAll();
    panes_.Contents().Clear();
}

HICON CPageProfile::LargeIcon(int image) const {
    return ImageList_GetIcon(list_.LargeImages(), image, ILD_NORMAL);
}

// ---- Messages ----

CEditorMenus::State CPageProfile::MenuState() const {
    CEditorMenus::State state;
    state.loaded = ProfileLoaded();
    state.method = session_.Method();
    state.view = list_.View();
    state.selected = list_.SelectedIndexes().size();
    return state;
}

BOOL CPageProfile::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDC_PROFILE_COMBO:
            if (code == CBN_SELCHANGE) session_.OnProfileChosen();
            return TRUE;
        case IDC_PATH_BOX:
            if (code == CBN_SELCHANGE) location_.OpenPathEntry();
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
        case ID_LIST_BACK: location_.Navigate(CFolderLocation::Go::Up); return TRUE;
        case ID_LIST_REFRESH: location_.Navigate(CFolderLocation::Go::Refresh); return TRUE;
        case ID_LIST_ICON:
        case ID_LIST_SMALL_ICON:
        case ID_LIST_LIST:
        case ID_LIST_DETAILS: list_.SetView(CEditorMenus::ViewOf(id)); return TRUE;
        case ID_LIST_DELETE:
            DeleteItemsCommand(Editor(), list_.SelectedItems(),
                               [this](FolderNode* folder) { pathBox_.RemoveEntries(folder); });
            return TRUE;
        case ID_LIST_EDIT: panes_.FocusShown(); return TRUE;
        case ID_LIST_SELECT_ALL: list_.SelectAll(); return TRUE;
        default: break;
    }
    const ChangeQueue::Hold hold(changes_);  // the command's changes show once, when it ends
    return menus_.RunAddCommand(id);
}

BOOL CPageProfile::OnNotify(NMHDR* header, LRESULT* result) {
    if (toolbars_.OnTooltip(header)) return TRUE;
    if (header->code == TBN_DROPDOWN) {
        const int command = reinterpret_cast<NMTOOLBARW*>(header)->iItem;
        menus_.ShowDropDown(toolbars_.ToolbarOf(command), command, MenuState());
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
            location_.OpenSelected();
            return TRUE;
        case LVN_KEYDOWN:
            if (const WORD command = ListKeyCommand(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey))
                OnCommand(command, 0, nullptr);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CPageProfile::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    PaneKind kind = PaneKind::FolderContents;
    switch (panes_.Classify(message, &kind)) {
        case CPaneHost::PaneMessage::Changed:
            selection_.OnChanged(kind);
            *result = 0;
            return TRUE;
        case CPaneHost::PaneMessage::Update: {
            const ChangeQueue::Hold hold(changes_);
            selection_.Update(kind);
            *result = 0;
            return TRUE;
        }
        case CPaneHost::PaneMessage::None: break;
    }
    switch (message) {
        case kUpdatePaneMessage:
            panePending_ = false;
            selection_.Show();
            return TRUE;
        case WM_DPICHANGED_AFTERPARENT:
            OnDpiChanged();
            *result = 0;
            return TRUE;
        case WM_CONTEXTMENU: {
            if (reinterpret_cast<HWND>(wParam) != List()) return FALSE;
            POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (at.x == -1 && at.y == -1) at = list_.KeyboardMenuPoint();  // from the keyboard
            selection_.Show();
            menus_.ShowContextMenu(at, MenuState());
            *result = 0;
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void CPageProfile::OnDpiChanged() {
    toolbars_.RebuildImages();
    pathBox_.RebuildImages();
    if (!ProfileLoaded()) return;
    list_.RebuildImageLists(session_.Method());
    list_.PrepareTree(questions_, session_.Model()->root);
    location_.Refresh();
}

}  // namespace ordvale::wizard
