// Filling ShellItem records. The shell namespace is the reference for what a
// container holds and which attribute flags an item has; plain file-system
// paths take the same answers from the file system directly, because
// SHGetFileInfoW costs milliseconds per item (2.4 ms at 2,000 files in a
// folder under Wine, 9.6 ms at 10,000) and a folder can hold tens of
// thousands of files.
//
// A refresh reads creation time and size through a no-share open of the
// item, so that a file another program holds open keeps its previous values.
// A directory listing already carries both, also for files in use, and a new
// item has no previous values to keep: listed items take them from the
// listing (0.06 s for 10,000 files under Wine, against 0.4 s with an open per
// item).
#include "ShellItemShell.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/PathText.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "common/win/Handle.h"
#include "ListedEntries.h"

namespace ordvale {

// Whether files of an extension are shortcuts: the Windows shell marks them
// LINK when the extension's class has an "IsShortcut" value (lnkfile, and
// InternetShortcut for .url, piffile and others). Wine's shell marks .lnk
// files only, although its InternetShortcut class has the value too; the
// program keeps the Windows answer.
bool ShortcutClasses::IsShortcut(const wchar_t* name) {
    const wchar_t* dot = wcsrchr(name, L'.');
    if (!dot || !dot[1]) return false;
    if (!lastSpelt_.empty() && lastSpelt_ == dot) return lastAnswer_;
    lastSpelt_ = dot;
    std::wstring extension = dot;
    CharLowerBuffW(&extension[0], static_cast<DWORD>(extension.size()));
    for (const auto& known : known_)
        if (known.first == extension) return lastAnswer_ = known.second;
    const bool shortcut = LookUp(extension);
    known_.emplace_back(std::move(extension), shortcut);
    return lastAnswer_ = shortcut;
}

bool ShortcutClasses::LookUp(const std::wstring& extension) {
    wchar_t progId[256] = {};
    DWORD bytes = sizeof progId - sizeof(wchar_t);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    const LONG read =
        RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(progId), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ || !progId[0]) return false;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, progId, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool shortcut =
        RegQueryValueExW(key, L"IsShortcut", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return shortcut;
}

namespace {

using win::ComPtr;

// The flags the shell gives every file-system object, and what folders and
// files add to them, as SHGetFileInfoW(SHGFI_ATTRIBUTES) reports them under
// Wine (ShellItemTest holds the table): file 0x40400177, folder 0xF080017F
// (HASSUBFOLDER whether or not it has any), plus LINK for shortcuts, HIDDEN
// for hidden items and READONLY for read-only files. The system attribute
// gives no flag.
constexpr uint32_t kSfgaoCommon = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANMOVE |
                                  SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
                                  SFGAO_HASPROPSHEET | SFGAO_DROPTARGET;
constexpr uint32_t kSfgaoFolder = kSfgaoCommon | SFGAO_STORAGE | SFGAO_FOLDER |
                                  SFGAO_FILESYSANCESTOR | SFGAO_STORAGEANCESTOR |
                                  SFGAO_HASSUBFOLDER;
constexpr uint32_t kSfgaoFile = kSfgaoCommon | SFGAO_STREAM;

struct PidlFree {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
using Pidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool EndsWithNoCase(const wchar_t* text, std::size_t length, const wchar_t* tail) {
    const std::size_t n = wcslen(tail);
    return length >= n && EqualsNoCase(text + length - n, n, tail, n);
}

// "X:\" followed by one or more components that name the same object for
// the file system and for the shell: no empty, "." or ".." components (the
// shell does not resolve those), none ending in a dot or a blank (Win32
// drops those), no wildcards, streams or forward slashes, no "\\?\"
// prefix. Drive roots, UNC paths, "::{...}" names and everything else go to
// the shell.
bool IsPlainPath(const wchar_t* path) {
    if (!path || !IsDriveLetter(path[0]) || path[1] != L':' || path[2] != L'\\' || !path[3])
        return false;
    std::size_t start = 3;
    for (std::size_t i = 3;; ++i) {
        const wchar_t c = path[i];
        if (c == L'\\' || c == L'\0') {
            const std::size_t n = i - start;
            if (n == 0) return false;
            const wchar_t last = path[i - 1];
            if (last == L'.' || last == L' ') return false;  // also "." and ".."
            if (c == L'\0') return true;
            start = i + 1;
        } else if (c == L':' || c == L'*' || c == L'?' || c == L'/' || c == L'"' || c == L'<' ||
                   c == L'>' || c == L'|' || c < 32) {
            return false;
        }
    }
}

// A folder whose name ends in ".{CLSID}", or a read-only or system folder
// with a desktop.ini, can be a junction into a shell extension on Windows:
// its flags are whatever that extension says.
bool MayBeShellJunction(const std::wstring& path, DWORD fileAttributes) {
    const std::size_t slash = path.rfind(L'\\');
    const std::size_t dot = path.rfind(L".{");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) &&
        path.back() == L'}')
        return true;
    if (fileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) {
        return GetFileAttributesW((path + L"\\desktop.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    return false;
}

// The shell's flags for a file-system object, from its file attributes and
// its name (the same as SHGetFileInfoW's, see ShellItemTest). False when the
// shell has to be asked instead: file-system links and possible junctions.
bool FlagsFromFileAttributes(const wchar_t* path, std::size_t n, DWORD fileAttributes,
                             ShortcutClasses* shortcuts, uint32_t* flags) {
    if (fileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    uint32_t out;
    if (fileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (MayBeShellJunction(std::wstring(path, n), fileAttributes)) return false;
        // FILE_ATTRIBUTE_READONLY means "customised" on a folder, not
        // read-only, and gives no flag.
        out = kSfgaoFolder;
    } else {
        out = kSfgaoFile;
        const wchar_t* name = path + n;
        while (name > path && name[-1] != L'\\') --name;
        if (shortcuts->IsShortcut(name)) out |= SFGAO_LINK;
        // The Windows shell opens .zip and .cab files as folders (zipfldr and
        // cabview) and reports them as FOLDER as well as STREAM. Wine's shell
        // reports STREAM only; the program is made for Windows and keeps the
        // Windows answer.
        if (EndsWithNoCase(path, n, L".zip") || EndsWithNoCase(path, n, L".cab"))
            out |= SFGAO_FOLDER;
        if (fileAttributes & FILE_ATTRIBUTE_READONLY) out |= SFGAO_READONLY;
    }
    if (fileAttributes & FILE_ATTRIBUTE_HIDDEN) out |= SFGAO_HIDDEN;
    *flags = out;
    return true;
}

ComPtr<IShellFolder> DesktopFolder() {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Put()))) desktop.Reset();
    return desktop;
}

Pidl ParsePath(IShellFolder* desktop, const wchar_t* path) {
    PIDLIST_RELATIVE pidl = nullptr;
    std::wstring name = path;  // ParseDisplayName takes a writable string
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &pidl, nullptr)))
        return Pidl();
    return Pidl(reinterpret_cast<ITEMIDLIST*>(pidl));
}

bool AttributesOfPidl(const ITEMIDLIST* pidl, uint32_t* flags) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_ATTRIBUTES))
        return false;
    *flags = info.dwAttributes;
    return true;
}

std::wstring DisplayName(IShellFolder* folder, const ITEMIDLIST* child, SHGDNF how) {
    STRRET ret = {};
    std::wstring out;
    if (FAILED(folder->GetDisplayNameOf(reinterpret_cast<PCUITEMID_CHILD>(child), how, &ret)))
        return out;
    wchar_t* text = nullptr;
    if (SUCCEEDED(StrRetToStrW(&ret, reinterpret_cast<PCUITEMID_CHILD>(child), &text)) && text) {
        out = text;
        CoTaskMemFree(text);
    }
    return out;
}

// Creation time and size through a read handle that shares nothing: an
// object another program holds open keeps the values of the last refresh.
void RefreshTimeAndSize(ShellItem* item) {
    const bool wantSize = !item->isVirtual && IsFile(*item);
    if (!wantSize) item->size = 0;
    win::UniqueHandle h(CreateFileW(item->path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h) return;
    FILETIME created, written;
    if (GetFileTime(h.Get(), &created, nullptr, &written)) {
        item->creationTime = created;
        item->lastWriteTime = written;
    }
    LARGE_INTEGER size;
    if (wantSize && GetFileSizeEx(h.Get(), &size)) item->size = static_cast<uint64_t>(size.QuadPart);
}

enum class FastAnswer { Flags, Missing, AskShell };

FastAnswer FastFlags(const wchar_t* path, ShortcutClasses* shortcuts, uint32_t* flags,
                     WIN32_FILE_ATTRIBUTE_DATA* seen = nullptr) {
    if (!IsPlainPath(path)) return FastAnswer::AskShell;
    WIN32_FILE_ATTRIBUTE_DATA own;
    WIN32_FILE_ATTRIBUTE_DATA& data = seen ? *seen : own;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        data.dwFileAttributes = INVALID_FILE_ATTRIBUTES;
        // A plain path the file system cannot find is gone for the shell too.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FastAnswer::Missing
                   : FastAnswer::AskShell;
    }
    return FlagsFromFileAttributes(path, wcslen(path), data.dwFileAttributes, shortcuts, flags)
               ? FastAnswer::Flags
               : FastAnswer::AskShell;
}

// Refresh, with the values already at hand when the item comes from a
// directory listing: its attributes, creation time and size are taken from
// there instead of asking again per item, which costs more than the listing
// itself in a large folder.
void RefreshItem(ShellItem* item, const WIN32_FIND_DATAW* listed, ShortcutClasses* shortcuts) {
    const DWORD* listedAttributes = listed ? &listed->dwFileAttributes : nullptr;
    if (item->isDesktop) item->size = 0;
    uint32_t flags = 0;
    FastAnswer answer = FastAnswer::AskShell;
    if (listedAttributes) {
        if (FlagsFromFileAttributes(item->path.c_str(), item->path.size(), *listedAttributes, shortcuts, &flags))
            answer = FastAnswer::Flags;
    } else {
        answer = FastFlags(item->path, shortcuts, &flags);
    }
    if (answer == FastAnswer::Flags ||
        (answer == FastAnswer::AskShell && ShellAttributes(item->path, item->isDesktop, &flags)))
        item->attributes = flags;
    if (listed && answer == FastAnswer::Flags) {
        item->creationTime = listed->ftCreationTime;
        item->lastWriteTime = listed->ftLastWriteTime;
        item->size = !item->isVirtual && IsFile(*item)
                         ? (static_cast<uint64_t>(listed->nFileSizeHigh) << 32) | listed->nFileSizeLow
                         : 0;
        return;
    }
    RefreshTimeAndSize(item);
}

void AppendChild(ShellItem* parent, const std::wstring& path, const wchar_t* name, std::size_t nameLength,
                 const WIN32_FIND_DATAW* listed, ShortcutClasses* shortcuts, SharedExtensions* extensions) {
    auto child = std::make_unique<ShellItem>();
    child->pathCut = path.size() >= kTextUnits;
    // The name ends the path as a rule; then both share one text.
    const std::size_t nameAt = path.size() - nameLength;
    if (nameLength < path.size() && path[nameAt - 1] == L'\\' &&
        path.compare(nameAt, nameLength, name, nameLength) == 0) {
        TextField::StorePathAndName(path.c_str(), path.size(), nameAt, &child->path, &child->name);
    } else {
        child->path = path;
        child->name = std::wstring(name, nameLength);
    }
    child->isVirtual = wcschr(child->name, L':') != nullptr;
    RefreshItem(child.get(), listed, shortcuts);
    if (!child->isVirtual && IsFile(*child)) SetExtensionFromName(child.get(), extensions);
    parent->children.push_back(std::move(child));
}

// The path with each component spelt as on disk, the way the shell gives
// its children's paths back ("c:\USERS\x" -> "C:\users\x"; short names
// become long ones). False when a component cannot be found.
bool SpeltAsOnDisk(const std::wstring& path, std::wstring* out) {
    *out = path.substr(0, 3);
    (*out)[0] = static_cast<wchar_t>(towupper((*out)[0]));
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        WIN32_FIND_DATAW found;
        const std::wstring probe = *out + path.substr(start, end - start);
        if (!win::UniqueFind(FindFirstFileExW(probe.c_str(), FindExInfoBasic, &found,
                                              FindExSearchNameMatch, nullptr, 0)))
            return false;
        *out += found.cFileName;
        if (end < path.size()) *out += L'\\';
        start = end + 1;
    }
    return true;
}

// Wine gives back what a closed search kept of its folder when the process
// next reads a folder, whichever: a look for one name that is there (read
// as such, without going through the folder) makes it do so at once.
// Elsewhere it is one quick look more.
void LetGoOfClosedSearches(const std::wstring& base, const wchar_t* presentName) {
    WIN32_FIND_DATAW found;
    win::UniqueFind(FindFirstFileExW((base + presentName).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, 0));
}

// A plain file-system folder read straight from the file system: the same
// objects the shell lists without SHCONTF_INCLUDEHIDDEN (hidden ones left
// out; Wine marks dot files hidden), the same names and flags, and the same
// order, since the shell lists in directory order too. False when the
// folder is not such a folder and the shell has to list it.
bool ListFolderDirectly(ShellItem* item, FolderListing* listing) {
    std::wstring folder = item->path.str();
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    const bool root = folder.size() == 3 && IsDriveLetter(folder[0]) && folder[1] == L':' &&
                      folder[2] == L'\\';
    if (!root && !IsPlainPath(folder.c_str())) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &data)) return false;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    if (!root && MayBeShellJunction(folder, data.dwFileAttributes)) return false;
    std::wstring base;
    if (!SpeltAsOnDisk(folder, &base)) return false;
    if (!root) base += L'\\';

    WIN32_FIND_DATAW found;
    win::UniqueFind find(FindFirstFileExW((base + L'*').c_str(), FindExInfoBasic, &found,
                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        if (listing) {
            listing->folder = path::WithoutTrailingSeparator(base);
            listing->complete = true;
        }
        return true;
    }
    ListedEntries entries;
    std::vector<std::wstring> hidden;
    std::wstring firstName;
    do {
        const wchar_t* name = found.cFileName;
        if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) {
            if (listing) hidden.emplace_back(name);
            continue;
        }
        if (firstName.empty()) firstName = name;
        entries.Add(found, wcslen(name));
    } while (FindNextFileW(find.Get(), &found));
    // A listing that stopped short of the end says nothing of the names it
    // did not reach.
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    find.Reset();
    if (!firstName.empty()) LetGoOfClosedSearches(base, firstName.c_str());

    ShortcutClasses shortcuts;
    SharedExtensions extensions;
    std::wstring path;
    if (entries.size()) item->children.reserve(entries.size());
    // A record reads these fields of a listed item, and only these.
    WIN32_FIND_DATAW listed = {};
    entries.TakeEach([&](const ListedEntries::Entry& entry) {
        listed.dwFileAttributes = entry.attributes;
        listed.ftCreationTime = entry.creationTime;
        listed.ftLastWriteTime = entry.lastWriteTime;
        listed.nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
        listed.nFileSizeLow = static_cast<DWORD>(entry.size);
        path.assign(base).append(entry.Name(), entry.nameLength);
        AppendChild(item, path, entry.Name(), entry.nameLength, &listed, &shortcuts, &extensions);
    });
    if (listing && complete) {
        listing->folder = path::WithoutTrailingSeparator(base);
        listing->hidden = std::move(hidden);
        listing->complete = true;
    }
    return true;
}

void ListThroughShell(ShellItem* item) {
    ComPtr<IShellFolder> desktop = DesktopFolder();
    if (!desktop) return;
    ComPtr<IShellFolder> folder;
    if (item->isDesktop) {
        folder = desktop;
    } else {
        if (!item->path[0]) return;
        Pidl pidl = ParsePath(desktop.Get(), item->path);
        if (!pidl) return;
        if (FAILED(desktop->BindToObject(reinterpret_cast<PCUIDLIST_RELATIVE>(pidl.get()), nullptr,
                                         IID_IShellFolder,
                                         reinterpret_cast<void**>(folder.Put()))))
            return;
    }
    ComPtr<IEnumIDList> list;
    // S_FALSE also means "nothing to list", with no enumerator.
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, list.Put()) != S_OK ||
        !list)
        return;
    ShortcutClasses shortcuts;
    SharedExtensions extensions;
    PITEMID_CHILD child = nullptr;
    while (list->Next(1, &child, nullptr) == S_OK) {
        Pidl owned(reinterpret_cast<ITEMIDLIST*>(child));
        const std::wstring path = DisplayName(folder.Get(), owned.get(), SHGDN_FORPARSING);
        const std::wstring name =
            DisplayName(folder.Get(), owned.get(), SHGDN_INFOLDER | SHGDN_FORPARSING);
        AppendChild(item, path, name.c_str(), name.size(), nullptr, &shortcuts, &extensions);
    }
}

// Everything up to the last backslash, keeping the backslash of a root:
// "C:\a\b.txt" -> "C:\a", "D:\photos" -> "D:\", "D:\" stays, "C:\a\" -> "C:\a".
std::wstring WithoutLastComponent(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':' ? path.substr(0, 2)
                                                                             : std::wstring();
    }
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    if (slash == 0) return path.size() > 1 && path[1] == L'\\' ? path.substr(0, 2) : L"\\";
    if (slash == 1 && path[0] == L'\\') return path.substr(0, 2);
    return path.substr(0, slash);
}

}  // namespace

bool ShellAttributes(const wchar_t* path, bool desktop, uint32_t* flags) {
    ComPtr<IShellFolder> shell = DesktopFolder();
    if (!shell) return false;
    if (!path || !path[0]) {
        // The desktop item before GetPath: the root of the namespace.
        if (!desktop) return false;
        ITEMIDLIST empty = {};
        return AttributesOfPidl(&empty, flags);
    }
    Pidl pidl = ParsePath(shell.Get(), path);
    return pidl && AttributesOfPidl(pidl.get(), flags);
}

bool FastAttributes(const wchar_t* path, uint32_t* flags) {
    ShortcutClasses shortcuts;
    return FastFlags(path, &shortcuts, flags) == FastAnswer::Flags;
}

void EnumerateChildrenThroughShell(ShellItem* item) {
    try {
        item->children.clear();
        ListThroughShell(item);
    } catch (...) {
    }
}

void ResetItem(ShellItem* item) {
    *item = ShellItem();
}

void SetPath(ShellItem* item, const wchar_t* path) {
    if (path) {
        item->isDesktop = false;
        StoreText(item->path, path);
        item->pathCut = BoundedLength(path, kTextUnits) >= kTextUnits;
    } else {
        item->isDesktop = true;
        item->isVirtual = true;
        item->pathCut = false;
        item->path = L"";
    }
}

const wchar_t* GetPath(ShellItem* item) {
    if (item->isDesktop) {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, folder)))
            folder[0] = L'\0';
        StoreText(item->path, folder);
    }
    return item->path;
}

void Refresh(ShellItem* item) {
    try {
        ShortcutClasses shortcuts;
        RefreshItem(item, nullptr, &shortcuts);
    } catch (...) {
    }
}

void RefreshAttributes(ShellItem* item, ShortcutClasses* shortcuts, WIN32_FILE_ATTRIBUTE_DATA* seen) {
    if (seen) seen->dwFileAttributes = INVALID_FILE_ATTRIBUTES;
    try {
        ShortcutClasses own;
        uint32_t flags = 0;
        const FastAnswer answer = FastFlags(item->path, shortcuts ? shortcuts : &own, &flags, seen);
        if (answer == FastAnswer::Flags ||
            (answer == FastAnswer::AskShell && ShellAttributes(item->path, item->isDesktop, &flags)))
            item->attributes = flags;
    } catch (...) {
    }
}

void EnumerateChildren(ShellItem* item, FolderListing* listing) {
    if (listing) *listing = FolderListing();
    try {
        item->children.clear();
        if (item->isDesktop || !ListFolderDirectly(item, listing)) {
            if (listing) *listing = FolderListing();
            ListThroughShell(item);
        }
    } catch (...) {
        if (listing) *listing = FolderListing();
    }
}

void AddSelected(ShellItem* container, const wchar_t* path) {
    try {
        const std::wstring full = path ? path : L"";
        auto item = std::make_unique<ShellItem>();
        SetPath(item.get(), full.c_str());
        std::wstring name = full;
        if (!name.empty() && name.back() == L'\\') name.pop_back();
        const std::size_t slash = name.rfind(L'\\');
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
        StoreText(item->name, name);
        item->isVirtual = wcschr(item->name, L':') != nullptr;
        Refresh(item.get());
        if (!item->isVirtual && IsFile(*item)) SetExtensionFromName(item.get());
        container->children.push_back(std::move(item));
        SetPath(container, WithoutLastComponent(full).c_str());
    } catch (...) {
    }
}

}  // namespace ordvale
