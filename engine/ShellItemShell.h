// Filling ShellItem records from the Windows shell: paths, names, attribute
// flags, creation times, sizes, and the children of a container. None of
// these report errors: what cannot be read keeps its previous value.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/ShellItem.h"

namespace ordvale {

// Frees the children and clears every field.
void ResetItem(ShellItem* item);
// Stores path (cut to 259) and clears isDesktop; nullptr makes the item the
// desktop (isDesktop and isVirtual set, path empty). Nothing else changes.
void SetPath(ShellItem* item, const wchar_t* path);
// The path; for the desktop item the desktop folder's path, stored first.
const wchar_t* GetPath(ShellItem* item);
// Re-reads the attribute flags, the creation time and the size (0 for all
// but files that are not virtual). Time and size come from a read handle
// that shares nothing: an item another program holds open keeps them.
void Refresh(ShellItem* item);
// Which file types are shortcuts (from the registry), remembered per
// extension by a caller that looks at many items on one thread.
class ShortcutClasses {
public:
    bool IsShortcut(const wchar_t* name);

private:
    static bool LookUp(const std::wstring& extension);
    std::vector<std::pair<std::wstring, bool>> known_;
    // The last extension asked for, spelt as it was, and its answer: the
    // items of a folder mostly share a few.
    std::wstring lastSpelt_;
    bool lastAnswer_ = false;
};

// Re-reads the attribute flags alone, all that acting on an item depends on;
// the creation time and the size keep their values. `shortcuts` (may be
// null) keeps the registry's answers across calls.
// `seen`, when given, receives what the file system said of a plain path
// it answered for itself (dwFileAttributes INVALID_FILE_ATTRIBUTES when it
// did not), so that its size and times need not be asked again.
void RefreshAttributes(ShellItem* item, ShortcutClasses* shortcuts = nullptr,
                       WIN32_FILE_ATTRIBUTE_DATA* seen = nullptr);
// Replaces the children by the container's visible (not hidden) items, each
// refreshed; the desktop item lists the shell's desktop, shell objects too.
// `listing` (may be null) is told what a listing of the file system saw;
// it stays incomplete when the shell listed the container.
void EnumerateChildren(ShellItem* item, FolderListing* listing = nullptr);
// Adds the selected path as a child (a null path counts as empty) and moves
// the container to the folder that holds it ("D:\photos" -> "D:\").
void AddSelected(ShellItem* container, const wchar_t* path);

// The two ways to the attribute flags that Refresh chooses between, and the
// listing through the shell alone, for the tests to hold them side by side.
// ShellAttributes asks the shell (an empty path with desktop set stands for
// the desktop itself); FastAttributes reads the file system and answers only
// for plain "X:\..." paths that exist. Both return false without an answer.
bool ShellAttributes(const wchar_t* path, bool desktop, uint32_t* flags);
bool FastAttributes(const wchar_t* path, uint32_t* flags);
void EnumerateChildrenThroughShell(ShellItem* item);

}  // namespace ordvale
