#include "ConfigureType.h"

#include <climits>
#include <cwctype>

namespace ordvale {

// The member ComInit enters the apartment before any rule work can start.
CConfigureType::CConfigureType() = default;
CConfigureType::~CConfigureType() = default;

// ---- Dates -------------------------------------------------------------------

namespace {

constexpr uint64_t kTicksPerDay = 864000000000ULL;  // 100 ns units in a day

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void AppendPadded(std::wstring* text, unsigned value, int width) {
    std::wstring digits = std::to_wstring(value);
    for (int i = static_cast<int>(digits.size()); i < width; ++i) text->push_back(L'0');
    text->append(digits);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads a date text the way "%d-%d-%d %d:%d:%d" would: each number may be
// preceded by blanks and a sign, literal separators must follow exactly, and
// the first mismatch ends the reading with the remaining fields left at 0.
class DateScanner {
public:
    explicit DateScanner(const wchar_t* text) : p_(text) {}

    bool Number(int* out) {
        SkipBlanks();
        const wchar_t* q = p_;
        bool negative = false;
        if (*q == L'+' || *q == L'-') {
            negative = *q == L'-';
            ++q;
        }
        if (*q < L'0' || *q > L'9') return false;
        long long value = 0;
        for (; *q >= L'0' && *q <= L'9'; ++q) {
            // Far beyond any valid field; stop growing so nothing overflows.
            if (value < 1000000) value = value * 10 + (*q - L'0');
        }
        p_ = q;
        *out = static_cast<int>(negative ? -value : value);
        return true;
    }
    bool Literal(wchar_t c) {
        if (*p_ != c) return false;
        ++p_;
        return true;
    }
    void SkipBlanks() {
        while (*p_ && std::iswspace(*p_)) ++p_;
    }

private:
    const wchar_t* p_;
};

}  // namespace

bool IsZeroTime(const FILETIME& time) {
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

int CompareDate(const FILETIME* a, const FILETIME* b) {
    if (!a || !b) return -1;
    // File times count from midnight, 1 January 1601 UTC, so whole days since
    // then order exactly as the (year, month, day) of the UTC calendar does.
    uint64_t dayA = Ticks(*a) / kTicksPerDay;
    uint64_t dayB = Ticks(*b) / kTicksPerDay;
    if (dayA < dayB) return -1;
    if (dayA > dayB) return 1;
    return 0;
}

void FormatDateTime(std::wstring* text, const SYSTEMTIME* time) {
    if (!text) return;
    if (!time) {
        *text = L"0000-00-00 00:00:00";
        return;
    }
    std::wstring out;
    AppendPadded(&out, time->wYear, 4);
    out.push_back(L'-');
    AppendPadded(&out, time->wMonth, 2);
    out.push_back(L'-');
    AppendPadded(&out, time->wDay, 2);
    out.push_back(L' ');
    AppendPadded(&out, time->wHour, 2);
    out.push_back(L':');
    AppendPadded(&out, time->wMinute, 2);
    out.push_back(L':');
    AppendPadded(&out, time->wSecond, 2);
    *text = out;
}

void FormatDate(std::wstring* text, const FILETIME* time) {
    if (!text || !time) return;
    SYSTEMTIME utc = {};
    if (!FileTimeToSystemTime(time, &utc)) return;
    std::wstring out;
    AppendPadded(&out, utc.wYear, 4);
    out.push_back(L'-');
    AppendPadded(&out, utc.wMonth, 2);
    out.push_back(L'-');
    AppendPadded(&out, utc.wDay, 2);
    *text = out;
}

FILETIME ParseDateText(const std::wstring& text) {
    int field[6] = {};  // year, month, day, hour, minute, second
    DateScanner scan(text.c_str());
    const wchar_t separators[6] = {0, L'-', L'-', L' ', L':', L':'};
    for (int i = 0; i < 6; ++i) {
        if (separators[i] == L' ') {
            scan.SkipBlanks();  // a blank in the pattern takes any run of blanks, even none
        } else if (separators[i] && !scan.Literal(separators[i])) {
            break;
        }
        if (!scan.Number(&field[i])) break;
    }

    FILETIME zero = {};
    const int year = field[0], month = field[1], day = field[2];
    const int hour = field[3], minute = field[4], second = field[5];
    // Checked here rather than trusting SystemTimeToFileTime, which lets some
    // impossible dates through on some systems.
    if (year < 1601 || year > 30827) return zero;
    if (month < 1 || month > 12) return zero;
    if (day < 1 || day > DaysInMonth(year, month)) return zero;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return zero;

    FILETIME result = {};
    if (!UtcFileTime(year, month, day, hour, minute, second, 0, &result)) return zero;
    return result;
}

bool UtcFileTime(int year, int month, int day, int hour, int minute, int second, int milliseconds,
                 FILETIME* time) {
    SYSTEMTIME utc = {};
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    utc.wMinute = static_cast<WORD>(minute);
    utc.wSecond = static_cast<WORD>(second);
    utc.wMilliseconds = static_cast<WORD>(milliseconds);
    return SystemTimeToFileTime(&utc, time) != FALSE;
}

// ---- Sizes -------------------------------------------------------------------

SplitSizeResult SplitSize(int64_t bytes) {
    const double value = static_cast<double>(bytes);
    if (bytes == 0) return {0.0, 0};
    if (bytes < 1024) return {value, 1};
    if (bytes <= 1047552) return {value / 1024.0, 2};                 // up to 1023 KB
    if (bytes <= 1072693248) return {value / 1048576.0, 3};           // up to 1023 MB
    if (bytes <= 1023LL * 1073741824LL) return {value / 1073741824.0, 4};  // up to 1023 GB
    return {value / 1099511627776.0, 5};
}

int64_t ParseInt64Prefix(const std::wstring& text) {
    const wchar_t* p = text.c_str();
    while (*p && std::iswspace(*p)) ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') {
        negative = *p == L'-';
        ++p;
    }
    // Accumulated as a negative number so that the lowest value fits; out of
    // range texts stop at the limit, as the C library readers do.
    int64_t value = 0;
    bool overflow = false;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        const int digit = *p - L'0';
        if (value < (LLONG_MIN + digit) / 10) {
            overflow = true;
        } else if (!overflow) {
            value = value * 10 - digit;
        }
    }
    if (overflow) return negative ? LLONG_MIN : LLONG_MAX;
    if (negative) return value;
    return value == LLONG_MIN ? LLONG_MAX : -value;
}

int32_t ParseKindText(const std::wstring& text) {
    const int64_t value = ParseInt64Prefix(text);
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(value);
}

}  // namespace ordvale
