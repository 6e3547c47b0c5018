// The DPI a window is shown at and sizes scaled to it: icons, image lists
// and list columns are made at the size the window's DPI asks for.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace ordvale::win {

constexpr UINT kDefaultDpi = 96;

// The window's DPI (GetDpiForWindow where the system has it, else the
// screen's LOGPIXELSX); the screen's when there is no window.
UINT WindowDpi(HWND window);

// A length in pixels at 96 DPI, at the given DPI.
inline int ScaleForDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

// A system metric at the given DPI (GetSystemMetricsForDpi where the system
// has it, else the metric scaled from the system's DPI).
int SystemMetricForDpi(int index, UINT dpi);

// The system's message font as it is at the given DPI
// (SystemParametersInfoForDpi where the system has it, else the system's
// font with its height scaled from the system's DPI).
LOGFONTW MessageFontForDpi(UINT dpi);

// Icon sizes at a DPI: small (16 at 96) and large (32 at 96).
inline int SmallIconSize(UINT dpi) { return SystemMetricForDpi(SM_CXSMICON, dpi); }
inline int LargeIconSize(UINT dpi) { return SystemMetricForDpi(SM_CXICON, dpi); }

// Loads an icon resource of the module at a square size, from the image the
// resource carries at that size or the next larger one scaled down; the
// caller owns it.
HICON LoadIconAtSize(HINSTANCE module, LPCWSTR id, int size);

// The icon at a square size: itself when it has that size, else a scaled
// copy (the original is destroyed). The caller owns the result.
HICON IconAtSize(HICON icon, int size);

}  // namespace ordvale::win
