#include "FieldFormats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "common/ConfigureType.h"
#include "common/RegExp.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::editor {

int NormalizeExtension(const std::wstring& text, std::wstring* normalized) {
    const std::wstring trimmed = TrimBlanks(text);
    if (trimmed.empty()) return kExtensionInvalid;
    const std::size_t dot = trimmed.rfind(L'.');
    if (dot != std::wstring::npos && dot + 1 == trimmed.size()) return kExtensionInvalid;
    const std::wstring tail = dot == std::wstring::npos ? trimmed : trimmed.substr(dot + 1);
    if (normalized) *normalized = CutToField(L"." + tail);
    return dot == 0 ? kExtensionValid : kExtensionSuggestion;
}

std::wstring CharListText(wchar_t c) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"%02Xh    %lc", static_cast<unsigned>(c), static_cast<wint_t>(c));
    return text;
}

int64_t UnitFactor(int unit) {
    switch (unit) {
        case kUnitB: return 1;
        case kUnitKB: return 1024;
        case kUnitMB: return 1048576;
        case kUnitGB: return 1073741824LL;
        case kUnitTB: return 1099511627776LL;
        default: return 0;
    }
}

std::wstring UnitText(const TextSource& texts, int unit) {
    static const UINT ids[] = {IDS_UNIT_UNLIMITED, IDS_UNIT_B, IDS_UNIT_KB, IDS_UNIT_MB, IDS_UNIT_GB, IDS_UNIT_TB};
    return unit >= 0 && unit <= kUnitTB ? texts.Text(ids[unit]) : std::wstring();
}

bool ParseSizeText(const std::wstring& text, int unit, int64_t* bytes) {
    const std::wstring trimmed = TrimBlanks(text);
    if (trimmed.empty()) return false;
    static const CRegExp number = [] {
        CRegExp compiled;
        compiled.Compile(L"^\\d+(\\.)?\\d*$");
        return compiled;
    }();
    if (!number.Matches(trimmed)) return false;
    if (unit < kUnitUnlimited || unit > kUnitTB) return false;
    if (unit == kUnitUnlimited) {
        if (bytes) *bytes = 0;
        return true;
    }
    const double value = std::wcstod(trimmed.c_str(), nullptr) * static_cast<double>(UnitFactor(unit));
    // 2^63 and above does not fit a size.
    if (!(value < 9223372036854775808.0)) return false;
    if (bytes) *bytes = static_cast<int64_t>(value);
    return true;
}

std::wstring TwoDecimals(double value) {
    wchar_t text[64] = {};
    swprintf(text, 64, L"%.2f", value);
    return text;
}

SizeFieldValue FormatSizeField(int64_t bytes, const wchar_t* zeroText) {
    if (bytes == 0) return {zeroText ? zeroText : L"", kUnitUnlimited};
    const SplitSizeResult split = SplitSize(bytes);
    return {TwoDecimals(split.number), split.unit};
}

std::wstring SpinSizeText(const std::wstring& text, int delta) {
    double value = std::wcstod(TrimBlanks(text).c_str(), nullptr) + delta;
    if (value < 0) value = 1024;
    if (value > 1024) value = 0;
    return TwoDecimals(value);
}

std::wstring SizeBoundText(const TextSource& texts, int64_t bytes) {
    const SplitSizeResult split = SplitSize(bytes);
    if (split.unit == kUnitUnlimited) return UnitText(texts, kUnitUnlimited);
    return TwoDecimals(split.number) + UnitText(texts, split.unit);
}

std::wstring TimeBoundText(const TextSource& texts, const FILETIME& time, bool isBegin) {
    if (IsZeroTime(time)) return texts.Text(isBegin ? IDS_LONG_AGO : IDS_NOW);
    std::wstring date;
    FormatDate(&date, &time);
    return date;
}

}  // namespace ordvale::editor

namespace ordvale::editor {

bool IsAbsoluteDrivePath(const std::wstring& text) {
    const std::wstring path = TrimBlanks(text);
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return false;
    const wchar_t drive = path[0];
    if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z'))) return false;
    for (std::size_t i = 3; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c < 32 || std::wstring(L"/:*?\"<>|").find(c) != std::wstring::npos) return false;
    }
    return true;
}

UINT ExpressionProblem(const std::wstring& expression) {
    if (expression.empty()) return IDS_REGEXP_EMPTY;
    if (expression.size() > kMaxExpressionLength) return IDS_REGEXP_TOO_LONG;
    CRegExp compiled;
    if (!compiled.Compile(expression.c_str())) return IDS_REGEXP_INVALID;
    return 0;
}

UINT ReadPartCount(const std::wstring& text, int* parts) {
    const std::wstring trimmed = TrimBlanks(text);
    if (trimmed.empty()) return IDS_PARTS_BLANK;
    long long value = 0;
    for (wchar_t c : trimmed) {
        if (c < L'0' || c > L'9') return IDS_PARTS_INVALID;
        value = std::min<long long>(value * 10 + (c - L'0'), INT_MAX);
    }
    if (value == 0) return IDS_PARTS_ZERO;
    if (parts) *parts = static_cast<int>(value);
    return 0;
}

}  // namespace ordvale::editor
