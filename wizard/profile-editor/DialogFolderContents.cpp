#include "DialogFolderContents.h"

#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogFolderContents::CDialogFolderContents() : CProfilePane(IDD_FOLDER_CONTENTS) {}

void CDialogFolderContents::Fill(const FolderContentsFill& fill) {
    SetIcon(IDC_CONTENTS_ICON, fill.icon);
    SetItemText(IDC_CONTENTS_PATH, fill.path);
    const std::wstring folders = std::to_wstring(fill.folders), rules = std::to_wstring(fill.rules);
    SetItemText(IDC_CONTENTS_COUNTS, FillTemplate(LoadText(IDS_FOLDER_CONTENTS).c_str(), {folders.c_str(), rules.c_str()}));
    SetItemText(IDC_CONTENTS_NAME_LABEL, LoadText(fill.selection ? IDS_CONTENTS_ITEMS : IDS_CONTENTS_FOLDER_NAME));
    SetItemText(IDC_CONTENTS_NAME, fill.selection ? std::wstring() : fill.name);
}

void CDialogFolderContents::Clear() {
    SetIcon(IDC_CONTENTS_ICON, nullptr);
    for (int id : {IDC_CONTENTS_PATH, IDC_CONTENTS_COUNTS, IDC_CONTENTS_NAME_LABEL, IDC_CONTENTS_NAME})
        SetItemText(id, L"");
}

}  // namespace ordvale::wizard
