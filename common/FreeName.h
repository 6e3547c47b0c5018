// New names for an item whose name is taken where it arrives: "a (2).jpg",
// "a (3).jpg", ... for files, "F (2)" for folders. One rule for whoever
// chooses such a name (the executor on disk, the preview and the undo
// planning ahead of it), so that they all arrive at the same one.
#pragma once

#include <functional>
#include <string>

namespace ordvale {

// The n-th numbered form of a name. A file keeps its extension (what follows
// its last dot; a name whose only dot leads it, ".profile", has none).
std::wstring NumberedName(const std::wstring& name, bool isFolder, int n);

// The first numbered form, from 2 on, for which `taken` says no; empty when
// none is free.
std::wstring FirstFreeName(const std::wstring& name, bool isFolder,
                           const std::function<bool(const std::wstring& candidate)>& taken);

}  // namespace ordvale
