// Small text helpers shared by every module: fixed 260-unit fields, trimming,
// case-insensitive comparison and "%s" templates.
#pragma once

#include <cstddef>
#include <cwchar>
#include <initializer_list>
#include <string>

namespace ordvale {

// Fields that hold a path or a name: 260 UTF-16 units, at most 259 characters.
constexpr std::size_t kTextUnits = 260;

// Stores the first N-1 characters of src (nullptr stores the empty text).
template <std::size_t N>
void StoreText(wchar_t (&dst)[N], const wchar_t* src) {
    std::size_t i = 0;
    if (src) {
        for (; i + 1 < N && src[i]; ++i) dst[i] = src[i];
    }
    dst[i] = L'\0';
}
template <std::size_t N>
void StoreText(wchar_t (&dst)[N], const std::wstring& src) {
    StoreText(dst, src.c_str());
}

// Length of a text within its field, never looking past `units` code units.
std::size_t BoundedLength(const wchar_t* text, std::size_t units);

// The text of a fixed field, never reading past it.
template <std::size_t N>
std::wstring FieldText(const wchar_t (&field)[N]) {
    return std::wstring(field, BoundedLength(field, N));
}

// The text cut to the 259 characters a field can keep.
std::wstring CutToField(std::wstring text);

// Spaces and tabs removed at both ends.
std::wstring TrimBlanks(const std::wstring& text);

// Letter case aside, as the file system compares names (the system's
// ordinal comparison ignoring case). Texts of plain ASCII letters, as most
// names and extensions are, are told apart here without asking the system.
bool EqualsNoCase(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
bool EqualsNoCase(const wchar_t* a, const wchar_t* b);

// Replaces the "%s" markers of a fixed template, in order, by the arguments.
std::wstring FillTemplate(const wchar_t* pattern, std::initializer_list<const wchar_t*> args);

std::wstring IntToText(long long value);

// UTF-16 <-> UTF-8 for the few places that leave the wide-character world.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace ordvale
