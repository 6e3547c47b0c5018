// Helpers shared by the tests: temporary folders and whole-file I/O.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool RemoveTree(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool WriteText(const std::wstring& path, const std::string& utf8);
std::vector<unsigned char> ReadBytes(const std::wstring& path);
std::string ReadUtf8(const std::wstring& path);
bool MakeFolder(const std::wstring& path);
// Every file and folder under a folder, by path relative to it, with each
// file's content ("<folder>" for a folder); ShowTree makes it one line each.
std::map<std::wstring, std::string> FolderTree(const std::wstring& root);
std::string ShowTree(const std::map<std::wstring, std::string>& tree);
// A calendar date (and hour) as a FILETIME, read as UTC.
FILETIME DateTime(int year, int month, int day, int hour = 0);
// The id of a run that began `seconds` ago, as its journal names it.
std::wstring RunIdSecondsAgo(unsigned seconds);
// Sets the last-write time (a FILETIME value) of a file or folder.
bool SetLastWriteTime(const std::wstring& path, uint64_t time);
// The last-write time of a file or folder, 0 when it cannot be read.
uint64_t LastWriteTime(const std::wstring& path);
// A real shell shortcut (.lnk) at `at` pointing to `target`; COM must be initialised.
bool MakeShortcut(const std::wstring& at, const std::wstring& target);
// What a shortcut starts; `loaded` is false when `at` is no readable shortcut.
struct ShortcutContent {
    bool loaded = false;
    std::wstring target, arguments;
};
ShortcutContent ReadShortcut(const std::wstring& at);

// What a program's version resource says: the fixed file and product versions
// as "a.b.c.d" and the texts of its first translation (CompanyName,
// ProductVersion, ...). All empty when the file has no version resource.
struct VersionResource {
    std::wstring fileVersion, productVersion;
    std::map<std::wstring, std::wstring> texts;
};
VersionResource ReadVersionResource(const std::wstring& path);

// The folder of the running test program, and the build's bin folder beside it.
std::wstring TestProgramFolder();
std::wstring BinFolder();
// The build's dist folder beside bin: the setup program.
std::wstring DistFolder();

// Serialised little-endian pieces, to spell out expected job files.
void AppendInt32(std::vector<unsigned char>* out, int32_t value);
void AppendText(std::vector<unsigned char>* out, const std::wstring& text);

// For readable failure messages.
std::string Narrow(const std::wstring& text);

// Other names for one folder. Each says why when the platform cannot make
// it, so that a test can skip with that reason.
// A folder link at `link` leading to `target`: a symbolic link or a
// junction; under Wine, whose calls for them make nothing, a link of the
// host's file system, which Wine shows as a reparse point.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::string* why);
// The item's short (8.3) path, or empty when there is none other than the
// long one.
std::wstring ShortPathOf(const std::wstring& path, std::string* why);
// A free drive letter mapped onto a folder while the object lives
// (DefineDosDevice; under Wine, where such a mapping does not reach the
// file system, the prefix's own link for the drive). Root() is "X:\",
// empty when no drive could be mapped.
class MappedDrive {
public:
    explicit MappedDrive(const std::wstring& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    const std::wstring& Root() const { return root_; }
    const std::string& Why() const { return why_; }

private:
    std::wstring root_;
    std::wstring device_;      // "X:", defined through DefineDosDevice
    std::wstring folder_;
    std::string hostLink_;     // the prefix's drive link made for it
    std::string why_;
};

// One other name of a folder, or why the platform cannot make it.
struct OtherName {
    std::string way;    // "folder link", "short name", "mapped drive"
    std::wstring path;  // empty when it could not be made
    std::string why;
    std::shared_ptr<MappedDrive> drive;  // keeps a mapped drive while the name is used
};
// The folder's other names: a link made at `linkAt`, its short name, a
// drive mapped onto it.
std::vector<OtherName> OtherNamesOf(const std::wstring& folder, const std::wstring& linkAt);

}  // namespace testing_support
