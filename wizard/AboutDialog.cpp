#include "AboutDialog.h"

#include "resource.h"

namespace ordvale::wizard {

CDialogAbout::CDialogAbout() : CDialogEx(IDD_ABOUT) {}

}  // namespace ordvale::wizard
