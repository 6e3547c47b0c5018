#include "FieldControls.h"

#include <windowsx.h>

#include <cstdio>
#include <string>

#include "TimeRules.h"
#include "common/ConfigureType.h"
#include "common/win/MessageBox.h"

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

// ---- SizeField ----

void SizeField::Prepare(const TextSource& texts, bool withUnlimited) {
    FillUnitCombo(unit_, texts, withUnlimited);
    SendMessageW(spin_, UDM_SETRANGE32, 0, 1024);
}

void SizeField::Show(int64_t bytes, const wchar_t* zeroText) {
    ShowSizeField(edit_, unit_, bytes, zeroText);
    shown_.bytes = bytes;
    shown_.shown = {WindowText(edit_), SelectedUnit(unit_)};
    FollowUnit();
}

bool SizeField::Read(int64_t* bytes) const {
    return ReadSizeText(shown_, WindowText(edit_), SelectedUnit(unit_), bytes);
}

void SizeField::FollowUnit() const {
    const bool limited = SelectedUnit(unit_) != kUnitUnlimited;
    EnableWindow(edit_, limited);
    EnableWindow(spin_, limited);
}

void SizeField::Enable(bool enable) const {
    EnableWindow(unit_, enable);
    if (enable) {
        FollowUnit();
    } else {
        EnableWindow(edit_, FALSE);
        EnableWindow(spin_, FALSE);
    }
}

bool SizeField::OnNotify(const NMHDR* header, LRESULT* result) const {
    if (header->hwndFrom != spin_ || header->code != UDN_DELTAPOS) return false;
    const auto* step = reinterpret_cast<const NMUPDOWN*>(header);
    if (step->iDelta != 0) SpinSizeField(edit_, step->iDelta > 0 ? +1 : -1);
    *result = TRUE;  // the up-down's own position does not move
    return true;
}

void RefuseField(HWND owner, HWND field, const std::wstring& message, const std::wstring& caption) {
    win::ShowMessageBox(owner, message, caption, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(field);
    wchar_t name[32] = {};
    GetClassNameW(field, name, 32);
    if (lstrcmpiW(name, WC_EDITW) == 0) SendMessageW(field, EM_SETSEL, 0, -1);
    if (lstrcmpiW(name, WC_COMBOBOXW) == 0) SendMessageW(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

// ---- Dates ----

void PrepareDatePicker(HWND picker) {
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy'-'MM'-'dd"));
}

void SetPickerTime(HWND picker, const FILETIME& time) {
    SYSTEMTIME date = {};
    if (IsZeroTime(time) || !FileTimeToSystemTime(&time, &date)) return;
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

FILETIME PickerTime(HWND picker) {
    SYSTEMTIME date = {};
    FILETIME time = {};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID ||
        !SystemTimeToFileTime(&date, &time))
        return FILETIME{};
    return time;
}

void FillNumberCombo(HWND combo, int first, int last, const wchar_t* format, int selected) {
    ComboBox_ResetContent(combo);
    for (int number = first; number <= last; ++number) {
        wchar_t text[32] = {};
        swprintf(text, 32, format, number);
        const int index = ComboBox_AddString(combo, text);
        if (index >= 0) ComboBox_SetItemData(combo, index, number);
    }
    ComboBox_SetCurSel(combo, IndexOfData(combo, selected));
}

int ComboNumber(HWND combo, int fallback) {
    const int index = ComboBox_GetCurSel(combo);
    return index < 0 ? fallback : static_cast<int>(ComboBox_GetItemData(combo, index));
}

bool ReadYearField(HWND dialog, HWND combo, const TextSource& texts, int* year) {
    const std::wstring typed = WindowText(combo);
    const int reading = ReadYear(typed, year);
    if (reading == kYearRead) return true;
    RefuseField(dialog, combo, YearMessage(texts, reading, typed), WindowText(dialog));
    return false;
}

void DateBound::Show(const FILETIME& time) {
    shown_ = time;
    const bool set = !IsZeroTime(time);
    if (set) SetPickerTime(picker_, time);
    SendMessageW(date_, BM_SETCHECK, set ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(open_, BM_SETCHECK, set ? BST_UNCHECKED : BST_CHECKED, 0);
    FollowOption();
}

bool DateBound::DateChosen() const {
    return SendMessageW(date_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

FILETIME DateBound::Read() const {
    if (!DateChosen()) return FILETIME{};
    const FILETIME picked = PickerTime(picker_);
    if (!IsZeroTime(shown_) && CompareDate(&picked, &shown_) == 0) return shown_;
    return picked;
}

void DateBound::FollowOption() const {
    EnableWindow(picker_, DateChosen());
}

}  // namespace ordvale::editor
