#include "DialogFolderProperty.h"

#include <commctrl.h>

#include "EditorContext.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogFolderProperty::CDialogFolderProperty()
    : CProfilePane(IDD_FOLDER_PROPERTY, UM_FOLDER_CHANGED, UM_FOLDER_UPDATE, IDC_FOLDER_PANE_UPDATE) {}

BOOL CDialogFolderProperty::OnInitDialog() {
    CProfilePane::OnInitDialog();
    browse_.Attach(Item(IDC_FOLDER_PANE_LOCATION), Item(IDC_FOLDER_PANE_BROWSE));
    ShowLocation(false);
    return TRUE;
}

void CDialogFolderProperty::Fill(const FolderPropertyFill& fill) {
    FillScope scope(*this);
    SetItemText(IDC_FOLDER_PANE_NAME, fill.name);
    browse_.SetText(fill.location);
    CheckDlgButton(Handle(), IDC_FOLDER_PANE_ABSOLUTE, fill.hasLocation ? BST_CHECKED : BST_UNCHECKED);
    ShowLocation(fill.hasLocation);
    ShowDisplayPath(fill.displayPath);
    EnableUpdate(false);
    SetIcon(IDC_FOLDER_PANE_ICON, fill.icon);
}

void CDialogFolderProperty::Clear() {
    FillScope scope(*this);
    for (int id : {IDC_FOLDER_PANE_NAME, IDC_FOLDER_PANE_LOCATION, IDC_FOLDER_PANE_PATH}) SetItemText(id, L"");
    CheckDlgButton(Handle(), IDC_FOLDER_PANE_ABSOLUTE, BST_UNCHECKED);
    ShowLocation(false);
    EnableUpdate(false);
    SetIcon(IDC_FOLDER_PANE_ICON, nullptr);
}

void CDialogFolderProperty::ShowDisplayPath(const std::wstring& path) {
    SetItemText(IDC_FOLDER_PANE_PATH, path);
}

void CDialogFolderProperty::ShowLocation(bool shown) {
    for (int id : {IDC_FOLDER_PANE_LOCATION, IDC_FOLDER_PANE_BROWSE}) {
        EnableWindow(Item(id), shown);
        ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE);
    }
}

void CDialogFolderProperty::FocusFirstField() {
    FocusControl(IDC_FOLDER_PANE_NAME);
}

editor::FolderPaneValues CDialogFolderProperty::Values() const {
    editor::FolderPaneValues values;
    values.name = ItemText(IDC_FOLDER_PANE_NAME);
    values.absolute = IsDlgButtonChecked(Handle(), IDC_FOLDER_PANE_ABSOLUTE) == BST_CHECKED;
    values.location = ItemText(IDC_FOLDER_PANE_LOCATION);
    return values;
}

bool CDialogFolderProperty::EnterUpdatesIn(int controlId) const {
    return controlId == IDC_FOLDER_PANE_NAME || controlId == IDC_FOLDER_PANE_LOCATION;
}

BOOL CDialogFolderProperty::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_FOLDER_PANE_NAME:
        case IDC_FOLDER_PANE_LOCATION:
            if (code == EN_CHANGE) ReportChange();
            return TRUE;
        case IDC_FOLDER_PANE_ABSOLUTE:
            if (code == BN_CLICKED) {
                ShowLocation(IsDlgButtonChecked(Handle(), IDC_FOLDER_PANE_ABSOLUTE) == BST_CHECKED);
                ReportChange();
            }
            return TRUE;
        case IDC_FOLDER_PANE_BROWSE:
            if (code == BN_CLICKED) browse_.OnBrowse();
            return TRUE;
        default:
            return CProfilePane::OnCommand(id, code, control);
    }
}

PaneBinding BindFolderPane(EditorContext& context, CDialogFolderProperty& pane) {
    PaneBinding binding;
    binding.fill = [&context, &pane](const ProfileItemRef& item) {
        FolderPropertyFill fill;
        fill.name = item.folder->displayName;
        fill.location = item.folder->location;
        fill.hasLocation = !fill.location.empty();
        fill.displayPath = item.folder->displayPath;
        fill.icon = context.LargeIcon(editor::kIconFolder);
        pane.Fill(fill);
    };
    binding.differs = [&pane](const ProfileItemRef& item) {
        return editor::CompareFolderPane(*item.folder, pane.Values()).Any();
    };
    binding.apply = [&context, &pane](const ProfileItemRef& item) {
        FolderNode* folder = item.folder;
        const editor::FolderPaneValues values = pane.Values();
        const editor::FolderEdit edit =
            editor::ApplyFolderPane(context.Placement(), folder, values, editor::CompareFolderPane(*folder, values));
        // A location refused after a rename leaves the rename in place: the
        // list, the path box and Save follow it all the same.
        if (edit.Applied()) {
            pane.EnableUpdate(false);
            pane.ShowDisplayPath(folder->displayPath);
            context.Changed(EditorChange::Renamed(item));
        }
        if (edit.focus == editor::PaneFocus::First) pane.FocusControl(IDC_FOLDER_PANE_NAME);
        if (edit.focus == editor::PaneFocus::Second) pane.FocusControl(IDC_FOLDER_PANE_LOCATION);
    };
    return binding;
}

}  // namespace ordvale::wizard
