#include "ProfilePane.h"

namespace ordvale::wizard {

CProfilePane::~CProfilePane() {
    if (icon_) DestroyIcon(icon_);
}

void CProfilePane::SetIcon(int staticId, HICON icon) {
    SendDlgItemMessageW(Handle(), staticId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (icon_ && icon_ != icon) DestroyIcon(icon_);
    icon_ = icon;
}

}  // namespace ordvale::wizard
