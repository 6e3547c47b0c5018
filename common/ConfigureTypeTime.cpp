#include "ConfigureType.h"

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

namespace {

// A zero limit leaves that end open; a zero date is never within a closed end.
bool InSpan(const FILETIME& x, const FILETIME& begin, const FILETIME& end) {
    return (IsZeroTime(begin) || CompareDate(&x, &begin) >= 0) &&
           (IsZeroTime(end) || (!IsZeroTime(x) && CompareDate(&x, &end) <= 0));
}

// The stored text of a limit: its UTC calendar time to the second.
std::wstring DateTimeText(const FILETIME& time) {
    std::wstring text;
    SYSTEMTIME utc = {};
    FormatDateTime(&text, FileTimeToSystemTime(&time, &utc) ? &utc : nullptr);
    return text;
}

std::wstring DateText(const FILETIME& time) {
    std::wstring text;
    FormatDate(&text, &time);
    return text;
}

}  // namespace

CConfigureTypeTime::CConfigureTypeTime() {
    StoreText(methodWord, doc::kMethodTime);
    passOrder = {0};
}

TimeEntry CConfigureTypeTime::ReadEntry(const NodeXml::CXmlNode& node) const {
    TimeEntry entry;
    entry.kind = ParseKindText(node.GetAttribute(doc::kAttrTimeKind, doc::kDefaultKind));
    entry.begin = ParseDateText(node.GetAttribute(doc::kAttrBegin, doc::kDefaultDate));
    entry.end = ParseDateText(node.GetAttribute(doc::kAttrEnd, doc::kDefaultDate));
    return entry;
}

bool CConfigureTypeTime::WriteEntry(NodeXml::CXmlNode& node, const TimeEntry& entry) const {
    // An open end is written as the zero time, 1601-01-01 00:00:00, which
    // reads back as zero.
    return entry.kind == kTimeRange
               ? node.SetAttribute(doc::kAttrBegin, DateTimeText(entry.begin)) &&
                     node.SetAttribute(doc::kAttrEnd, DateTimeText(entry.end))
               : node.SetAttribute(doc::kAttrTimeKind, entry.kind);
}

bool CConfigureTypeTime::Matches(const ShellItem* item, int pass) {
    if (!item || pass != 0) return false;
    for (const TimeEntry& entry : entries) {
        if (entry.kind == kTimeRange && InSpan(item->creationTime, entry.begin, entry.end))
            return true;
    }
    return false;
}

void CConfigureTypeTime::Dump() {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TimeEntry& entry = entries[i];
        std::wstring line = L"Ordvale Time[" + std::to_wstring(i) + L"] kind=" +
                            std::to_wstring(entry.kind) + L" begin=" +
                            (IsZeroTime(entry.begin) ? L"open" : DateText(entry.begin)) +
                            L" end=" + (IsZeroTime(entry.end) ? L"open" : DateText(entry.end)) +
                            L" icon=" + std::to_wstring(entry.iconIndex) + L"\n";
        OutputDebugStringW(line.c_str());
    }
}

bool CConfigureTypeTime::Equal(const TimeEntry& a, const TimeEntry& b) const {
    if (a.kind != b.kind) return false;
    if (a.kind != kTimeRange) return true;
    return CompareDate(&a.begin, &b.begin) == 0 && CompareDate(&a.end, &b.end) == 0;
}

// Removing by value is for date ranges only; there is no special to take out.
bool CConfigureTypeTime::RemoveEqual(const TimeEntry& a, const TimeEntry& b) const {
    return a.kind == kTimeRange && Equal(a, b);
}

bool CConfigureTypeTime::Overlaps(const TimeEntry& entry, const TimeEntry& given) const {
    if (entry.kind != kTimeRange || given.kind != kTimeRange) return false;
    return InSpan(given.begin, entry.begin, entry.end) || InSpan(given.end, entry.begin, entry.end) ||
           InSpan(entry.begin, given.begin, given.end) || InSpan(entry.end, given.begin, given.end);
}

void CConfigureTypeTime::Copy(TimeEntry& target, const TimeEntry& source) const {
    target.begin = source.begin;
    target.end = source.end;
    StoreText(target.displayName, FieldText(source.displayName));
    StoreText(target.description, FieldText(source.description));
    target.iconIndex = source.iconIndex;
}

}  // namespace ordvale
