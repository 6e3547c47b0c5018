// The items list of the items page: a report list view that accepts dropped
// files and adds each through the page's AddPath.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace ordvale::wizard {

class CDialogPageTidyItems;

class CDragDropListCtrl {
public:
    void Attach(HWND list, CDialogPageTidyItems* page);

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    CDialogPageTidyItems* page_ = nullptr;
};

}  // namespace ordvale::wizard
