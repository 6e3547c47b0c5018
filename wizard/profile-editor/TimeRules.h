// Time rules as the editor makes them, without windows: calendar dates as
// file times (no time zone anywhere), month names and lengths, the year as
// typed in a batch dialog, the order of a range's two ends, and the three
// batches (every year of a span, every month of a year, every day of a
// month) with the names of their folders.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "EditorTexts.h"
#include "Placement.h"

namespace ordvale::editor {

// The years a date picker can show; a typed year outside them is refused.
constexpr int kFirstYear = 1753;
constexpr int kLastYear = 9999;
// The widest span the year batch takes (last year minus first year).
constexpr int kMaxYearSpan = 80;

bool IsLeapYear(int year);
// 28 to 31; 31 for a month outside 1 to 12.
int DaysInMonth(int year, int month);
// "January" ... "December"; empty outside 1 to 12.
std::wstring MonthName(const TextSource& texts, int month);
// Midnight of the date, taken as UTC; the zero time when it is no date.
FILETIME DateAt(int year, int month, int day);

// Reading a typed year: the text trimmed of spaces and tabs, decimal digits
// only, within kFirstYear to kLastYear.
enum YearReading : int { kYearRead = 0, kYearBlank, kYearInvalid };
int ReadYear(const std::wstring& typed, int* year);
// The message of a year that did not read ("Year can not be blank.",
// "Invalid year "%s"." with the trimmed text), at most 259 characters.
std::wstring YearMessage(const TextSource& texts, int reading, const std::wstring& typed);

// Whether both ends are set and the end's date lies before the begin's.
bool EndsBeforeBegin(const FILETIME& begin, const FILETIME& end);

// The folder-name formats of the batches.
enum YearFormat : int { kYearShort = 0, kYearFull = 1 };  // 2012, Year 2012
enum MonthFormat : int { kMonthNumber = 0, kMonthName = 1, kMonthYearNumber = 2, kMonthYearName = 3 };
enum DayFormat : int { kDayNumber = 0, kDayMonthDay = 1, kDayFullNumber = 2, kDayFullName = 3 };

struct TimeBatchRule {
    std::wstring folderName;
    FILETIME begin;
    FILETIME end;
};
// Every year from first to last: Y-01-01 to Y-12-31.
std::vector<TimeBatchRule> RulesByYear(const TextSource& texts, int first, int last, int format);
// Every month from first to last of the year: its first to its last day.
std::vector<TimeBatchRule> RulesByMonth(const TextSource& texts, int year, int first, int last, int format);
// Every day from first to last of the month, each its own one-day range;
// nothing when first is after last; days past the month's end are left out.
std::vector<TimeBatchRule> RulesByDay(const TextSource& texts, int year, int month, int first, int last,
                                      int format);

// Places the rules into the folder, each in a folder of its own when asked.
bool PlaceTimeBatch(PlacementHost& host, FolderNode* folder, const std::vector<TimeBatchRule>& rules,
                    bool makeFolders);

}  // namespace ordvale::editor
