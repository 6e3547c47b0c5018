#include "FreeName.h"

namespace ordvale {

std::wstring NumberedName(const std::wstring& name, bool isFolder, int n) {
    std::wstring stem = name;
    std::wstring extension;
    if (!isFolder) {
        const std::size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) {
            stem = name.substr(0, dot);
            extension = name.substr(dot);
        }
    }
    return stem + L" (" + std::to_wstring(n) + L")" + extension;
}

std::wstring FirstFreeName(const std::wstring& name, bool isFolder,
                           const std::function<bool(const std::wstring&)>& taken) {
    for (int n = 2; n < 100000; ++n) {
        std::wstring candidate = NumberedName(name, isFolder, n);
        if (!taken(candidate)) return candidate;
    }
    return std::wstring();
}

}  // namespace ordvale
