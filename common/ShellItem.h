// One object of the shell namespace as the engine and the rules see it: a
// file, a folder or a virtual object such as the desktop's computer icon.
// The record and its predicates live here, where the rules can read them;
// the shell calls that fill it are the engine's (engine/ShellItemShell.h).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <new>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Text.h"

namespace ordvale {

// The shell attribute flags the system reads (same values as SFGAO_*).
constexpr uint32_t kAttrCanCopy = 0x00000001;
constexpr uint32_t kAttrCanMove = 0x00000002;
constexpr uint32_t kAttrCanRename = 0x00000010;
constexpr uint32_t kAttrCanDelete = 0x00000020;
constexpr uint32_t kAttrLink = 0x00010000;
constexpr uint32_t kAttrStream = 0x00400000;
constexpr uint32_t kAttrFolder = 0x20000000;
constexpr uint32_t kAttrFileSystem = 0x40000000;

// A text field of a record: it keeps at most 259 characters, the rest of a
// longer text is cut off when it is stored. It reads as the NUL-terminated
// text it holds. It takes one pointer and the room of its text, and a field
// copied from another shares that text rather than copying it: planning
// holds a record for every item of a folder, and a folder can hold a
// million items.
class TextField {
public:
    TextField() = default;
    TextField(const wchar_t* text) { Assign(text, Bounded(text)); }           // NOLINT: a field takes text
    TextField(const std::wstring& text) { Assign(text.c_str(), Bounded(text.c_str())); }  // NOLINT
    TextField(const TextField& other) noexcept : block_(other.block_) { Hold(); }
    TextField(TextField&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    ~TextField() { Release(); }
    TextField& operator=(const TextField& other) noexcept {
        if (block_ != other.block_) {
            Release();
            block_ = other.block_;
            Hold();
        }
        return *this;
    }
    TextField& operator=(TextField&& other) noexcept {
        if (this != &other) {
            Release();
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }
    TextField& operator=(const wchar_t* text) {
        TextField(text).Swap(*this);
        return *this;
    }
    TextField& operator=(const std::wstring& text) {
        TextField(text).Swap(*this);
        return *this;
    }

    operator const wchar_t*() const { return c_str(); }  // NOLINT: reads as its text
    const wchar_t* c_str() const { return block_ ? block_->Text() : L""; }
    std::wstring str() const { return std::wstring(c_str(), size()); }
    std::size_t size() const { return block_ ? block_->size : 0; }
    bool empty() const { return size() == 0; }
    // The character at i; NUL at and past the end, as in the text's buffer.
    wchar_t operator[](std::size_t i) const { return i < size() ? block_->Text()[i] : L'\0'; }
    bool operator==(const TextField& other) const {
        return block_ == other.block_ ||
               (size() == other.size() && std::wmemcmp(c_str(), other.c_str(), size()) == 0);
    }
    bool operator!=(const TextField& other) const { return !(*this == other); }
    void Swap(TextField& other) noexcept { std::swap(block_, other.block_); }

private:
    // The text follows its count of holders and its length.
    struct Block {
        std::atomic<uint32_t> holders;
        uint32_t size;
        wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
    };

    // The length stored: up to the first NUL, at most 259.
    static std::size_t Bounded(const wchar_t* text) {
        std::size_t n = 0;
        if (text)
            while (n < kTextUnits - 1 && text[n]) ++n;
        return n;
    }
    void Assign(const wchar_t* text, std::size_t n) {
        if (n == 0) return;
        void* room = ::operator new(sizeof(Block) + (n + 1) * sizeof(wchar_t));
        block_ = new (room) Block{{1}, static_cast<uint32_t>(n)};
        std::wmemcpy(block_->Text(), text, n);
        block_->Text()[n] = L'\0';
    }
    void Hold() const {
        if (block_) block_->holders.fetch_add(1, std::memory_order_relaxed);
    }
    void Release() {
        if (block_ && block_->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            block_->~Block();
            ::operator delete(block_);
        }
        block_ = nullptr;
    }

    Block* block_ = nullptr;
};

inline bool operator==(const TextField& a, const std::wstring& b) {
    return a.size() == b.size() && std::wmemcmp(a.c_str(), b.c_str(), b.size()) == 0;
}
inline bool operator==(const std::wstring& a, const TextField& b) { return b == a; }
inline bool operator!=(const TextField& a, const std::wstring& b) { return !(a == b); }
inline bool operator!=(const std::wstring& a, const TextField& b) { return !(b == a); }

inline void StoreText(TextField& field, const wchar_t* text) { field = text; }
inline void StoreText(TextField& field, const std::wstring& text) { field = text; }
inline void StoreText(TextField& field, const TextField& text) { field = text; }
inline std::wstring FieldText(const TextField& field) { return field.str(); }

// The flags sit side by side, so that a record takes as little room as its
// fields need.
struct ShellItem {
    bool isDesktop = false;      // stands for the user's desktop
    bool pathCut = false;        // path held more than the field keeps and was cut
    bool isVirtual = false;      // name holds ":" (shell objects, drive roots)
    uint32_t attributes = 0;     // shell flags at the last refresh
    TextField path;              // full parsing path
    TextField name;              // in-folder parsing name
    TextField extension;         // ".jpg" for a file that is not virtual
    FILETIME creationTime = {};  // UTC, at the last refresh
    FILETIME lastWriteTime = {}; // UTC, at the last refresh
    uint64_t size = 0;           // bytes, for a file that is not virtual
    std::vector<std::unique_ptr<ShellItem>> children;  // the target container's items
};

inline bool IsFolder(const ShellItem& item) {
    return (item.attributes & (kAttrFileSystem | kAttrFolder)) == (kAttrFileSystem | kAttrFolder);
}
inline bool IsFile(const ShellItem& item) {
    return (item.attributes & (kAttrFileSystem | kAttrStream)) == (kAttrFileSystem | kAttrStream);
}
inline bool IsShortcut(const ShellItem& item) {
    return (item.attributes & kAttrLink) != 0;
}

// The extensions met in one listing, each text held once for all the items
// that have it.
class SharedExtensions {
public:
    const TextField& Of(const std::wstring& extension);

private:
    std::unordered_map<std::wstring, TextField> known_;
};

// The part of name from its last "." on, or empty (for a non-virtual file);
// `shared` (may be null) holds the texts of a listing's extensions.
void SetExtensionFromName(ShellItem* item, SharedExtensions* shared = nullptr);

}  // namespace ordvale
