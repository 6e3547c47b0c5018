#include "common/win/Dpi.h"

#include <commctrl.h>

#include "common/win/Handle.h"

namespace ordvale::win {

namespace {

template <typename Function>
Function LoadedFunction(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

UINT ScreenDpi() {
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const ForWindow forWindow = LoadedFunction<ForWindow>(L"user32.dll", "GetDpiForWindow");
    if (window && forWindow) {
        const UINT dpi = forWindow(window);
        if (dpi) return dpi;
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const ForDpi forDpi = LoadedFunction<ForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
}

LOGFONTW MessageFontForDpi(UINT dpi) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const ForDpi forDpi = LoadedFunction<ForDpi>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) return metrics.lfMessageFont;
    // Systems before Vista know the structure without its last field.
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    GetVersionExW(&version);
    if (version.dwMajorVersion < 6) metrics.cbSize = sizeof(metrics) - sizeof(metrics.iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(metrics.lfMessageFont), &metrics.lfMessageFont);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
    return font;
}

HICON LoadIconAtSize(HINSTANCE module, LPCWSTR id, int size) {
    // The common controls of version 6 pick the resource's image of that size
    // or scale the next larger one down; older ones stretch the nearest.
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    const auto scaleDown = LoadedFunction<ScaleDown>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scaleDown && SUCCEEDED(scaleDown(module, id, size, size, &icon)) && icon) return icon;
    return static_cast<HICON>(LoadImageW(module, id, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HICON IconAtSize(HICON icon, int size) {
    if (!icon) return nullptr;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return icon;
    const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap = {};
    if (!GetObjectW(colour ? colour.Get() : mask.Get(), sizeof(bitmap), &bitmap)) return icon;
    if (bitmap.bmWidth == size) return icon;
    HICON scaled = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    if (!scaled) scaled = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, 0));
    if (!scaled) return icon;
    DestroyIcon(icon);
    return scaled;
}

}  // namespace ordvale::win
