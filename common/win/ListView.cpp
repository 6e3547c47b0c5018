#include "common/win/ListView.h"

#include "common/win/Dialog.h"

namespace ordvale::win {

void SetUpReportList(HWND dialog, HINSTANCE module, int listId, std::initializer_list<ListColumn> columns) {
    HWND list = GetDlgItem(dialog, listId);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    RECT units = {0, 0, 100, 100};
    MapDialogRect(dialog, &units);
    int index = 0;
    for (const ListColumn& c : columns) {
        const std::wstring text = LoadModuleText(module, c.text);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = c.format;
        column.cx = MulDiv(c.width, units.right, 100);
        column.pszText = const_cast<wchar_t*>(text.c_str());
        ListView_InsertColumn(list, index++, &column);
    }
}

int AppendListRow(HWND list, const std::wstring& first) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<wchar_t*>(first.c_str());
    return ListView_InsertItem(list, &item);
}

void SetListCell(HWND list, int row, int column, const std::wstring& text) {
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.c_str()));
}

}  // namespace ordvale::win
