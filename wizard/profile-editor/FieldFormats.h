// The input and display formats the profile page, its panes and the rule
// dialogs share, without windows: file extensions as typed, the character
// lists of name rules, size fields (number and unit) and the texts of rule
// bounds. The controls that show them are in FieldControls.h.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "EditorTexts.h"

namespace ordvale::editor {

// ---- File extensions ----

enum ExtensionCheck : int { kExtensionValid = 0, kExtensionInvalid = 1, kExtensionSuggestion = 2 };

// Reads a typed extension. Invalid: blank, or nothing after its last ".".
// Valid: its only or last "." is its first character (".txt"). Suggestion:
// no "." or one further in ("txt", "file.tar.gz"); *normalized then holds
// "." and what follows the last "." (the whole text when there is none).
// Letter case is kept; *normalized is cut to 259 characters.
int NormalizeExtension(const std::wstring& text, std::wstring* normalized);

// ---- Characters of name rules ----

constexpr wchar_t kFirstListedChar = 33;   // "!"
constexpr wchar_t kLastListedChar = 126;   // "~"
// "%02Xh    %c": the code in hexadecimal, "h", four spaces, the character.
std::wstring CharListText(wchar_t c);

// ---- Size fields: a number, and a unit chosen from a list ----

// Unit data of a size field's list entries; 0 is "Unlimited".
enum SizeUnit : int { kUnitUnlimited = 0, kUnitB = 1, kUnitKB = 2, kUnitMB = 3, kUnitGB = 4, kUnitTB = 5 };
// Bytes in one unit (1 for B ... 2^40 for TB; 0 for Unlimited or unknown).
int64_t UnitFactor(int unit);
// The unit's name from the string table ("B" ... "TB", "Unlimited").
std::wstring UnitText(const TextSource& texts, int unit);

// What a size field reads: digits, optionally one point and more digits
// (no sign, no exponent), trimmed of spaces and tabs, times the unit; whole
// bytes, cut toward zero. unit < 0 means no unit is selected. "Unlimited"
// reads as 0 whatever the number. False when the text does not read or the
// size does not fit.
bool ParseSizeText(const std::wstring& text, int unit, int64_t* bytes);

struct SizeFieldValue {
    std::wstring text;  // "%.2f" of the size in its unit, or zeroText for 0
    int unit;           // the unit to select; kUnitUnlimited for 0
};
// The field showing a size: the unit as the rule texts choose it.
SizeFieldValue FormatSizeField(int64_t bytes, const wchar_t* zeroText = L"0");

// One step of a size field's up-down: the number plus or minus one, wrapping
// within 0 to 1024, shown as "%.2f".
std::wstring SpinSizeText(const std::wstring& text, int delta);

// "%.2f" of a number.
std::wstring TwoDecimals(double value);

// ---- Texts of rule bounds ----

// "%.2f" followed by the unit ("1.50MB"), or "Unlimited" for 0.
std::wstring SizeBoundText(const TextSource& texts, int64_t bytes);
// The date "%04d-%02d-%02d" of the stored time; "Long Ago" (begin) or "Now"
// (end) for the zero time.
std::wstring TimeBoundText(const TextSource& texts, const FILETIME& time, bool isBegin);

}  // namespace ordvale::editor

namespace ordvale::editor {

// ---- Full paths of folders ----

// Whether a folder's full location is an absolute path on a drive: a
// letter, ":" and "\" ("D:\Sorted"), then no character a path cannot hold.
// Spaces and tabs around it are ignored. Anything else is never used by a
// tidy run, which only places folders at absolute drive paths.
bool IsAbsoluteDrivePath(const std::wstring& text);

// ---- Regular expressions of name rules ----

// The longest expression a rule keeps through a save and a load.
constexpr std::size_t kMaxExpressionLength = 259;
// What keeps a typed expression (already trimmed) from being stored: 0 when
// nothing does, else the message's string id: blank, too long, or not
// compiling in the rules' dialect (it would match nothing).
UINT ExpressionProblem(const std::wstring& expression);

// ---- Part counts of name batches ----

// Reads "Divide into", trimmed: decimal digits only, not zero. 0 and the
// number (numbers too large for an int read as the largest int), or the
// message's string id: blank, not a number, zero.
UINT ReadPartCount(const std::wstring& text, int* parts);

}  // namespace ordvale::editor
