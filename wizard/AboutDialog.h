// The About box (dialog 200): the program's icon, its name and version, OK.
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogAbout : public CDialogEx {
public:
    CDialogAbout();
};

}  // namespace ordvale::wizard
