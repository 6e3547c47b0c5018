// The method page (dialog 131): four radio buttons, by file type, name, size
// and creation time, each reporting the choice to the frame.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogPageTidyMethod : public CDialogEx {
public:
    CDialogPageTidyMethod();
    ~CDialogPageTidyMethod() override;
    void CheckMethod(int method);
    // The icons at the new DPI, with the title's font.
    void ApplyDpi(UINT dpi) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    // The four icons at the size the page's DPI asks for.
    void LoadIcons();
    win::UniqueImageList images_;
    win::UniqueIcon icons_[4];  // shown by the four icon statics
};

}  // namespace ordvale::wizard
