#include "ShellItem.h"

#include <cwchar>

namespace ordvale {

void SetExtensionFromName(ShellItem* item) {
    const wchar_t* dot = wcsrchr(item->name, L'.');
    if (dot) {
        wcscpy(item->extension, dot);  // name and extension have the same size
    } else {
        item->extension[0] = L'\0';
    }
}

}  // namespace ordvale
