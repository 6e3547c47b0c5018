#include "Text.h"

#include <windows.h>

#include <initializer_list>

namespace ordvale {

std::size_t BoundedLength(const wchar_t* text, std::size_t units) {
    if (!text) return 0;
    std::size_t n = 0;
    while (n < units && text[n]) ++n;
    return n;
}

std::wstring CutToField(std::wstring text) {
    if (text.size() > kTextUnits - 1) text.resize(kTextUnits - 1);
    return text;
}

std::wstring TrimBlanks(const std::wstring& text) {
    const wchar_t* blanks = L" \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return std::wstring();
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool EqualsNoCase(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength) {
    if (aLength != bLength) return false;
    for (std::size_t i = 0; i < aLength; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x == y) continue;
        // Beyond ASCII, letters fold as the system's table has it (the
        // dotless i folds onto I, for one).
        if ((x | y) >= 0x80)
            return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) ==
                   CSTR_EQUAL;
        if (x >= L'a' && x <= L'z') x = static_cast<wchar_t>(x - (L'a' - L'A'));
        if (y >= L'a' && y <= L'z') y = static_cast<wchar_t>(y - (L'a' - L'A'));
        if (x != y) return false;
    }
    return true;
}

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
    if (!a || !b) return a == b;
    return EqualsNoCase(a, std::wcslen(a), b, std::wcslen(b));
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return EqualsNoCase(a.c_str(), a.size(), b.c_str(), b.size());
}

std::wstring FillTemplate(const wchar_t* pattern, std::initializer_list<const wchar_t*> args) {
    std::wstring out;
    auto next = args.begin();
    for (const wchar_t* p = pattern; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's' && next != args.end()) {
            if (*next) out += *next;
            ++next;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::wstring IntToText(long long value) {
    return std::to_wstring(value);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

}  // namespace ordvale
