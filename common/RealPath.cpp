#include "RealPath.h"

#include <windows.h>

#include <vector>

#include "PathText.h"
#include "win/Handle.h"

namespace ordvale::path {

namespace {

bool IsAbsolute(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') ||
           (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\');
}

// "\\?\C:\a" -> "C:\a", "\\?\UNC\server\share" -> "\\server\share".
std::wstring WithoutLongPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

}  // namespace

bool FinalPathOnDisk(const std::wstring& path, std::wstring* final) {
    win::UniqueHandle h(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h) return false;
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(h.Get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return false;
        if (n < buffer.size()) {
            *final = WithoutLongPrefix(std::wstring(buffer.data(), n));
            return true;
        }
        buffer.resize(n + 1);
    }
}

std::wstring RealPath(const std::wstring& path, const FinalPathLookup& lookup) {
    const std::wstring whole = WithoutTrailingSeparator(path);
    if (!IsAbsolute(whole)) return whole;
    // From the whole path up, the first part that exists is resolved; the
    // names below it are put back as they were written.
    std::wstring head = whole, rest;
    for (;;) {
        std::wstring final;
        if (lookup(head, &final) && IsAbsolute(final)) {
            final = WithoutTrailingSeparator(final);
            return rest.empty() ? final : Join(final, rest);
        }
        const std::wstring parent = ParentOf(head);
        if (parent.empty() || parent == head) return whole;
        const std::wstring name = LastComponent(head);
        rest = rest.empty() ? name : name + L"\\" + rest;
        head = parent;
    }
}

bool SameRealPath(const std::wstring& a, const std::wstring& b) {
    return SamePath(a, b) || SamePath(RealPath(a), RealPath(b));
}

bool IsReallyInside(const std::wstring& path, const std::wstring& folder) {
    return IsInside(path, folder) || IsInside(RealPath(path), RealPath(folder));
}

const std::wstring& RealFolders::Of(const std::wstring& folder) {
    if (lastReal_ && folder == last_) return *lastReal_;
    std::wstring key = FoldCase(WithoutTrailingSeparator(folder));
    auto found = known_.find(key);
    if (found == known_.end()) found = known_.emplace(std::move(key), RealPath(folder, lookup_)).first;
    last_ = folder;
    lastReal_ = &found->second;  // nodes of the map stay where they are
    return found->second;
}

std::wstring RealFolders::ItemOf(const std::wstring& item) {
    const std::wstring whole = WithoutTrailingSeparator(item);
    const std::wstring parent = ParentOf(whole);
    if (parent.empty() || parent == whole) return RealPath(whole, lookup_);
    return Join(Of(parent), LastComponent(whole));
}

}  // namespace ordvale::path
