// The target page (dialog 129): three command links, Desktop, Folder and
// Selection, each reporting its choice to the frame.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "CommandLinkButton.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogPageTidyTarget : public CDialogEx {
public:
    CDialogPageTidyTarget();
    ~CDialogPageTidyTarget() override;
    CCommandLinkButton& Link(int index) { return links_[index]; }
    // Shows the job's target as the one chosen: a folder's path under the
    // Folder link's note. Returns that target's link, for the focus.
    HWND ShowChoice(int32_t target, const wchar_t* folder);
    // The links' icons and fonts at the new DPI, with the title's.
    void ApplyDpi(UINT dpi) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // The links' icons at the size the page's DPI asks for.
    void LoadIcons();
    static constexpr int kLinkIconSize = 64;  // at 96 DPI
    CCommandLinkButton links_[3];
    win::UniqueImageList images_;
};

}  // namespace ordvale::wizard
