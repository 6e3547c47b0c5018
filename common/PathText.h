// Paths as text: joining, splitting and comparing "X:\..." paths without
// asking the file system. A drive root keeps its backslash everywhere
// ("C:" alone names the current folder of drive C, not its root).
#pragma once

#include <string>

namespace ordvale::path {

// "C:\" (and "c:/" is not a path here: only backslashes separate).
bool IsDriveRoot(const std::wstring& path);

// One trailing backslash removed, except from a drive root and from "\".
std::wstring WithoutTrailingSeparator(std::wstring path);

// Ends in exactly one backslash; the empty path stays empty.
std::wstring WithTrailingSeparator(std::wstring path);

// folder + "\" + name, with no doubled backslash after a root ("C:\" + "a"
// is "C:\a"); an empty folder gives the name.
std::wstring Join(const std::wstring& folder, const std::wstring& name);

// The folder that holds the item: "C:\a\b.txt" -> "C:\a", "C:\a" -> "C:\",
// "C:\a\" -> "C:\" (a trailing backslash is not a component), "C:\" stays;
// empty for a bare name.
std::wstring ParentOf(const std::wstring& path);

// The item's own name: "C:\a\b.txt" -> "b.txt", "C:\a\" -> "a"; a drive
// root gives "C:", a bare name itself.
std::wstring LastComponent(const std::wstring& path);

// The text in upper case, as a key for comparing paths and names without
// regard to letter case (the file system's rule, not the locale's).
std::wstring FoldCase(std::wstring text);

// The same path, letter case and one trailing backslash aside.
bool SamePath(const std::wstring& a, const std::wstring& b);

// Whether path lies below folder (not the folder itself), letter case aside.
bool IsInside(const std::wstring& path, const std::wstring& folder);

}  // namespace ordvale::path
