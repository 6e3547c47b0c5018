// The profile-name dialog (dialog 161): a name for a new profile (blank or
// copied from a template), for Save As, or for Rename. Its inputs and
// outputs are the request, set before it opens and read after it closes.
#pragma once
#include "ProfileSession.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogProfileNew : public CDialogEx {
public:
    CDialogProfileNew();
    editor::ProfileNameRequest request;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void HideOptions();
    void OnOK();
};

}  // namespace ordvale::wizard
