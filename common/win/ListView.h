// Report-style list views of the dialogs: columns sized in dialog units, so
// that they grow with the dialog's font and the screen's DPI, and cells.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>

namespace ordvale::win {

struct ListColumn {
    UINT text;               // string id in the dialog's module
    int width;               // dialog units
    int format = LVCFMT_LEFT;
};

// Full-row selection with tooltips for cut texts, and the columns in order.
void SetUpReportList(HWND dialog, HINSTANCE module, int listId, std::initializer_list<ListColumn> columns);

// Appends a row with its first cell; returns its index.
int AppendListRow(HWND list, const std::wstring& first);
void SetListCell(HWND list, int row, int column, const std::wstring& text);

}  // namespace ordvale::win
