#include "DialogRuleCollision.h"

#include "common/Text.h"
#include "common/win/Dpi.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogRuleCollision::CDialogRuleCollision() : CDialogEx(IDD_RULE_COLLISION) {}

BOOL CDialogRuleCollision::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SetItemText(IDC_COLLISION_TEXT, CutToField(message));
    HWND list = Item(IDC_COLLISION_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    if (images) ListView_SetImageList(list, images, LVSIL_SMALL);
    const UINT dpi = win::WindowDpi(Handle());
    int column = 0;
    for (const editor::CollisionColumn& c : editor::CollisionColumns(method)) {
        std::wstring title = LoadText(c.title);
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_TEXT | LVCF_WIDTH;
        lvc.pszText = &title[0];
        lvc.cx = win::ScaleForDpi(c.width, dpi);
        ListView_InsertColumn(list, column++, &lvc);
    }
    int index = 0;
    for (editor::CollisionRow& row : rows) {
        if (row.cells.empty()) continue;
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = &row.cells[0][0];
        item.iImage = row.image;
        const int at = ListView_InsertItem(list, &item);
        for (std::size_t cell = 1; cell < row.cells.size(); ++cell)
            ListView_SetItemText(list, at, static_cast<int>(cell), &row.cells[cell][0]);
        ++index;
    }
    return TRUE;
}

}  // namespace ordvale::wizard
