// The names folders will hold once planned operations have run, without
// running them: what is on disk now (each folder listed once, when it is
// first asked about), less what is planned to leave, plus what is planned
// to arrive. Planning ahead with it predicts the names the operations will
// meet, so a preview can say that "a.jpg" will arrive as "a (2).jpg".
// Names compare without regard to letter case.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace ordvale {

class PlannedNames {
public:
    // Whether something will stand at the full path.
    bool Taken(const std::wstring& path);
    // Whether a folder will stand at the full path.
    bool IsFolder(const std::wstring& path);
    // Whether the folder will hold nothing.
    bool Empty(const std::wstring& folder);

    // Whether what will stand at the full path is planned to arrive there.
    bool Arrived(const std::wstring& path);

    void Arrive(const std::wstring& path, bool isFolder);
    void Leave(const std::wstring& path);

    // The name an item called `name` gets in `folder`: the name itself when
    // it is free, else the first free numbered form ("a (2).jpg"); empty
    // when none is free.
    std::wstring FreeNameIn(const std::wstring& folder, const std::wstring& name, bool isFolder);

private:
    struct Folder {
        bool listed = false;
        std::unordered_set<std::wstring> onDisk;        // folded names, less those that left
        std::unordered_set<std::wstring> foldersOnDisk; // folded names of folders
        std::unordered_map<std::wstring, bool> arrived; // folded name -> is a folder
    };
    Folder& Listed(const std::wstring& folder);

    std::unordered_map<std::wstring, Folder> folders_;  // by folded folder path
};

}  // namespace ordvale
