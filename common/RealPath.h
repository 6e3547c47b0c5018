// Paths as the file system reaches them. Two texts can name one place: a
// symbolic link or junction leads into another folder, a short name
// ("PROGRA~1") stands for a long one, a drive letter can be mapped onto a
// folder of another drive. Where it matters that two paths are, or are
// not, the same place (a folder moved into itself, a destination inside
// the folder being tidied) the paths are compared as resolved here.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>

namespace ordvale::path {

// The final path of an item that exists, as the file system gives it for an
// open handle; false when the item cannot be opened (it does not exist).
using FinalPathLookup = std::function<bool(const std::wstring& path, std::wstring* final)>;

// The file system's answer: the item opened with backup semantics (folders
// open too) and no access asked, so that nothing another program holds
// keeps it from opening; "\\?\" and "\\?\UNC\" are taken off the result.
bool FinalPathOnDisk(const std::wstring& path, std::wstring* final);

// The path resolved: its longest leading part that exists, through the
// lookup, followed by the rest as written (an item not made yet lands where
// its existing parent really is). No trailing backslash except on a drive
// root. A path that is not absolute ("X:\..." or "\\server\share") comes
// back as written.
std::wstring RealPath(const std::wstring& path, const FinalPathLookup& lookup = FinalPathOnDisk);

// Real paths compared, letter case aside.
bool SameRealPath(const std::wstring& a, const std::wstring& b);
// Whether `path` really lies below `folder` (not the folder itself).
bool IsReallyInside(const std::wstring& path, const std::wstring& folder);

// Real paths of folders asked for over and over (the items of one folder
// share their parent), each looked up once. Nothing on disk is expected
// to change while one is in use.
class RealFolders {
public:
    explicit RealFolders(FinalPathLookup lookup = FinalPathOnDisk) : lookup_(std::move(lookup)) {}
    const std::wstring& Of(const std::wstring& folder);
    // The item's real path: its real parent folder and its own name. An
    // item that is itself a link is the link, not where it leads.
    std::wstring ItemOf(const std::wstring& item);
    void Clear() {
        known_.clear();
        last_.clear();
        lastReal_ = nullptr;
    }

private:
    FinalPathLookup lookup_;
    std::unordered_map<std::wstring, std::wstring> known_;  // by folded path
    // The folder asked for last, as written: items come by the thousand
    // from one folder and for one folder.
    std::wstring last_;
    const std::wstring* lastReal_ = nullptr;
};

}  // namespace ordvale::path
