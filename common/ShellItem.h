// One object of the shell namespace as the engine and the rules see it: a
// file, a folder or a virtual object such as the desktop's computer icon.
// The record and its predicates live here, where the rules can read them;
// the shell calls that fill it are the engine's (engine/ShellItemShell.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
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
// text it holds, and takes no more room than that text (planning makes two
// records for every item of a folder, and a folder can hold 100,000 items).
class TextField {
public:
    TextField() = default;
    TextField(const wchar_t* text) { Assign(text); }        // NOLINT: a field takes text
    TextField(const std::wstring& text) { Assign(text); }   // NOLINT
    TextField& operator=(const wchar_t* text) {
        Assign(text);
        return *this;
    }
    TextField& operator=(const std::wstring& text) {
        Assign(text);
        return *this;
    }
    TextField& operator=(std::wstring&& text) {
        text_ = std::move(text);
        const std::size_t end = text_.find(L'\0');
        if (end != std::wstring::npos) text_.resize(end);
        if (text_.size() > kTextUnits - 1) text_.resize(kTextUnits - 1);
        return *this;
    }

    operator const wchar_t*() const { return text_.c_str(); }  // NOLINT: reads as its text
    const wchar_t* c_str() const { return text_.c_str(); }
    const std::wstring& str() const { return text_; }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    // The character at i; NUL at and past the end, as in the text's buffer.
    wchar_t operator[](std::size_t i) const { return i < text_.size() ? text_[i] : L'\0'; }

private:
    void Assign(const wchar_t* text) {
        std::size_t n = 0;
        if (text)
            while (n < kTextUnits - 1 && text[n]) ++n;
        text_.assign(text ? text : L"", n);
    }
    void Assign(const std::wstring& text) { Assign(text.c_str()); }

    std::wstring text_;
};

inline bool operator==(const TextField& a, const std::wstring& b) { return a.str() == b; }
inline bool operator==(const std::wstring& a, const TextField& b) { return a == b.str(); }
inline bool operator!=(const TextField& a, const std::wstring& b) { return a.str() != b; }
inline bool operator!=(const std::wstring& a, const TextField& b) { return a != b.str(); }

inline void StoreText(TextField& field, const wchar_t* text) { field = text; }
inline void StoreText(TextField& field, const std::wstring& text) { field = text; }
inline std::wstring FieldText(const TextField& field) { return field.str(); }

struct ShellItem {
    bool isDesktop = false;      // stands for the user's desktop
    uint32_t attributes = 0;     // shell flags at the last refresh
    TextField path;              // full parsing path
    bool pathCut = false;        // path held more than the field keeps and was cut
    TextField name;              // in-folder parsing name
    TextField extension;         // ".jpg" for a file that is not virtual
    bool isVirtual = false;      // name holds ":" (shell objects, drive roots)
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

// The part of name from its last "." on, or empty (for a non-virtual file).
void SetExtensionFromName(ShellItem* item);

}  // namespace ordvale
