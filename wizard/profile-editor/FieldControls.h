// The shared field controls of the profile editor's panes and rule dialogs:
// the character lists of name rules, size fields (an edit, an up-down and a
// unit list) and the two ends of a date range. The formats themselves are in
// FieldFormats.h.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "EditorTexts.h"
#include "FieldFormats.h"

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

// One size field of a pane or dialog: its edit, up-down and unit list.
// "Unlimited" disables the edit and the up-down; each click of the up-down
// (or arrow key in the edit) steps the number; a size shown reads back
// exactly while its text and unit are left as they are.
class SizeField {
public:
    SizeField() = default;
    SizeField(HWND edit, HWND spin, HWND unit) : edit_(edit), spin_(spin), unit_(unit) {}
    // Fills the unit list and sets the up-down's range (0 to 1024: up adds).
    void Prepare(const TextSource& texts, bool withUnlimited);
    // Shows the size; edit and up-down enabled unless "Unlimited" is chosen.
    void Show(int64_t bytes, const wchar_t* zeroText);
    bool Read(int64_t* bytes) const;
    // After the unit changed: "Unlimited" disables the edit and up-down.
    void FollowUnit() const;
    void Enable(bool enable) const;
    // WM_NOTIFY of the up-down: steps the edit (and keeps the up-down's
    // own position); true when the notice was the field's.
    bool OnNotify(const NMHDR* header, LRESULT* result) const;
    HWND Edit() const { return edit_; }
    HWND Unit() const { return unit_; }

private:
    HWND edit_ = nullptr;
    HWND spin_ = nullptr;
    HWND unit_ = nullptr;
    ShownSize shown_;
};

// A refused field: the message (exclamation icon, through the message-box
// seam), then the focus on the field, an edit's text selected.
void RefuseField(HWND owner, HWND field, const std::wstring& message, const std::wstring& caption);

// ---- Dates ----

// Date pickers show "yyyy-MM-dd", as the rules name their dates.
void PrepareDatePicker(HWND picker);
// Sets the picker to the time (UTC, shown as it is); the zero time leaves it.
void SetPickerTime(HWND picker, const FILETIME& time);
// The picker's date and time as a file time; the zero time when it has none.
FILETIME PickerTime(HWND picker);

// Numbers listed in a combo box, first to last, each as `format` ("%04d",
// "%2d") with the number as its data; `selected` is selected.
void FillNumberCombo(HWND combo, int first, int last, const wchar_t* format, int selected);
// The selected entry's number; `fallback` when nothing is selected.
int ComboNumber(HWND combo, int fallback);
// The year typed or chosen in an editable combo box of the batch dialogs;
// a year that does not read is refused with its message (the dialog's title
// as caption) and the focus on the combo box.
bool ReadYearField(HWND dialog, HWND combo, const TextSource& texts, int* year);

// One end of a date range: a date option with its picker, and the option
// that leaves the end open ("Long ago", "Now").
class DateBound {
public:
    DateBound() = default;
    DateBound(HWND dateOption, HWND openOption, HWND picker)
        : date_(dateOption), open_(openOption), picker_(picker) {}
    void Prepare() const { PrepareDatePicker(picker_); }
    // A set time chooses the date option and enables the picker on it; the
    // zero time chooses the open option and disables the picker.
    void Show(const FILETIME& time);
    // The zero time with the open option chosen; else the picker's time, or
    // exactly the time shown while the picker's date is still its date.
    FILETIME Read() const;
    bool DateChosen() const;
    // After a click on either option: the picker follows.
    void FollowOption() const;
    HWND DateOption() const { return date_; }
    HWND OpenOption() const { return open_; }
    HWND Picker() const { return picker_; }

private:
    HWND date_ = nullptr;
    HWND open_ = nullptr;
    HWND picker_ = nullptr;
    FILETIME shown_ = {};
};

}  // namespace ordvale::editor
