#include "DragDropListCtrl.h"

#include <shellapi.h>

#include "DialogPageTidyItems.h"

namespace ordvale::wizard {

void CDragDropListCtrl::Attach(HWND list, CDialogPageTidyItems* page) {
    page_ = page;
    DragAcceptFiles(list, TRUE);
    SetWindowSubclass(list, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CDragDropListCtrl::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<CDragDropListCtrl*>(data);
    if (message == WM_DROPFILES) {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[260] = {};
            DragQueryFileW(drop, i, path, 260);
            if (self->page_) self->page_->AddPath(path);
        }
        DragFinish(drop);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ListProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ordvale::wizard
