#include "ShellItem.h"

#include <cwchar>

namespace ordvale {

void SetExtensionFromName(ShellItem* item) {
    const std::size_t dot = item->name.str().rfind(L'.');
    item->extension = dot == std::wstring::npos ? std::wstring() : item->name.str().substr(dot);
}

}  // namespace ordvale
