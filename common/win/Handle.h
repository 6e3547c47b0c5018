// Owning wrappers for kernel handles, mapped views, directory searches,
// icons, image lists, GDI objects, device contexts and menus.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace ordvale::win {

// Owns a view from MapViewOfFile.
class MappedView {
public:
    MappedView() = default;
    explicit MappedView(void* p) : p_(p) {}
    ~MappedView() { Reset(); }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;

    void* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) UnmapViewOfFile(p_);
        p_ = nullptr;
    }

private:
    void* p_ = nullptr;
};

// Owns one value of a kind that Traits knows how to tell apart from "none"
// and to free.
template <typename Traits>
class UniqueOwner {
public:
    using Type = typename Traits::Type;
    UniqueOwner() = default;
    explicit UniqueOwner(Type value) : value_(value) {}
    ~UniqueOwner() { Reset(); }
    UniqueOwner(UniqueOwner&& other) noexcept : value_(other.Release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;

    Type Get() const { return value_; }
    bool Valid() const { return Traits::Valid(value_); }
    explicit operator bool() const { return Valid(); }
    Type Release() { return std::exchange(value_, Traits::None()); }
    void Reset(Type value = Traits::None()) {
        if (Valid()) Traits::Free(value_);
        value_ = value;
    }

private:
    Type value_ = Traits::None();
};

struct HandleTraits {
    using Type = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { CloseHandle(h); }
};

struct FindTraits {
    using Type = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { FindClose(h); }
};

struct VirtualMemoryTraits {
    using Type = void*;
    static void* None() { return nullptr; }
    static bool Valid(void* p) { return p != nullptr; }
    static void Free(void* p) { VirtualFree(p, 0, MEM_RELEASE); }
};

struct ChangeNotificationTraits {
    using Type = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { FindCloseChangeNotification(h); }
};

struct IconTraits {
    using Type = HICON;
    static HICON None() { return nullptr; }
    static bool Valid(HICON icon) { return icon != nullptr; }
    static void Free(HICON icon) { DestroyIcon(icon); }
};

struct ImageListTraits {
    using Type = HIMAGELIST;
    static HIMAGELIST None() { return nullptr; }
    static bool Valid(HIMAGELIST list) { return list != nullptr; }
    static void Free(HIMAGELIST list) { ImageList_Destroy(list); }
};

// A font, brush, pen or bitmap made by the holder (not a stock object).
template <typename Object>
struct GdiObjectTraits {
    using Type = Object;
    static Object None() { return nullptr; }
    static bool Valid(Object object) { return object != nullptr; }
    static void Free(Object object) { DeleteObject(object); }
};

struct MenuTraits {
    using Type = HMENU;
    static HMENU None() { return nullptr; }
    static bool Valid(HMENU menu) { return menu != nullptr; }
    static void Free(HMENU menu) { DestroyMenu(menu); }
};

// A memory device context from CreateCompatibleDC.
struct MemoryDCTraits {
    using Type = HDC;
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Free(HDC dc) { DeleteDC(dc); }
};

// A kernel handle; both NULL and INVALID_HANDLE_VALUE mean "none".
using UniqueHandle = UniqueOwner<HandleTraits>;
// A search from FindFirstFile(Ex)W, closed with FindClose.
using UniqueFind = UniqueOwner<FindTraits>;
// Pages from VirtualAlloc, given back whole with VirtualFree.
using UniqueVirtualMemory = UniqueOwner<VirtualMemoryTraits>;
// A folder's change notification from FindFirstChangeNotificationW.
using UniqueChangeNotification = UniqueOwner<ChangeNotificationTraits>;
// An icon the holder must destroy (not one loaded with LR_SHARED).
using UniqueIcon = UniqueOwner<IconTraits>;
// An image list; a list view that shows it must not own it too
// (LVS_SHAREIMAGELISTS).
using UniqueImageList = UniqueOwner<ImageListTraits>;

using UniqueFont = UniqueOwner<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueOwner<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueOwner<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueOwner<GdiObjectTraits<HBITMAP>>;
// A menu loaded or made by the holder; a popup attached to another menu
// goes with that menu (Release it first).
using UniqueMenu = UniqueOwner<MenuTraits>;
using UniqueMemoryDC = UniqueOwner<MemoryDCTraits>;

// A window's device context from GetDC, released with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for a scope; the one it
// replaced is selected again at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace ordvale::win
