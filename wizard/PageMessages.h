// The private messages by which the pages talk to the wizard frame.
#pragma once
#include <windows.h>

namespace ordvale::wizard {

constexpr UINT WM_TARGET_CHOSEN = WM_USER + 9000;   // wParam: 0 Desktop, 1 Folder, 2 Selection
constexpr UINT WM_METHOD_CHOSEN = WM_USER + 9001;   // wParam: choice position
constexpr UINT WM_GO_TO_PAGE = WM_USER + 9100;      // wParam: 0, 2 or 3
constexpr UINT WM_RESET_DESTINATION = WM_USER + 9101;
constexpr UINT WM_PREVIEW_RUN = WM_USER + 9102;     // the summary page's Preview button
// Posted by the frame to itself: report the paths the command line left out.
constexpr UINT WM_START_PROBLEMS = WM_USER + 9200;
// Posted to the frame: more starts of the same selection have come.
constexpr UINT WM_START_GATHERED = WM_USER + 9201;
// Posted by the frame to itself after a change of DPI, once the pages have
// their icons at the new size: the summary shows the job again with them.
constexpr UINT WM_REFRESH_SUMMARY = WM_USER + 9202;

}  // namespace ordvale::wizard
