#include "PlannedNames.h"

#include <windows.h>

#include "FreeName.h"

namespace ordvale {

namespace {

bool IsRoot(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

std::wstring Trimmed(std::wstring path) {
    if (path.size() > 1 && path.back() == L'\\' && !IsRoot(path)) path.pop_back();
    return path;
}

}  // namespace

std::wstring FoldPath(std::wstring path) {
    if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

std::wstring FolderOfPath(const std::wstring& path) {
    const std::wstring p = Trimmed(path);
    if (IsRoot(p)) return p;
    const std::size_t slash = p.rfind(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    if (slash == 2 && p[1] == L':') return p.substr(0, 3);
    return p.substr(0, slash);
}

std::wstring NameOfPath(const std::wstring& path) {
    const std::wstring p = Trimmed(path);
    if (IsRoot(p)) return p.substr(0, 2);
    const std::size_t slash = p.rfind(L'\\');
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

PlannedNames::Folder& PlannedNames::Listed(const std::wstring& folder) {
    Folder& f = folders_[FoldPath(Trimmed(folder))];
    if (f.listed) return f;
    f.listed = true;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return f;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring folded = FoldPath(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) f.foldersOnDisk.insert(folded);
        f.onDisk.insert(std::move(folded));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return f;
}

bool PlannedNames::Taken(const std::wstring& path) {
    Folder& f = Listed(FolderOfPath(path));
    const std::wstring name = FoldPath(NameOfPath(path));
    if (f.arrived.count(name)) return true;
    if (f.left.count(name)) return false;
    return f.onDisk.count(name) != 0;
}

bool PlannedNames::IsFolder(const std::wstring& path) {
    if (IsRoot(Trimmed(path))) return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    Folder& f = Listed(FolderOfPath(path));
    const std::wstring name = FoldPath(NameOfPath(path));
    auto arrived = f.arrived.find(name);
    if (arrived != f.arrived.end()) return arrived->second;
    if (f.left.count(name)) return false;
    return f.foldersOnDisk.count(name) != 0;
}

bool PlannedNames::Empty(const std::wstring& folder) {
    Folder& f = Listed(folder);
    if (!f.arrived.empty()) return false;
    for (const std::wstring& name : f.onDisk)
        if (!f.left.count(name)) return false;
    return true;
}

void PlannedNames::Arrive(const std::wstring& path, bool isFolder) {
    Folder& f = Listed(FolderOfPath(path));
    const std::wstring name = FoldPath(NameOfPath(path));
    f.left.erase(name);
    f.arrived[name] = isFolder;
}

void PlannedNames::Leave(const std::wstring& path) {
    Folder& f = Listed(FolderOfPath(path));
    const std::wstring name = FoldPath(NameOfPath(path));
    f.arrived.erase(name);
    f.left.insert(name);
}

std::wstring PlannedNames::FreeNameIn(const std::wstring& folder, const std::wstring& name, bool isFolder) {
    if (!Taken(JoinPath(folder, name))) return name;
    return FirstFreeName(name, isFolder, [&](const std::wstring& candidate) { return Taken(JoinPath(folder, candidate)); });
}

}  // namespace ordvale
