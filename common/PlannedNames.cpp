#include "PlannedNames.h"

#include <windows.h>

#include "FreeName.h"
#include "PathText.h"

namespace ordvale {

PlannedNames::Folder& PlannedNames::Listed(const std::wstring& folder) {
    Folder& f = folders_[path::FoldCase(path::WithoutTrailingSeparator(folder))];
    if (f.listed) return f;
    f.listed = true;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(path::Join(folder, L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return f;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring folded = path::FoldCase(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) f.foldersOnDisk.insert(folded);
        f.onDisk.insert(std::move(folded));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return f;
}

bool PlannedNames::Taken(const std::wstring& path) {
    Folder& f = Listed(path::ParentOf(path));
    const std::wstring name = path::FoldCase(path::LastComponent(path));
    return f.arrived.count(name) || f.onDisk.count(name);
}

bool PlannedNames::IsFolder(const std::wstring& path) {
    if (path::IsDriveRoot(path::WithoutTrailingSeparator(path))) return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    Folder& f = Listed(path::ParentOf(path));
    const std::wstring name = path::FoldCase(path::LastComponent(path));
    auto arrived = f.arrived.find(name);
    if (arrived != f.arrived.end()) return arrived->second;
    return f.foldersOnDisk.count(name) != 0;
}

bool PlannedNames::Empty(const std::wstring& folder) {
    Folder& f = Listed(folder);
    return f.arrived.empty() && f.onDisk.empty();
}

bool PlannedNames::Arrived(const std::wstring& path) {
    Folder& f = Listed(path::ParentOf(path));
    return f.arrived.count(path::FoldCase(path::LastComponent(path))) != 0;
}

void PlannedNames::Arrive(const std::wstring& path, bool isFolder) {
    Folder& f = Listed(path::ParentOf(path));
    const std::wstring name = path::FoldCase(path::LastComponent(path));
    f.arrived[name] = isFolder;
}

void PlannedNames::Leave(const std::wstring& path) {
    Folder& f = Listed(path::ParentOf(path));
    const std::wstring name = path::FoldCase(path::LastComponent(path));
    // What leaves is gone from the folder's names, whether it stood there
    // or was to arrive: a folder that many leave holds ever less.
    f.arrived.erase(name);
    f.onDisk.erase(name);
    f.foldersOnDisk.erase(name);
}

std::wstring PlannedNames::FreeNameIn(const std::wstring& folder, const std::wstring& name, bool isFolder) {
    if (!Taken(path::Join(folder, name))) return name;
    return FirstFreeName(name, isFolder, [&](const std::wstring& candidate) { return Taken(path::Join(folder, candidate)); });
}

}  // namespace ordvale
