#include "PathText.h"

#include <windows.h>

#include "Text.h"

namespace ordvale::path {

bool IsDriveRoot(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    if (path.size() > 1 && path.back() == L'\\' && !IsDriveRoot(path)) path.pop_back();
    return path;
}

std::wstring WithTrailingSeparator(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

std::wstring ParentOf(const std::wstring& path) {
    const std::wstring item = WithoutTrailingSeparator(path);
    if (IsDriveRoot(item)) return item;
    const std::size_t slash = item.rfind(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    if (slash == 2 && item[1] == L':') return item.substr(0, 3);
    if (slash == 0) return L"\\";
    return item.substr(0, slash);
}

std::wstring LastComponent(const std::wstring& path) {
    const std::wstring item = WithoutTrailingSeparator(path);
    if (IsDriveRoot(item)) return item.substr(0, 2);
    const std::size_t slash = item.rfind(L'\\');
    return slash == std::wstring::npos ? item : item.substr(slash + 1);
}

std::wstring FoldCase(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return EqualsNoCase(WithoutTrailingSeparator(a), WithoutTrailingSeparator(b));
}

bool IsInside(const std::wstring& path, const std::wstring& folder) {
    const std::wstring head = WithTrailingSeparator(WithoutTrailingSeparator(folder));
    if (head.empty() || path.size() <= head.size()) return false;
    return EqualsNoCase(path.substr(0, head.size()), head);
}

}  // namespace ordvale::path
