// Owning wrappers for kernel handles, mapped views, directory searches,
// icons and image lists.
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

// A kernel handle; both NULL and INVALID_HANDLE_VALUE mean "none".
using UniqueHandle = UniqueOwner<HandleTraits>;
// A search from FindFirstFile(Ex)W, closed with FindClose.
using UniqueFind = UniqueOwner<FindTraits>;
// A folder's change notification from FindFirstChangeNotificationW.
using UniqueChangeNotification = UniqueOwner<ChangeNotificationTraits>;
// An icon the holder must destroy (not one loaded with LR_SHARED).
using UniqueIcon = UniqueOwner<IconTraits>;
// An image list; a list view that shows it must not own it too
// (LVS_SHAREIMAGELISTS).
using UniqueImageList = UniqueOwner<ImageListTraits>;

}  // namespace ordvale::win
