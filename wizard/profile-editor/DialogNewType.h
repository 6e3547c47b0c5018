// New File Type (dialog 141): one file extension, normalised.
#pragma once
#include <string>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewType : public CDialogEx {
public:
    CDialogNewType();
    // Output on OK: the extension with its leading dot, letter case kept.
    std::wstring extension;

protected:
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnOK();
};

}  // namespace ordvale::wizard
