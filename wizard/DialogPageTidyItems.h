// The items page (dialog 130): the list of files and folders of a selection,
// gathered with Add Files, Add Folder and drag and drop.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DragDropListCtrl.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogPageTidyItems : public CDialogEx {
public:
    CDialogPageTidyItems();
    ~CDialogPageTidyItems() override;
    // The single rule for adding a row: absent or listed paths (ignoring case) are skipped.
    void AddPath(const wchar_t* path);
    void AddFolderContents(const std::wstring& folder);
    void DeleteSelected();
    void DeleteAll();
    void SelectAll();
    std::vector<std::wstring> Rows() const;
    HWND List() const { return Item(1007); }
    // The rows' icons at the new DPI, with the title's font.
    void ApplyDpi(UINT dpi) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    // The rows' icons again, at the size the page's DPI now asks for.
    void ReloadIcons();
    void AddFiles();
    void UpdateDeleteButton();
    HIMAGELIST smallImages_ = nullptr;  // the list view's, not ours
    int iconSize_ = 16;
    CDragDropListCtrl dropTarget_;
};

}  // namespace ordvale::wizard
