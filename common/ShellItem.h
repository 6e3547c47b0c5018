// One object of the shell namespace as the engine and the rules see it: a
// file, a folder or a virtual object such as the desktop's computer icon.
// The record and its predicates live here, where the rules can read them;
// the shell calls that fill it are the engine's (engine/ShellItemShell.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

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

struct ShellItem {
    bool isDesktop = false;      // stands for the user's desktop
    uint32_t attributes = 0;     // shell flags at the last refresh
    wchar_t path[260] = {};      // full parsing path
    bool pathCut = false;        // path held more than the field keeps and was cut
    wchar_t name[260] = {};      // in-folder parsing name
    wchar_t extension[260] = {}; // ".jpg" for a file that is not virtual
    bool isVirtual = false;      // name holds ":" (shell objects, drive roots)
    FILETIME creationTime = {};  // UTC, at the last refresh
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
