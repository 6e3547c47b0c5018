#include "TimeRules.h"

#include <cstdio>

#include "RuleBatches.h"
#include "common/ConfigureType.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::editor {

namespace {

std::wstring Number(const wchar_t* format, int value) {
    wchar_t text[32] = {};
    swprintf(text, 32, format, value);
    return text;
}

std::wstring Filled(const TextSource& texts, UINT id, std::initializer_list<const wchar_t*> args) {
    return CutToField(FillTemplate(texts.Text(id).c_str(), args));
}

// A generated rule; none for a date no file time holds (it would read as
// an open end).
void Add(std::vector<TimeBatchRule>* rules, const std::wstring& name, const FILETIME& begin, const FILETIME& end) {
    if (IsZeroTime(begin) || IsZeroTime(end)) return;
    rules->push_back({CutToField(TrimBlanks(name)), begin, end});
}

}  // namespace

bool IsLeapYear(int year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

std::wstring MonthName(const TextSource& texts, int month) {
    if (month < 1 || month > 12) return std::wstring();
    return texts.Text(IDS_MONTH_JANUARY + static_cast<UINT>(month - 1));
}

FILETIME DateAt(int year, int month, int day) {
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    FILETIME time = {};
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        !SystemTimeToFileTime(&date, &time))
        return FILETIME{};
    return time;
}

int ReadYear(const std::wstring& typed, int* year) {
    const std::wstring text = TrimBlanks(typed);
    if (text.empty()) return kYearBlank;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return kYearInvalid;
        value = value * 10 + (c - L'0');
        if (value > kLastYear) return kYearInvalid;  // also keeps long texts from overflowing
    }
    if (value < kFirstYear) return kYearInvalid;
    if (year) *year = value;
    return kYearRead;
}

std::wstring YearMessage(const TextSource& texts, int reading, const std::wstring& typed) {
    if (reading == kYearBlank) return texts.Text(IDS_YEAR_BLANK);
    if (reading == kYearInvalid) return Filled(texts, IDS_YEAR_INVALID, {TrimBlanks(typed).c_str()});
    return std::wstring();
}

bool EndsBeforeBegin(const FILETIME& begin, const FILETIME& end) {
    return !IsZeroTime(begin) && !IsZeroTime(end) && CompareDate(&end, &begin) < 0;
}

std::vector<TimeBatchRule> RulesByYear(const TextSource& texts, int first, int last, int format) {
    std::vector<TimeBatchRule> rules;
    for (int year = first; year <= last && year <= kLastYear; ++year) {
        const std::wstring number = Number(L"%4d", year);
        Add(&rules, format == kYearFull ? Filled(texts, IDS_YEAR_FOLDER_FULL, {number.c_str()}) : number,
            DateAt(year, 1, 1), DateAt(year, 12, 31));
    }
    return rules;
}

std::vector<TimeBatchRule> RulesByMonth(const TextSource& texts, int year, int first, int last, int format) {
    std::vector<TimeBatchRule> rules;
    for (int month = first < 1 ? 1 : first; month <= last && month <= 12; ++month) {
        std::wstring name;
        switch (format) {
            case kMonthName: name = MonthName(texts, month); break;
            case kMonthYearNumber: name = Number(L"%4d", year) + L"-" + Number(L"%02d", month); break;
            case kMonthYearName:
                name = Filled(texts, IDS_MONTH_FOLDER_FULL, {MonthName(texts, month).c_str(), Number(L"%4d", year).c_str()});
                break;
            default: name = Number(L"%02d", month); break;
        }
        Add(&rules, name, DateAt(year, month, 1), DateAt(year, month, DaysInMonth(year, month)));
    }
    return rules;
}

std::vector<TimeBatchRule> RulesByDay(const TextSource& texts, int year, int month, int first, int last,
                                      int format) {
    std::vector<TimeBatchRule> rules;
    if (month < 1 || month > 12) return rules;
    const int lastDay = last < DaysInMonth(year, month) ? last : DaysInMonth(year, month);
    for (int day = first < 1 ? 1 : first; day <= lastDay; ++day) {
        std::wstring name;
        switch (format) {
            case kDayMonthDay: name = Number(L"%02d", month) + L"-" + Number(L"%02d", day); break;
            case kDayFullNumber:
                name = Number(L"%4d", year) + L"-" + Number(L"%02d", month) + L"-" + Number(L"%02d", day);
                break;
            case kDayFullName:
                name = Filled(texts, IDS_DAY_FOLDER_FULL,
                              {MonthName(texts, month).c_str(), Number(L"%2d", day).c_str(), Number(L"%4d", year).c_str()});
                break;
            default: name = Number(L"%2d", day); break;
        }
        const FILETIME date = DateAt(year, month, day);
        Add(&rules, name, date, date);
    }
    return rules;
}

bool PlaceTimeBatch(PlacementHost& host, FolderNode* folder, const std::vector<TimeBatchRule>& rules,
                    bool makeFolders) {
    std::vector<BatchRule> batch;
    batch.reserve(rules.size());
    for (const TimeBatchRule& rule : rules) {
        batch.push_back({rule.folderName, [&host, rule](PlacementMode* mode, FolderNode* target) {
                             return PlaceTimeRule(host, mode, target, &rule.begin, &rule.end);
                         }});
    }
    return PlaceRuleBatch(host, folder, batch, makeFolders);
}

}  // namespace ordvale::editor
