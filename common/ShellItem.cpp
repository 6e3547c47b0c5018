#include "ShellItem.h"

#include <cwchar>

namespace ordvale {

const TextField& SharedExtensions::Of(const std::wstring& extension) {
    auto found = known_.find(extension);
    if (found == known_.end()) found = known_.emplace(extension, TextField(extension)).first;
    return found->second;
}

void SetExtensionFromName(ShellItem* item, SharedExtensions* shared) {
    const wchar_t* name = item->name.c_str();
    const wchar_t* dot = std::wcsrchr(name, L'.');
    if (!dot) {
        item->extension = TextField();
        return;
    }
    const std::wstring extension(dot, name + item->name.size());
    if (shared)
        item->extension = shared->Of(extension);
    else
        item->extension = extension;
}

}  // namespace ordvale
