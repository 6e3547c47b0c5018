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

#include "SlabPool.h"
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
// million items. The name of a listed item shares the text of its path,
// of which it is the end (see StorePathAndName).
class TextField {
public:
    TextField() = default;
    TextField(const wchar_t* text) { Assign(text, Bounded(text)); }           // NOLINT: a field takes text
    TextField(const std::wstring& text) { Assign(text.c_str(), Bounded(text.c_str())); }  // NOLINT
    TextField(const TextField& other) noexcept : bits_(other.bits_) { Hold(); }
    TextField(TextField&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
    ~TextField() { Release(); }
    TextField& operator=(const TextField& other) noexcept {
        if (bits_ != other.bits_) {
            Release();
            bits_ = other.bits_;
            Hold();
        }
        return *this;
    }
    TextField& operator=(TextField&& other) noexcept {
        if (this != &other) {
            Release();
            bits_ = other.bits_;
            other.bits_ = 0;
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
    const wchar_t* c_str() const {
        const Block* b = block();
        return b ? b->Text() + (IsNamePart() ? b->nameAt : 0) : L"";
    }
    std::wstring str() const { return std::wstring(c_str(), size()); }
    std::size_t size() const {
        const Block* b = block();
        return b ? static_cast<std::size_t>(b->size) - (IsNamePart() ? b->nameAt : 0) : 0;
    }
    bool empty() const { return size() == 0; }
    // The character at i; NUL at and past the end, as in the text's buffer.
    wchar_t operator[](std::size_t i) const { return i < size() ? c_str()[i] : L'\0'; }
    bool operator==(const TextField& other) const {
        return bits_ == other.bits_ ||
               (size() == other.size() && std::wmemcmp(c_str(), other.c_str(), size()) == 0);
    }
    bool operator!=(const TextField& other) const { return !(*this == other); }
    void Swap(TextField& other) noexcept { std::swap(bits_, other.bits_); }

    // Stores a path and the name it ends in (the name begins at `nameAt`),
    // both as one text when the path is kept whole.
    static void StorePathAndName(const wchar_t* path, std::size_t length, std::size_t nameAt, TextField* pathField,
                                 TextField* nameField);

private:
    // The text follows its count of holders, its length and where the name
    // of a path begins in it (0 when it is not shared as a name).
    struct Block {
        std::atomic<uint32_t> holders;
        uint16_t size;
        uint16_t nameAt;
        wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
        const wchar_t* Text() const { return reinterpret_cast<const wchar_t*>(this + 1); }
    };
    // A field holding the name part of a path's text has the lowest bit of
    // its block's address set (blocks are aligned far beyond it).
    static constexpr uintptr_t kNamePart = 1;

    Block* block() const { return reinterpret_cast<Block*>(bits_ & ~kNamePart); }
    static std::size_t BlockBytes(std::size_t n) { return sizeof(Block) + (n + 1) * sizeof(wchar_t); }
    bool IsNamePart() const { return (bits_ & kNamePart) != 0; }

    // The length stored: up to the first NUL, at most 259.
    static std::size_t Bounded(const wchar_t* text) {
        std::size_t n = 0;
        if (text)
            while (n < kTextUnits - 1 && text[n]) ++n;
        return n;
    }
    void Assign(const wchar_t* text, std::size_t n, std::size_t nameAt = 0) {
        if (n == 0) return;
        void* room = AllocateSmall(BlockBytes(n));
        Block* b = new (room) Block{{1}, static_cast<uint16_t>(n), static_cast<uint16_t>(nameAt)};
        std::wmemcpy(b->Text(), text, n);
        b->Text()[n] = L'\0';
        bits_ = reinterpret_cast<uintptr_t>(b);
    }
    void Hold() const {
        if (Block* b = block()) b->holders.fetch_add(1, std::memory_order_relaxed);
    }
    void Release() {
        Block* b = block();
        if (b && b->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            const std::size_t bytes = BlockBytes(b->size);
            b->~Block();
            FreeSmall(b, bytes);
        }
        bits_ = 0;
    }

    uintptr_t bits_ = 0;
};

inline void TextField::StorePathAndName(const wchar_t* path, std::size_t length, std::size_t nameAt,
                                        TextField* pathField, TextField* nameField) {
    if (length < kTextUnits && nameAt > 0 && nameAt < length) {
        TextField whole;
        whole.Assign(path, length, nameAt);
        TextField name(whole);
        name.bits_ |= kNamePart;
        *pathField = std::move(whole);
        *nameField = std::move(name);
        return;
    }
    *pathField = std::wstring(path, length);
    *nameField = nameAt < length ? std::wstring(path + nameAt, length - nameAt) : std::wstring();
}

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

struct ShellItem;

// The items of a container, in order. Only the target container has any,
// so an item without children takes one pointer for them.
class ChildItems {
public:
    using List = std::vector<std::unique_ptr<ShellItem>>;

    ChildItems() = default;
    ChildItems(ChildItems&&) noexcept = default;
    ChildItems& operator=(ChildItems&&) noexcept = default;
    ~ChildItems();

    std::size_t size() const { return list_ ? list_->size() : 0; }
    bool empty() const { return size() == 0; }
    void clear() { list_.reset(); }
    void reserve(std::size_t n) { Made().reserve(n); }
    void push_back(std::unique_ptr<ShellItem> item) { Made().push_back(std::move(item)); }
    const std::unique_ptr<ShellItem>& operator[](std::size_t i) const { return (*list_)[i]; }
    const std::unique_ptr<ShellItem>& back() const { return list_->back(); }
    const std::unique_ptr<ShellItem>& front() const { return list_->front(); }
    List::const_iterator begin() const { return list_ ? list_->cbegin() : Empty().cbegin(); }
    List::const_iterator end() const { return list_ ? list_->cend() : Empty().cend(); }

private:
    List& Made() {
        if (!list_) list_ = std::make_unique<List>();
        return *list_;
    }
    static const List& Empty() {
        static const List none;
        return none;
    }
    std::unique_ptr<List> list_;
};

// What a listing of a folder read from the file system itself saw besides
// the children it keeps: the names of the hidden items it left out. With
// both, planning knows that a name is not there without asking: under Wine
// the file system looks through the whole folder for every name that is
// not there, which in a folder of a million items takes a good while.
struct FolderListing {
    bool complete = false;             // every name of the folder was read
    std::wstring folder;               // as listed, with no trailing backslash
    std::vector<std::wstring> hidden;  // names of the hidden items
};

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
    ChildItems children;         // the target container's items

    // Records come from a pool: a listing makes one for every item.
    static void* operator new(std::size_t bytes) { return AllocateSmall(bytes); }
    static void operator delete(void* record, std::size_t bytes) noexcept { FreeSmall(record, bytes); }
};

inline ChildItems::~ChildItems() = default;

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
