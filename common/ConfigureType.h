// The rule kinds: every folder of a profile owns one rule object, the list of
// entries that decide which items belong in it. One kind per tidy method:
//   CConfigureTypeType  file extensions and three catch-alls      (Ext)
//   CConfigureTypeTime  creation-date ranges                      (Time)
//   CConfigureTypeSize  size ranges and a folders catch-all       (Size)
//   CConfigureTypeName  first-character ranges, regular expressions (Name)
// Entries are exchanged through their common header RuleEntry; each kind
// takes the entry records of its own kind only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "NodeXml.h"
#include "ProfileDocument.h"
#include "RegExp.h"
#include "ShellItem.h"
#include "win/Com.h"

namespace ordvale {

struct RuleEntry {
    int32_t kind = 0;        // 0 ordinary rule; other values are the kind's specials
    int32_t iconIndex = -1;  // set by the profile editor, never stored
};

// Type kinds.
enum : int32_t { kTypeExtension = 0, kTypeFolders = 1, kTypeShortcuts = 2, kTypeOtherFiles = 3 };
// Name kinds.
enum : int32_t { kNameRange = 0, kNameRegExp = 1 };
// Size kinds.
enum : int32_t { kSizeRange = 0, kSizeFolders = 1 };
// Time kinds.
enum : int32_t { kTimeRange = 0 };

struct TypeEntry : RuleEntry {
    wchar_t extension[80] = {};   // ".jpg"; for the specials their display name
    wchar_t typeText[260] = {};   // display only
    wchar_t description[260] = {};
};

struct NameEntry : RuleEntry {
    wchar_t first = L' ';  // kind 0: lowest first character taken
    wchar_t last = L'~';   // kind 0: highest first character taken
    wchar_t pattern[260] = {};  // kind 1
    wchar_t displayName[260] = {};
    wchar_t description[260] = {};
};

struct SizeEntry : RuleEntry {
    int64_t upper = 0;  // largest size taken; 0: no upper limit
    int64_t lower = 0;  // sizes must be larger than this
    wchar_t displayName[260] = {};
    wchar_t description[260] = {};
};

struct TimeEntry : RuleEntry {
    FILETIME begin = {};  // first day (UTC); zero: no lower limit
    FILETIME end = {};    // last day (UTC); zero: no upper limit
    wchar_t displayName[260] = {};
    wchar_t description[260] = {};
};

class CConfigureType {
public:
    CConfigureType();  // initialises COM (single-threaded apartment) for this thread
    virtual ~CConfigureType();
    CConfigureType(const CConfigureType&) = delete;
    CConfigureType& operator=(const CConfigureType&) = delete;

    // The operations in their fixed slot order.
    virtual void LoadEntries(NodeXml::CXmlDocument* document, const NodeXml::CXmlNodePtr& element) = 0;
    virtual bool SaveEntries(const NodeXml::CXmlNodePtr& element) = 0;
    virtual void ClearEntries() = 0;
    virtual void PrepareMatch(const ShellItem* item, HWND window) = 0;
    virtual bool Matches(const ShellItem* item, int pass) = 0;
    virtual bool Find(const RuleEntry* entry, int* index) = 0;
    virtual void FindCollisions(const RuleEntry* entry, std::vector<int>* indexes) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual bool Add(const RuleEntry* entry) = 0;
    virtual int Remove(const RuleEntry* entry) = 0;
    virtual int CopyEntry(RuleEntry* target, const RuleEntry* source) = 0;
    virtual void Dump() = 0;

    const wchar_t* MethodWord() const { return methodWord; }
    const std::vector<int>& PassOrder() const { return passOrder; }
    virtual int EntryCount() const = 0;

protected:
    wchar_t methodWord[260] = {};
    std::vector<int> passOrder;

private:
    win::ComInit com_;
};

// Results of Remove.
constexpr int kRemoved = 1;
constexpr int kNotFound = 5;

// The list operations every kind shares; Kind supplies Equal, RemoveEqual
// and Overlaps for its entry record.
template <class Entry>
class CConfigureTypeOf : public CConfigureType {
public:
    std::vector<Entry> entries;

    Entry* GetEntry(int index) {
        return index >= 0 && index < static_cast<int>(entries.size()) ? &entries[index] : nullptr;
    }
    int EntryCount() const override { return static_cast<int>(entries.size()); }

    // One entry per rule element among the element's own children, appended.
    void LoadEntries(NodeXml::CXmlDocument*, const NodeXml::CXmlNodePtr& element) override {
        if (!element || element->IsNull()) return;
        NodeXml::CXmlNodesPtr nodes = element->SelectNodes(profile_doc::ChildRulesXPath(RuleElement()));
        if (!nodes) return;
        for (int32_t i = 0; i < nodes->GetLength(); ++i) {
            NodeXml::CXmlNodePtr node = nodes->GetItem(i);
            if (node && !node->IsNull()) entries.push_back(ReadEntry(*node));
        }
    }
    // One rule element per entry, in order; false at the first failure.
    bool SaveEntries(const NodeXml::CXmlNodePtr& element) override {
        if (!element || element->IsNull()) return false;
        for (const Entry& entry : entries) {
            NodeXml::CXmlNodePtr child = element->NewChild(RuleElement());
            if (!child || child->IsNull() || !WriteEntry(*child, entry)) return false;
        }
        return true;
    }
    void ClearEntries() override { entries.clear(); }
    void PrepareMatch(const ShellItem*, HWND) override {}

    bool Find(const RuleEntry* entry, int* index) override {
        if (index) *index = -1;
        if (!entry) return false;
        const Entry& wanted = static_cast<const Entry&>(*entry);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (Equal(entries[i], wanted)) {
                if (index) *index = static_cast<int>(i);
                return true;
            }
        }
        return false;
    }
    void FindCollisions(const RuleEntry* entry, std::vector<int>* indexes) override {
        if (!indexes) return;
        indexes->clear();
        if (!entry) return;
        const Entry& given = static_cast<const Entry&>(*entry);
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (Overlaps(entries[i], given)) indexes->push_back(static_cast<int>(i));
    }
    bool RemoveAt(int index) override {
        if (index < 0 || index >= static_cast<int>(entries.size())) return false;
        entries.erase(entries.begin() + index);
        return true;
    }
    bool Add(const RuleEntry* entry) override {
        if (!entry) return false;
        entries.push_back(static_cast<const Entry&>(*entry));
        return true;
    }
    int Remove(const RuleEntry* entry) override {
        if (!entry) return 0;
        const Entry& wanted = static_cast<const Entry&>(*entry);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (RemoveEqual(entries[i], wanted)) {
                entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
                return kRemoved;
            }
        }
        return kNotFound;
    }
    int CopyEntry(RuleEntry* target, const RuleEntry* source) override {
        if (!target || !source || target->kind != source->kind) return 0;
        Copy(static_cast<Entry&>(*target), static_cast<const Entry&>(*source));
        return 1;
    }

protected:
    virtual const wchar_t* RuleElement() const = 0;
    virtual Entry ReadEntry(const NodeXml::CXmlNode& node) const = 0;
    virtual bool WriteEntry(NodeXml::CXmlNode& node, const Entry& entry) const = 0;
    virtual bool Equal(const Entry& a, const Entry& b) const = 0;
    virtual bool RemoveEqual(const Entry& a, const Entry& b) const { return Equal(a, b); }
    // Whether list entry `entry` overlaps the `given` one.
    virtual bool Overlaps(const Entry& entry, const Entry& given) const = 0;
    virtual void Copy(Entry& target, const Entry& source) const = 0;
};

class CConfigureTypeType : public CConfigureTypeOf<TypeEntry> {
public:
    CConfigureTypeType();
    bool Matches(const ShellItem* item, int pass) override;
    void Dump() override;

protected:
    const wchar_t* RuleElement() const override { return profile_doc::kTypeRuleElement; }
    TypeEntry ReadEntry(const NodeXml::CXmlNode& node) const override;
    bool WriteEntry(NodeXml::CXmlNode& node, const TypeEntry& entry) const override;
    bool Equal(const TypeEntry& a, const TypeEntry& b) const override;
    bool Overlaps(const TypeEntry&, const TypeEntry&) const override { return false; }
    void Copy(TypeEntry& target, const TypeEntry& source) const override;
};

class CConfigureTypeName : public CConfigureTypeOf<NameEntry> {
public:
    CConfigureTypeName();
    bool Matches(const ShellItem* item, int pass) override;
    void Dump() override;

protected:
    const wchar_t* RuleElement() const override { return profile_doc::kNameRuleElement; }
    NameEntry ReadEntry(const NodeXml::CXmlNode& node) const override;
    bool WriteEntry(NodeXml::CXmlNode& node, const NameEntry& entry) const override;
    bool Equal(const NameEntry& a, const NameEntry& b) const override;
    bool RemoveEqual(const NameEntry& a, const NameEntry& b) const override;
    bool Overlaps(const NameEntry& entry, const NameEntry& given) const override;
    void Copy(NameEntry& target, const NameEntry& source) const override;

private:
    // Compiled expressions, by entry index; recompiled when the text changed.
    struct CompiledPattern {
        std::wstring text;
        CRegExp expression;
        bool compiled = false;
    };
    std::vector<CompiledPattern> compiled_;
};

class CConfigureTypeSize : public CConfigureTypeOf<SizeEntry> {
public:
    CConfigureTypeSize();
    bool Matches(const ShellItem* item, int pass) override;
    void Dump() override;

protected:
    const wchar_t* RuleElement() const override { return profile_doc::kSizeRuleElement; }
    SizeEntry ReadEntry(const NodeXml::CXmlNode& node) const override;
    bool WriteEntry(NodeXml::CXmlNode& node, const SizeEntry& entry) const override;
    bool Equal(const SizeEntry& a, const SizeEntry& b) const override;
    bool Overlaps(const SizeEntry& entry, const SizeEntry& given) const override;
    void Copy(SizeEntry& target, const SizeEntry& source) const override;
};

class CConfigureTypeTime : public CConfigureTypeOf<TimeEntry> {
public:
    CConfigureTypeTime();
    bool Matches(const ShellItem* item, int pass) override;
    void Dump() override;

protected:
    const wchar_t* RuleElement() const override { return profile_doc::kTimeRuleElement; }
    TimeEntry ReadEntry(const NodeXml::CXmlNode& node) const override;
    bool WriteEntry(NodeXml::CXmlNode& node, const TimeEntry& entry) const override;
    bool Equal(const TimeEntry& a, const TimeEntry& b) const override;
    bool RemoveEqual(const TimeEntry& a, const TimeEntry& b) const override;
    bool Overlaps(const TimeEntry& entry, const TimeEntry& given) const override;
    void Copy(TimeEntry& target, const TimeEntry& source) const override;
};

// ---- Date and size helpers shared with the editor --------------------------

bool IsZeroTime(const FILETIME& time);
// -1 when either is absent; otherwise the order of the two UTC calendar dates.
int CompareDate(const FILETIME* a, const FILETIME* b);
// "0000-00-00 00:00:00", or the calendar time as "%04d-%02d-%02d %02d:%02d:%02d".
void FormatDateTime(std::wstring* text, const SYSTEMTIME* time);
// "%04d-%02d-%02d" of the UTC date; nothing when either is absent.
void FormatDate(std::wstring* text, const FILETIME* time);
// A stored date text ("%d-%d-%d %d:%d:%d", UTC) as a file time; zero when invalid.
FILETIME ParseDateText(const std::wstring& text);
// The UTC calendar time as a file time; false when the system takes none.
bool UtcFileTime(int year, int month, int day, int hour, int minute, int second, int milliseconds,
                 FILETIME* time);

// 0 "Unlimited", 1 "B", 2 "KB", 3 "MB", 4 "GB", 5 "TB".
struct SplitSizeResult {
    double number;
    int unit;
};
SplitSizeResult SplitSize(int64_t bytes);

// Decimal integer reading as the profile document wants it: optional sign,
// digits up to the first other character, 0 when there are none.
int64_t ParseInt64Prefix(const std::wstring& text);
// A rule element's kind attribute: ParseInt64Prefix held within int32_t.
int32_t ParseKindText(const std::wstring& text);

}  // namespace ordvale
