// The target, items, method and summary pages of the wizard, and the private
// messages by which pages talk to the frame.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "CommandLinkButton.h"
#include "common/TidyJob.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

constexpr UINT WM_TARGET_CHOSEN = WM_USER + 9000;   // wParam: 0 Desktop, 1 Folder, 2 Selection
constexpr UINT WM_METHOD_CHOSEN = WM_USER + 9001;   // wParam: choice position
constexpr UINT WM_GO_TO_PAGE = WM_USER + 9100;      // wParam: 0, 2 or 3
constexpr UINT WM_RESET_DESTINATION = WM_USER + 9101;

class CDialogPageTidyTarget : public CDialogEx {
public:
    CDialogPageTidyTarget();
    ~CDialogPageTidyTarget() override;
    CCommandLinkButton& Link(int index) { return links_[index]; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CCommandLinkButton links_[3];
    HIMAGELIST images_ = nullptr;
};

// The items list: adds dropped files through the page's AddPath.
class CDragDropListCtrl {
public:
    void Attach(HWND list, class CDialogPageTidyItems* page);

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    class CDialogPageTidyItems* page_ = nullptr;
};

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

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void AddFiles();
    void UpdateDeleteButton();
    HIMAGELIST smallImages_ = nullptr;
    CDragDropListCtrl dropTarget_;
};

class CDialogPageTidyMethod : public CDialogEx {
public:
    CDialogPageTidyMethod();
    ~CDialogPageTidyMethod() override;
    void CheckMethod(int method);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    HIMAGELIST images_ = nullptr;
};

class CDialogPageTidySummary : public CDialogEx {
public:
    CDialogPageTidySummary();
    ~CDialogPageTidySummary() override;
    void RefreshSummary(const TidyJob& job);
    std::wstring DestinationText() const { return destination_.Text(); }
    void SetDestinationText(const std::wstring& text) { destination_.SetText(text); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void SetIcon(int id, HICON icon);
    HIMAGELIST images_ = nullptr;
    CMFCEditBrowseCtrl destination_;
};

// Loads an icon resource of the module at the given size.
HICON LoadSizedIcon(HINSTANCE module, int id, int size);
// The shell's small icon of a path (nullptr when it has none).
HICON ShellSmallIcon(const wchar_t* path);

}  // namespace ordvale::wizard
