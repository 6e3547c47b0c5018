#include "FieldControls.h"

#include <windowsx.h>

#include <string>

#include "FieldFormats.h"

namespace ordvale::editor {

namespace {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int IndexOfData(HWND combo, LPARAM data) {
    const int count = ComboBox_GetCount(combo);
    for (int i = 0; i < count; ++i)
        if (ComboBox_GetItemData(combo, i) == data) return i;
    return -1;
}

}  // namespace

void FillCharCombo(HWND combo) {
    ComboBox_ResetContent(combo);
    for (wchar_t c = kFirstListedChar; c <= kLastListedChar; ++c) {
        const int index = ComboBox_AddString(combo, CharListText(c).c_str());
        if (index >= 0) ComboBox_SetItemData(combo, index, c);
    }
}

void SelectCharInCombo(HWND combo, wchar_t c) {
    ComboBox_SetCurSel(combo, IndexOfData(combo, c));
}

bool ComboChar(HWND combo, wchar_t* c) {
    const int index = ComboBox_GetCurSel(combo);
    if (index < 0) return false;
    if (c) *c = static_cast<wchar_t>(ComboBox_GetItemData(combo, index));
    return true;
}

void FillUnitCombo(HWND combo, const TextSource& texts, bool withUnlimited) {
    ComboBox_ResetContent(combo);
    for (int unit = kUnitB; unit <= kUnitTB; ++unit) {
        const int index = ComboBox_AddString(combo, UnitText(texts, unit).c_str());
        if (index >= 0) ComboBox_SetItemData(combo, index, unit);
    }
    if (withUnlimited) {
        const int index = ComboBox_AddString(combo, UnitText(texts, kUnitUnlimited).c_str());
        if (index >= 0) ComboBox_SetItemData(combo, index, kUnitUnlimited);
    }
    ComboBox_SetCurSel(combo, 0);
}

int SelectedUnit(HWND combo) {
    const int index = ComboBox_GetCurSel(combo);
    return index < 0 ? -1 : static_cast<int>(ComboBox_GetItemData(combo, index));
}

void ShowSizeField(HWND edit, HWND combo, int64_t bytes, const wchar_t* zeroText) {
    const SizeFieldValue shown = FormatSizeField(bytes, zeroText);
    SetWindowTextW(edit, shown.text.c_str());
    const int index = IndexOfData(combo, shown.unit);
    if (index >= 0) ComboBox_SetCurSel(combo, index);
}

bool ParseSizeField(HWND edit, HWND combo, int64_t* bytes) {
    return ParseSizeText(WindowText(edit), SelectedUnit(combo), bytes);
}

void SpinSizeField(HWND edit, int delta) {
    SetWindowTextW(edit, SpinSizeText(WindowText(edit), delta).c_str());
}

}  // namespace ordvale::editor
