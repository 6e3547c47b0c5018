// Shell icons of items, looked up once per file type. Asking the shell for
// an item's own icon costs milliseconds a time under Wine; most items look
// like every other item of their type, so their type's icon is taken from a
// cache and only items that carry icons of their own (programs, shortcuts,
// icon files, customised folders) are asked for one by one.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <unordered_map>

#include "common/ShellItem.h"
#include "common/win/Handle.h"

namespace ordvale {

// The key of the icon an item shows: "<folder>", "<none>" (no extension) or
// its folded extension; empty when the item has an icon of its own and must
// be asked for by its path.
std::wstring IconTypeKey(const std::wstring& path);
// The same for an item refreshed before: a file's key comes from its name
// alone, without asking the file system again.
std::wstring IconTypeKey(const ShellItem& item);

// The shell's icon for the item's path (owned by the caller), or for its
// type when key is not empty.
HICON LoadShellIcon(const std::wstring& path, const std::wstring& key, bool small);

class CTypeIcons {
public:
    explicit CTypeIcons(bool small) : small_(small) {}

    // The icon for the item. A type icon belongs to the cache; an item's own
    // icon is handed over in *own, which the caller keeps while it shows it.
    HICON IconFor(const std::wstring& path, win::UniqueIcon* own);

    // Has the shell make its image list of type icons, on a thread of its
    // own: the shell makes it on the first icon asked for, which takes a
    // good while, and the first item's icon then comes at once. The thread
    // ends before the cache does.
    void PrepareInBackground();
    ~CTypeIcons();
    CTypeIcons(const CTypeIcons&) = delete;
    CTypeIcons& operator=(const CTypeIcons&) = delete;

private:
    bool small_;
    std::unordered_map<std::wstring, win::UniqueIcon> byType_;
    std::thread preparing_;
};

}  // namespace ordvale
