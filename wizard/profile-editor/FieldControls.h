// The shared field controls of the profile editor's panes and rule dialogs:
// the character lists of name rules and size fields (an edit, an up-down
// and a unit list). The formats themselves are in FieldFormats.h.
#pragma once
#include <windows.h>

#include <cstdint>

#include "EditorTexts.h"

namespace ordvale::editor {

// The 94 characters "!" to "~" as "%02Xh    %c", each carrying its code.
void FillCharCombo(HWND combo);
// Selects the entry of the character (none when it is not listed).
void SelectCharInCombo(HWND combo, wchar_t c);
// The selected character; false when nothing is selected.
bool ComboChar(HWND combo, wchar_t* c);

// "B", "KB", "MB", "GB", "TB" (data 1 to 5), then "Unlimited" (data 0) when
// asked; the first entry selected.
void FillUnitCombo(HWND combo, const TextSource& texts, bool withUnlimited);
// The unit data of the selection; -1 when nothing is selected.
int SelectedUnit(HWND combo);
// Shows a size: "%.2f" in its unit, the unit selected; 0 selects
// "Unlimited" when listed and shows zeroText ("0" or "0.00").
void ShowSizeField(HWND edit, HWND combo, int64_t bytes, const wchar_t* zeroText);
// Reads the field; false when the number or the unit cannot be read.
bool ParseSizeField(HWND edit, HWND combo, int64_t* bytes);
// One up-down step (delta +1 or -1), wrapping within 0 to 1024.
void SpinSizeField(HWND edit, int delta);

}  // namespace ordvale::editor
