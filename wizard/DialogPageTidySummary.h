// The summary page (dialog 204): target, method and profile as links back to
// their pages, and the destination folder box with its Reset link.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "common/TidyJob.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogPageTidySummary : public CDialogEx {
public:
    CDialogPageTidySummary();
    ~CDialogPageTidySummary() override;
    void RefreshSummary(const TidyJob& job);
    std::wstring DestinationText() const { return destination_.Text(); }
    void SetDestinationText(const std::wstring& text) { destination_.SetText(text); }
    // "Keep this folder tidy automatically" is ticked, for a Desktop or
    // Folder job (a Selection has no folder to keep tidy; the box is hidden).
    bool KeepTidy() const;
    // The method icons at the new DPI, with the title's font; the frame
    // shows the summary again with them.
    void ApplyDpi(UINT dpi) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    // The method icons at the size the page's DPI asks for.
    void LoadImages();
    void SetIcon(int id, win::UniqueIcon icon);
    int iconSize_ = 16;
    win::UniqueImageList images_;
    std::map<int, win::UniqueIcon> icons_;  // by icon static: the icon it shows
    CMFCEditBrowseCtrl destination_;
    bool folderTarget_ = false;
};

// Finish with "Keep this folder tidy automatically": the job's folder (the
// desktop directory for a Desktop job) joins the watched folders of the
// settings file, and the watcher beside the wizard is started if it is there.
void KeepFolderTidy(const TidyJob& job);

}  // namespace ordvale::wizard
