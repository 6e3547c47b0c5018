#include "engine/TypeIcons.h"

#include <shellapi.h>

#include "common/PathText.h"
#include "common/Text.h"
#include "common/win/Com.h"

namespace ordvale {

namespace {

// Types whose items carry icons of their own.
bool HasOwnIcon(const std::wstring& extension) {
    static const wchar_t* const kOwn[] = {L".exe", L".lnk", L".ico", L".cur", L".ani", L".url",
                                          L".scr", L".msc", L".cpl", L".pif", L".dll", L".appref-ms"};
    for (const wchar_t* own : kOwn)
        if (EqualsNoCase(extension, own)) return true;
    return false;
}

std::wstring FileKey(const std::wstring& path) {
    const std::wstring name = path::LastComponent(path);
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return L"<none>";
    const std::wstring extension = name.substr(dot);
    if (HasOwnIcon(extension)) return std::wstring();
    return path::FoldCase(extension);
}

}  // namespace

std::wstring IconTypeKey(const std::wstring& path) {
    // An item that cannot be found (it may have gone) shows its type's icon.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A read-only or system folder may carry an icon of its own (desktop.ini).
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) return std::wstring();
        return L"<folder>";
    }
    return FileKey(path);
}

std::wstring IconTypeKey(const ShellItem& item) {
    if (IsFile(item) && !IsFolder(item) && !item.isVirtual) return FileKey(item.path.str());
    return IconTypeKey(std::wstring(item.path));
}

HICON LoadShellIcon(const std::wstring& path, const std::wstring& key, bool small) {
    SHFILEINFOW info = {};
    const UINT size = small ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    if (key.empty()) {
        if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | size)) return info.hIcon;
        // Gone meanwhile: the icon of its type.
        if (!SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                            SHGFI_ICON | size | SHGFI_USEFILEATTRIBUTES))
            return nullptr;
        return info.hIcon;
    }
    const bool folder = key == L"<folder>";
    // The type's icon: a made-up name of the type is enough.
    const std::wstring sample = folder || key == L"<none>" ? L"item" : L"item" + key;
    if (!SHGetFileInfoW(sample.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                        sizeof(info), SHGFI_ICON | size | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    return info.hIcon;
}

void CTypeIcons::PrepareInBackground() {
    if (preparing_.joinable()) return;
    const UINT size = small_ ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    try {
        preparing_ = std::thread([size]() noexcept {
            win::ComInit com;
            SHFILEINFOW info = {};
            // The list belongs to the shell: nothing to free.
            SHGetFileInfoW(L"item", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | size);
        });
    } catch (...) {
        // No thread: the first icon asked for makes the list instead.
    }
}

CTypeIcons::~CTypeIcons() {
    if (preparing_.joinable()) preparing_.join();
}

HICON CTypeIcons::IconFor(const std::wstring& path, win::UniqueIcon* own) {
    own->Reset();
    const std::wstring key = IconTypeKey(path);
    if (key.empty()) {
        own->Reset(LoadShellIcon(path, key, small_));
        return own->Get();
    }
    auto found = byType_.find(key);
    if (found != byType_.end()) return found->second.Get();
    HICON icon = LoadShellIcon(path, key, small_);
    byType_.emplace(key, win::UniqueIcon(icon));
    return icon;
}

}  // namespace ordvale
