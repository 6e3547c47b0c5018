// The four rule kinds: which items each one takes, the list operations the
// profile editor relies on, the date and size helpers, and the profile
// document's rule elements read and written back.

#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <cstdint>
#include <cwchar>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/ConfigureType.h"
#include "common/NodeXml.h"
#include "common/ProfileDocument.h"
#include "common/RegExp.h"
#include "common/ShellItem.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;
using NodeXml::CXmlDocument;
using NodeXml::CXmlNode;
using NodeXml::CXmlNodePtr;

namespace {

// ---- Items ---------------------------------------------------------------------

enum class Shape {
    File,         // an ordinary file
    Folder,       // a file-system folder
    Shortcut,     // a .lnk file: a file carrying the link flag
    Archive,      // a zip the shell reports as both folder and file
    VirtualFile,  // a shell object that looks like a file
    LinkOnly,     // a link outside the file system
};

ShellItem MakeItem(Shape shape, const wchar_t* name) {
    ShellItem item;
    switch (shape) {
        case Shape::File: item.attributes = kAttrFileSystem | kAttrStream; break;
        case Shape::Folder: item.attributes = kAttrFileSystem | kAttrFolder; break;
        case Shape::Shortcut: item.attributes = kAttrFileSystem | kAttrStream | kAttrLink; break;
        case Shape::Archive: item.attributes = kAttrFileSystem | kAttrStream | kAttrFolder; break;
        case Shape::VirtualFile:
            item.attributes = kAttrFileSystem | kAttrStream;
            item.isVirtual = true;
            break;
        case Shape::LinkOnly: item.attributes = kAttrLink; break;
    }
    StoreText(item.name, name);
    SetExtensionFromName(&item);
    return item;
}

ShellItem FileOfSize(uint64_t size) {
    ShellItem item = MakeItem(Shape::File, L"data.bin");
    item.size = size;
    return item;
}

// ---- Dates ---------------------------------------------------------------------

FILETIME Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
             int milliseconds = 0) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(milliseconds);
    FILETIME ft = {};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft)) << year << "-" << month << "-" << day;
    return ft;
}

const FILETIME kZeroTime = {};

uint64_t Ticks(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// ---- Entries -------------------------------------------------------------------

TypeEntry Ext(const wchar_t* extension) {
    TypeEntry e;
    StoreText(e.extension, extension);
    return e;
}
TypeEntry TypeSpecial(int32_t kind, const wchar_t* displayName = L"") {
    TypeEntry e;
    e.kind = kind;
    StoreText(e.extension, displayName);
    return e;
}

NameEntry Range(wchar_t first, wchar_t last) {
    NameEntry e;
    e.first = first;
    e.last = last;
    return e;
}
NameEntry Pattern(const wchar_t* pattern) {
    NameEntry e;
    e.kind = kNameRegExp;
    StoreText(e.pattern, pattern);
    return e;
}

SizeEntry Sizes(int64_t lower, int64_t upper) {
    SizeEntry e;
    e.lower = lower;
    e.upper = upper;
    return e;
}
SizeEntry FoldersBySize() {
    SizeEntry e;
    e.kind = kSizeFolders;
    return e;
}

TimeEntry Dates(FILETIME begin, FILETIME end) {
    TimeEntry e;
    e.begin = begin;
    e.end = end;
    return e;
}

// The same entry under another kind number.
template <class Entry>
Entry OfKind(Entry e, int32_t kind) {
    e.kind = kind;
    return e;
}

template <class Rules, class Entry>
void AddAll(Rules* rules, const std::vector<Entry>& list) {
    for (const Entry& e : list) ASSERT_TRUE(rules->Add(&e));
}

std::vector<int> Collisions(CConfigureType& rules, const RuleEntry& given) {
    std::vector<int> found = {99};  // stale content must go
    rules.FindCollisions(&given, &found);
    return found;
}

// ---- XML -----------------------------------------------------------------------

// The serialised form of one node, attributes in the order they were set,
// without the line breaks and indentation the engine may put between elements.
std::wstring XmlOf(const CXmlNodePtr& node) {
    win::Bstr xml;
    if (!node || node->IsNull() || FAILED(node->Raw()->get_xml(xml.Put()))) return L"(none)";
    std::wstring text;
    for (wchar_t c : xml.Text())
        if (c != L'\r' && c != L'\n' && c != L'\t') text.push_back(c);
    return text;
}

// A profile document on disk whose first Folder holds the given rule elements,
// and a blank document to write rules into.
class ConfigureTypeXml : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(com.Result())); }

    CXmlNodePtr LoadFolder(const std::string& body) {
        const std::wstring path = dir / L"profile.xml";
        const std::string text =
            "<?xml version=\"1.0\"?>\n<Ordvale><TypeProfiles><TypeConfigure id=\"Type1\">"
            "<Folder displayname=\"Rules\">" +
            body + "</Folder></TypeConfigure></TypeProfiles></Ordvale>\n";
        EXPECT_TRUE(WriteText(path, text));
        EXPECT_TRUE(source.Open(path.c_str()));
        CXmlNodePtr folder = source.SelectSingleNode(L"//TypeConfigure/Folder");
        EXPECT_FALSE(folder->IsNull());
        return folder;
    }

    CXmlNodePtr FreshFolder() {
        EXPECT_TRUE(target.CreateBlank());
        CXmlNodePtr folder = target.GetRoot()->NewChild(profile_doc::kFolderElement);
        EXPECT_FALSE(folder->IsNull());
        return folder;
    }

    win::ComInit com;
    TempDir dir;
    CXmlDocument source;
    CXmlDocument target;
};

}  // namespace

// ==== Common to every kind ========================================================

TEST(RuleKindTest, MethodWordAndPassOrder) {
    CConfigureTypeType type;
    CConfigureTypeName name;
    CConfigureTypeSize size;
    CConfigureTypeTime time;
    struct Case {
        CConfigureType* rules;
        const wchar_t* word;
        std::vector<int> passes;
    } cases[] = {
        {&type, L"Type", {0, 1}},
        {&name, L"Name", {1, 0, 2}},
        {&size, L"Size", {0, 1}},
        {&time, L"Time", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.word));
        EXPECT_EQ(std::wstring(c.rules->MethodWord()), c.word);
        EXPECT_EQ(c.rules->PassOrder(), c.passes);
        EXPECT_EQ(c.rules->EntryCount(), 0);
    }
}

TEST(RuleKindTest, RuleObjectHoldsTheThreadInASingleThreadedApartment) {
    std::thread worker([] {
        {
            CConfigureTypeSize rules;
            // Already initialised: a second call in the same mode only counts up.
            HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            EXPECT_EQ(again, S_FALSE);
            if (SUCCEEDED(again)) CoUninitialize();
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        }
        // Gone with the object.
        HRESULT fresh = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(fresh, S_OK);
        if (SUCCEEDED(fresh)) CoUninitialize();
    });
    worker.join();
}

TEST(RuleKindTest, ListOperationsOnIndexesAndNulls) {
    CConfigureTypeSize rules;
    AddAll(&rules, std::vector<SizeEntry>{Sizes(0, 10), Sizes(10, 20), Sizes(20, 0)});
    EXPECT_FALSE(rules.Add(nullptr));
    EXPECT_EQ(rules.Remove(nullptr), 0);

    int index = 7;
    EXPECT_FALSE(rules.Find(nullptr, &index));
    EXPECT_EQ(index, -1);
    SizeEntry wanted = Sizes(20, 0);
    EXPECT_TRUE(rules.Find(&wanted, &index));
    EXPECT_EQ(index, 2);

    EXPECT_FALSE(rules.RemoveAt(-1));
    EXPECT_FALSE(rules.RemoveAt(3));
    EXPECT_TRUE(rules.RemoveAt(1));
    ASSERT_EQ(rules.EntryCount(), 2);
    EXPECT_EQ(rules.entries[1].lower, 20);
    EXPECT_EQ(rules.GetEntry(2), nullptr);

    rules.ClearEntries();
    EXPECT_EQ(rules.EntryCount(), 0);
}

TEST(RuleKindTest, CopyEntryOnlyBetweenEntriesOfTheSameKind) {
    CConfigureTypeSize rules;
    SizeEntry source = Sizes(5, 50);
    source.iconIndex = 4;
    StoreText(source.displayName, L"Small");
    StoreText(source.description, L"5 to 50 bytes");
    SizeEntry target = FoldersBySize();
    EXPECT_EQ(rules.CopyEntry(&target, &source), 0);
    EXPECT_EQ(target.lower, 0);
    EXPECT_EQ(rules.CopyEntry(nullptr, &source), 0);
    EXPECT_EQ(rules.CopyEntry(&target, nullptr), 0);

    target = Sizes(0, 0);
    ASSERT_EQ(rules.CopyEntry(&target, &source), 1);
    EXPECT_EQ(target.lower, 5);
    EXPECT_EQ(target.upper, 50);
    EXPECT_EQ(target.iconIndex, 4);
    EXPECT_EQ(std::wstring(target.displayName), L"Small");
    EXPECT_EQ(std::wstring(target.description), L"5 to 50 bytes");
}

TEST(RuleKindTest, DumpCopesWithEveryKindOfEntry) {
    CConfigureTypeType type;
    AddAll(&type, std::vector<TypeEntry>{Ext(L".jpg"), TypeSpecial(kTypeFolders), TypeSpecial(9)});
    CConfigureTypeName name;
    AddAll(&name, std::vector<NameEntry>{Range(L'A', L'M'), Pattern(L"(x"), Range(L'\0', L'\xFFFF')});
    CConfigureTypeSize size;
    AddAll(&size, std::vector<SizeEntry>{Sizes(INT64_MIN, INT64_MAX), FoldersBySize()});
    CConfigureTypeTime time;
    FILETIME beyondCalendar = {0xFFFFFFFFu, 0xFFFFFFFFu};
    AddAll(&time, std::vector<TimeEntry>{Dates(kZeroTime, Utc(2020, 1, 1)), Dates(beyondCalendar, beyondCalendar)});
    type.Dump();
    name.Dump();
    size.Dump();
    time.Dump();
}

TEST(RuleKindTest, ParseInt64Prefix) {
    struct Case {
        const wchar_t* text;
        int64_t value;
    } cases[] = {
        {L"", 0},
        {L"0", 0},
        {L"1024", 1024},
        {L"-17", -17},
        {L"+5", 5},
        {L"12kb", 12},
        {L"1 2", 1},
        {L"0x10", 0},
        {L"kb12", 0},
        {L"-", 0},
        {L"+-3", 0},
        {L"  42", 42},
        {L"\t-8", -8},
        {L"007", 7},
        {L"9223372036854775807", INT64_MAX},
        {L"-9223372036854775808", INT64_MIN},
        {L"9223372036854775808", INT64_MAX},
        {L"123456789012345678901234567890", INT64_MAX},
        {L"-99999999999999999999", INT64_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(ParseInt64Prefix(c.text), c.value);
    }
    // Kinds are 32-bit; a kind beyond that range must not wrap into a real one.
    EXPECT_EQ(ParseKindText(L"4294967297"), INT32_MAX);
    EXPECT_EQ(ParseKindText(L"-4294967295"), INT32_MIN);
    EXPECT_EQ(ParseKindText(L"3"), 3);
}

// ==== Date helpers =================================================================

TEST(DateHelpersTest, CompareDateLooksAtTheUtcCalendarDateOnly) {
    const FILETIME morning = Utc(2020, 3, 15, 0, 0, 0);
    const FILETIME night = Utc(2020, 3, 15, 23, 59, 59, 999);
    const FILETIME epochNoon = Utc(1601, 1, 1, 12);
    struct Case {
        const char* what;
        FILETIME a, b;
        int order;
    } cases[] = {
        {"same day, different hours", morning, night, 0},
        {"same day, reversed", night, morning, 0},
        {"one second later is the next day", night, Utc(2020, 3, 16), -1},
        {"next day", Utc(2020, 3, 16), morning, 1},
        {"earlier month, later day", Utc(2020, 2, 28), Utc(2020, 3, 1), -1},
        {"earlier year, later month", Utc(2019, 12, 31), Utc(2020, 1, 1), -1},
        {"zero is 1601-01-01", kZeroTime, epochNoon, 0},
        {"zero before everything else", kZeroTime, Utc(1601, 1, 2), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CompareDate(&c.a, &c.b), c.order);
    }
    EXPECT_EQ(CompareDate(nullptr, &morning), -1);
    EXPECT_EQ(CompareDate(&morning, nullptr), -1);
    EXPECT_EQ(CompareDate(nullptr, nullptr), -1);
}

TEST(DateHelpersTest, Formatting) {
    std::wstring text = L"old";
    FormatDateTime(&text, nullptr);
    EXPECT_EQ(text, L"0000-00-00 00:00:00");

    SYSTEMTIME st = {};
    st.wYear = 987;
    st.wMonth = 3;
    st.wDay = 4;
    st.wHour = 5;
    st.wMinute = 6;
    st.wSecond = 7;
    st.wMilliseconds = 890;
    FormatDateTime(&text, &st);
    EXPECT_EQ(text, L"0987-03-04 05:06:07");
    st = {};
    st.wYear = 2024;
    st.wMonth = 12;
    st.wDay = 31;
    st.wHour = 23;
    st.wMinute = 59;
    st.wSecond = 58;
    FormatDateTime(&text, &st);
    EXPECT_EQ(text, L"2024-12-31 23:59:58");

    const FILETIME lateEvening = Utc(2020, 1, 1, 22, 30);
    FormatDate(&text, &lateEvening);
    EXPECT_EQ(text, L"2020-01-01");
    FormatDate(&text, &kZeroTime);
    EXPECT_EQ(text, L"1601-01-01");
    text = L"kept";
    FormatDate(&text, nullptr);
    EXPECT_EQ(text, L"kept");
    FormatDate(nullptr, &lateEvening);
    FormatDateTime(nullptr, &st);
}

TEST(DateHelpersTest, ParseDateText) {
    struct Case {
        const wchar_t* text;
        bool valid;
        FILETIME expected;  // when valid
    } cases[] = {
        {L"2020-01-31 23:59:59", true, Utc(2020, 1, 31, 23, 59, 59)},
        {L"2020-1-5 3:4:5", true, Utc(2020, 1, 5, 3, 4, 5)},
        {L"  2020-01-05   10:20:30", true, Utc(2020, 1, 5, 10, 20, 30)},
        {L"2020-01-05", true, Utc(2020, 1, 5)},
        {L"2020-01-05 10", true, Utc(2020, 1, 5, 10)},
        {L"2020-01-05T10:20:30", true, Utc(2020, 1, 5)},  // reading stops at the T
        {L"2020-01-05 10:20:30.999", true, Utc(2020, 1, 5, 10, 20, 30)},
        {L"2020-02-29 00:00:00", true, Utc(2020, 2, 29)},
        {L"2000-02-29", true, Utc(2000, 2, 29)},
        {L"30827-12-31 23:59:59", true, Utc(30827, 12, 31, 23, 59, 59)},
        {L"1601-01-02", true, Utc(1601, 1, 2)},
        // The first instant of 1601 is the zero time itself.
        {L"1601-01-01 00:00:00", false, {}},
        {L"0000-00-00 00:00:00", false, {}},
        {L"", false, {}},
        {L"yesterday", false, {}},
        {L"2020/01/05", false, {}},
        {L"2021-02-30 00:00:00", false, {}},
        {L"1900-02-29", false, {}},
        {L"2020-04-31", false, {}},
        {L"2020-13-01", false, {}},
        {L"2020-00-10", false, {}},
        {L"2020-01-00", false, {}},
        {L"1600-12-31 23:59:59", false, {}},
        {L"-2020-01-01", false, {}},
        {L"2020--1-01", false, {}},
        {L"2020-01-01 24:00:00", false, {}},
        {L"2020-01-01 23:60:00", false, {}},
        {L"2020-01-01 23:59:60", false, {}},
        {L"2020-01-01 -1:00:00", false, {}},
        {L"65537-01-01", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        const FILETIME parsed = ParseDateText(c.text);
        if (c.valid) {
            EXPECT_EQ(Ticks(parsed), Ticks(c.expected));
        } else {
            EXPECT_TRUE(IsZeroTime(parsed)) << Ticks(parsed);
        }
    }
}

// ==== Size helpers =================================================================

TEST(SizeHelpersTest, SplitSizeUnitBoundaries) {
    const int64_t kKB = 1024, kMB = kKB * 1024, kGB = kMB * 1024, kTB = kGB * 1024;
    struct Case {
        int64_t bytes;
        double number;
        int unit;
    } cases[] = {
        {0, 0, 0},
        {-5, -5, 1},
        {1, 1, 1},
        {1023, 1023, 1},
        {1024, 1, 2},
        {1536, 1.5, 2},
        {1047552, 1023, 2},
        {1047553, 1047553.0 / kMB, 3},
        {kMB, 1, 3},
        {1072693248, 1023, 3},
        {1072693249, 1072693249.0 / kGB, 4},
        {1023 * kGB, 1023, 4},
        {1023 * kGB + 1, (1023.0 * kGB + 1) / kTB, 5},
        {kTB, 1, 5},
        {INT64_MAX, 8388608, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const SplitSizeResult split = SplitSize(c.bytes);
        EXPECT_EQ(split.unit, c.unit);
        EXPECT_DOUBLE_EQ(split.number, c.number);
    }
    // What the editor shows just past 1023 KB.
    EXPECT_NEAR(SplitSize(1047553).number, 1.00, 0.005);
}

// ==== Type ==========================================================================

TEST(TypeRulesTest, WhichItemsEachRuleTakes) {
    const TypeEntry jpg = Ext(L".JPG"), lnk = Ext(L".lnk"), zip = Ext(L".zip"), none = Ext(L"");
    const TypeEntry folders = TypeSpecial(kTypeFolders, L"Folders");
    const TypeEntry shortcuts = TypeSpecial(kTypeShortcuts, L"Shortcuts");
    const TypeEntry others = TypeSpecial(kTypeOtherFiles, L"Other files");
    struct Case {
        const char* what;
        std::vector<TypeEntry> rules;
        Shape shape;
        const wchar_t* name;
        bool pass0, pass1;
    } cases[] = {
        {"extension, same case", {jpg}, Shape::File, L"photo.JPG", true, false},
        {"extension, lower case", {jpg}, Shape::File, L"photo.jpg", true, false},
        {"extension, mixed case", {jpg}, Shape::File, L"PHOTO.Jpg", true, false},
        {"longer extension", {jpg}, Shape::File, L"photo.jpeg", false, false},
        {"only the last dot counts", {jpg}, Shape::File, L"photo.jpg.txt", false, false},
        {"folder with that extension", {jpg}, Shape::Folder, L"album.jpg", false, false},
        {"empty extension, name without dot", {none}, Shape::File, L"README", true, false},
        {"empty extension, name with dot", {none}, Shape::File, L"notes.txt", false, false},
        {"empty extension, trailing dot", {none}, Shape::File, L"notes.", false, false},
        {"empty extension, folder", {none}, Shape::Folder, L"Projects", false, false},
        {"shortcut by extension", {lnk}, Shape::Shortcut, L"a.lnk", true, false},
        {"shortcut by the shortcuts rule", {shortcuts}, Shape::Shortcut, L"a.lnk", false, true},
        {"shortcut, other files rule", {others}, Shape::Shortcut, L"a.lnk", false, false},
        {"link outside the file system", {shortcuts}, Shape::LinkOnly, L"Printer", false, true},
        {"shortcuts rule, plain file", {shortcuts}, Shape::File, L"a.txt", false, false},
        {"archive by extension", {zip}, Shape::Archive, L"a.zip", true, false},
        {"archive, folders rule", {folders}, Shape::Archive, L"a.zip", false, false},
        {"archive, other files rule", {others}, Shape::Archive, L"a.zip", false, false},
        {"folders rule, folder", {folders}, Shape::Folder, L"Projects", false, true},
        {"folders rule, file", {folders}, Shape::File, L"a.txt", false, false},
        {"other files rule, file", {others}, Shape::File, L"a.txt", false, true},
        {"other files rule, folder", {others}, Shape::Folder, L"Projects", false, false},
        {"unknown kind", {TypeSpecial(7)}, Shape::File, L"a.txt", false, false},
        {"no rules", {}, Shape::File, L"a.txt", false, false},
        {"everything, plain file", {jpg, folders, shortcuts, others}, Shape::File, L"a.txt", false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeType rules;
        AddAll(&rules, c.rules);
        const ShellItem item = MakeItem(c.shape, c.name);
        EXPECT_EQ(rules.Matches(&item, 0), c.pass0);
        EXPECT_EQ(rules.Matches(&item, 1), c.pass1);
        EXPECT_FALSE(rules.Matches(&item, 2));
        EXPECT_FALSE(rules.Matches(&item, -1));
    }
    CConfigureTypeType rules;
    AddAll(&rules, std::vector<TypeEntry>{none, folders, shortcuts, others});
    EXPECT_FALSE(rules.Matches(nullptr, 0));
    EXPECT_FALSE(rules.Matches(nullptr, 1));
}

TEST(TypeRulesTest, FindAndRemove) {
    CConfigureTypeType rules;
    AddAll(&rules, std::vector<TypeEntry>{Ext(L".jpg"), Ext(L".png"), TypeSpecial(kTypeShortcuts),
                                         TypeSpecial(kTypeFolders, L"Folders"), TypeSpecial(6)});
    struct Case {
        const char* what;
        TypeEntry wanted;
        int index;
    } cases[] = {
        {"extension ignoring case", Ext(L".PNG"), 1},
        {"longer extension", Ext(L".pngx"), -1},
        {"empty extension", Ext(L""), -1},
        {"folders rule whatever its text", TypeSpecial(kTypeFolders, L"Ordner"), 3},
        {"shortcuts rule", TypeSpecial(kTypeShortcuts, L".jpg"), 2},
        {"other files rule, absent", TypeSpecial(kTypeOtherFiles), -1},
        {"unknown kinds are never equal", TypeSpecial(6), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int index = 42;
        EXPECT_EQ(rules.Find(&c.wanted, &index), c.index >= 0);
        EXPECT_EQ(index, c.index);
    }

    const TypeEntry absent = Ext(L".gif");
    EXPECT_EQ(rules.Remove(&absent), kNotFound);
    EXPECT_EQ(rules.EntryCount(), 5);
    const TypeEntry png = Ext(L".Png");
    EXPECT_EQ(rules.Remove(&png), kRemoved);
    ASSERT_EQ(rules.EntryCount(), 4);
    EXPECT_EQ(std::wstring(rules.entries[1].extension), L"");
    EXPECT_EQ(rules.entries[1].kind, kTypeShortcuts);
    const TypeEntry folders = TypeSpecial(kTypeFolders, L"anything");
    EXPECT_EQ(rules.Remove(&folders), kRemoved);
    EXPECT_EQ(rules.EntryCount(), 3);
}

TEST(TypeRulesTest, NoCollisionsEvenForTheSameEntry) {
    CConfigureTypeType rules;
    AddAll(&rules, std::vector<TypeEntry>{Ext(L".jpg"), TypeSpecial(kTypeFolders)});
    EXPECT_TRUE(Collisions(rules, Ext(L".jpg")).empty());
    EXPECT_TRUE(Collisions(rules, TypeSpecial(kTypeFolders)).empty());
}

TEST(TypeRulesTest, CopyEntryTakesTextsAndIcon) {
    CConfigureTypeType rules;
    TypeEntry source = Ext(L".mp3");
    StoreText(source.typeText, L"MP3 audio");
    StoreText(source.description, L"Music");
    source.iconIndex = 12;
    TypeEntry target = Ext(L".wav");
    ASSERT_EQ(rules.CopyEntry(&target, &source), 1);
    EXPECT_EQ(std::wstring(target.extension), L".mp3");
    EXPECT_EQ(std::wstring(target.typeText), L"MP3 audio");
    EXPECT_EQ(std::wstring(target.description), L"Music");
    EXPECT_EQ(target.iconIndex, 12);
}

// ==== Name ==========================================================================

TEST(NameRulesTest, WhichItemsEachRuleTakes) {
    const NameEntry aToM = Range(L'A', L'M');
    struct Case {
        const char* what;
        std::vector<NameEntry> rules;
        const wchar_t* name;
        bool isVirtual;
        bool pass0, pass1;
    } cases[] = {
        {"A-M, capital A", {aToM}, L"Apple.txt", false, true, false},
        {"A-M, small a", {aToM}, L"apple.txt", false, false, false},
        {"A-M, upper end", {aToM}, L"Mango", false, true, false},
        {"A-M, past the end", {aToM}, L"Nectar", false, false, false},
        {"A-M, Z", {aToM}, L"Zebra", false, false, false},
        {"digits", {Range(L'0', L'9')}, L"2019 report.doc", false, true, false},
        {"single character range", {Range(L'x', L'x')}, L"x", false, true, false},
        {"printable range, space", {Range(L' ', L'~')}, L" leading blank", false, true, false},
        {"printable range, tilde", {Range(L' ', L'~')}, L"~$draft.docx", false, true, false},
        {"printable range, accented", {Range(L' ', L'~')}, L"\u00E9t\u00E9.txt", false, false,
         false},
        {"units above 0x7FFF compare unsigned", {Range(L'A', L'\xFFFF')}, L"\xFF21.txt", false, true,
         false},
        {"kana range", {Range(L'\x3040', L'\x30FF')}, L"\x3042\x3044.txt", false, true, false},
        {"range from code unit 0, empty name", {Range(L'\0', L'~')}, L"", false, false, false},
        {"reversed range", {Range(L'M', L'A')}, L"Hat", false, false, false},
        {"range of a virtual item", {Range(L' ', L'~')}, L"::{20D04FE0}", true, false, false},
        {"pattern at the end", {Pattern(L"txt$")}, L"notes.txt", false, false, true},
        {"pattern not at the end", {Pattern(L"txt$")}, L"notes.txt.bak", false, false, false},
        {"pattern is case-sensitive", {Pattern(L"Report")}, L"report.doc", false, false, false},
        {"pattern anywhere", {Pattern(L"Report")}, L"Annual Report.doc", false, false, true},
        {"anchored start", {Pattern(L"^IMG_\\d+")}, L"IMG_0042.jpg", false, false, true},
        {"anchored start, later", {Pattern(L"^IMG_\\d+")}, L"old IMG_0042.jpg", false, false,
         false},
        {"pattern that does not compile", {Pattern(L"(unclosed")}, L"(unclosed", false, false,
         false},
        {"pattern of a virtual item", {Pattern(L"Computer")}, L"Computer", true, false, false},
        {"second pattern", {Pattern(L"(bad"), Pattern(L"\\.doc$")}, L"a.doc", false, false, true},
        {"unknown kind", {OfKind(Pattern(L"x"), 5), OfKind(Range(L' ', L'~'), 6)}, L"x", false,
         false, false},
        {"both kinds", {aToM, Pattern(L"z")}, L"Baz", false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeName rules;
        AddAll(&rules, c.rules);
        ShellItem item = MakeItem(Shape::File, c.name);
        item.isVirtual = c.isVirtual;
        EXPECT_EQ(rules.Matches(&item, 0), c.pass0);
        EXPECT_EQ(rules.Matches(&item, 1), c.pass1);
        EXPECT_FALSE(rules.Matches(&item, 2));
        // Folders are named like files.
        ShellItem folder = MakeItem(Shape::Folder, c.name);
        folder.isVirtual = c.isVirtual;
        EXPECT_EQ(rules.Matches(&folder, 0), c.pass0);
        EXPECT_EQ(rules.Matches(&folder, 1), c.pass1);
    }
    CConfigureTypeName rules;
    AddAll(&rules, std::vector<NameEntry>{Range(L' ', L'~'), Pattern(L"")});
    EXPECT_FALSE(rules.Matches(nullptr, 0));
    EXPECT_FALSE(rules.Matches(nullptr, 1));
}

TEST(NameRulesTest, PatternsFollowEntriesEditedBetweenCalls) {
    const wchar_t* const names[] = {L"notes.txt", L"notes.doc", L"Report.doc", L"(x", L"a"};
    CConfigureTypeName rules;
    AddAll(&rules, std::vector<NameEntry>{Range(L'0', L'9'), Pattern(L"txt$")});
    auto expectFresh = [&](const char* step) {
        SCOPED_TRACE(step);
        for (const wchar_t* name : names) {
            SCOPED_TRACE(Narrow(name));
            const ShellItem item = MakeItem(Shape::File, name);
            bool fresh = false;
            for (const NameEntry& e : rules.entries)
                fresh = fresh || (e.kind == kNameRegExp && MatchesPattern(name, e.pattern));
            EXPECT_EQ(rules.Matches(&item, 1), fresh);
        }
    };
    expectFresh("first pattern");
    StoreText(rules.entries[1].pattern, L"doc$");
    expectFresh("edited in place");
    StoreText(rules.entries[1].pattern, L"(x");
    expectFresh("edited to a bad pattern");
    StoreText(rules.entries[1].pattern, L"\\(x");
    expectFresh("bad pattern repaired");

    NameEntry report = Pattern(L"^Report");
    ASSERT_EQ(rules.CopyEntry(&rules.entries[1], &report), 1);
    expectFresh("copied over");

    // Entries move to other indexes.
    ASSERT_TRUE(rules.RemoveAt(0));
    expectFresh("shifted down");
    const NameEntry txt = Pattern(L"txt$");
    ASSERT_TRUE(rules.Add(&txt));
    expectFresh("added");
    rules.ClearEntries();
    expectFresh("cleared");
    const NameEntry a = Pattern(L"^a$");
    ASSERT_TRUE(rules.Add(&a));
    expectFresh("new list");
}

TEST(NameRulesTest, FindIgnoresCaseOfPatternsButRemoveDoesNot) {
    CConfigureTypeName rules;
    const NameEntry unknown = OfKind(Pattern(L""), 4);
    AddAll(&rules, std::vector<NameEntry>{Range(L'A', L'M'), Pattern(L"Report"), unknown});

    struct Case {
        const char* what;
        NameEntry wanted;
        int index;
    } cases[] = {
        {"same range", Range(L'A', L'M'), 0},
        {"same start only", Range(L'A', L'Z'), -1},
        {"same end only", Range(L'B', L'M'), -1},
        {"pattern in other case", Pattern(L"REPORT"), 1},
        {"other pattern", Pattern(L"Reports"), -1},
        {"pattern text that looks like a range", Pattern(L"A"), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int index = 42;
        EXPECT_EQ(rules.Find(&c.wanted, &index), c.index >= 0);
        EXPECT_EQ(index, c.index);
    }
    const NameEntry otherUnknown = OfKind(Pattern(L"different"), 4);
    int index = -1;
    EXPECT_TRUE(rules.Find(&otherUnknown, &index));
    EXPECT_EQ(index, 2);

    const NameEntry lower = Pattern(L"report");
    EXPECT_EQ(rules.Remove(&lower), kNotFound);
    EXPECT_EQ(rules.EntryCount(), 3);
    const NameEntry exact = Pattern(L"Report");
    EXPECT_EQ(rules.Remove(&exact), kRemoved);
    EXPECT_EQ(rules.EntryCount(), 2);
    const NameEntry range = Range(L'A', L'M');
    EXPECT_EQ(rules.Remove(&range), kRemoved);
    EXPECT_EQ(rules.Remove(&otherUnknown), kRemoved);
    EXPECT_EQ(rules.EntryCount(), 0);
}

TEST(NameRulesTest, OverlappingRanges) {
    struct Case {
        const char* what;
        NameEntry a, b;
        bool overlap;
    } cases[] = {
        {"sharing one letter", Range(L'a', L'f'), Range(L'f', L'k'), true},
        {"adjacent", Range(L'a', L'e'), Range(L'f', L'k'), false},
        {"one inside the other", Range(L'a', L'z'), Range(L'm', L'n'), true},
        {"same", Range(L'0', L'9'), Range(L'0', L'9'), true},
        {"far apart", Range(L'0', L'9'), Range(L'A', L'Z'), false},
        {"high code units", Range(L'A', L'\xFFFF'), Range(L'\xFF00', L'\xFF10'), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeName forward;
        AddAll(&forward, std::vector<NameEntry>{c.a});
        EXPECT_EQ(Collisions(forward, c.b), c.overlap ? std::vector<int>{0} : std::vector<int>{});
        CConfigureTypeName backward;
        AddAll(&backward, std::vector<NameEntry>{c.b});
        EXPECT_EQ(Collisions(backward, c.a), c.overlap ? std::vector<int>{0} : std::vector<int>{});
    }

    // Patterns never collide, neither as list entries nor as the given one.
    CConfigureTypeName rules;
    AddAll(&rules, std::vector<NameEntry>{Range(L'a', L'z'), Pattern(L"a"), Range(L'x', L'y'),
                                         Range(L'0', L'9')});
    EXPECT_EQ(Collisions(rules, Range(L'y', L'y')), (std::vector<int>{0, 2}));
    EXPECT_TRUE(Collisions(rules, Pattern(L"a")).empty());
}

TEST(NameRulesTest, CopyEntryTakesEveryValue) {
    CConfigureTypeName rules;
    NameEntry source = Range(L'N', L'Z');
    StoreText(source.pattern, L"leftover");
    StoreText(source.displayName, L"N-Z");
    StoreText(source.description, L"Second half");
    source.iconIndex = 3;
    NameEntry target = Range(L'A', L'M');
    ASSERT_EQ(rules.CopyEntry(&target, &source), 1);
    EXPECT_EQ(target.first, L'N');
    EXPECT_EQ(target.last, L'Z');
    EXPECT_EQ(std::wstring(target.pattern), L"leftover");
    EXPECT_EQ(std::wstring(target.displayName), L"N-Z");
    EXPECT_EQ(std::wstring(target.description), L"Second half");
    EXPECT_EQ(target.iconIndex, 3);
}

// ==== Size ==========================================================================

TEST(SizeRulesTest, WhichItemsEachRuleTakes) {
    const SizeEntry upTo1K = Sizes(0, 1024), over1M = Sizes(1048576, 0), all = Sizes(0, 0);
    struct Case {
        const char* what;
        std::vector<SizeEntry> rules;
        ShellItem item;
        bool pass0, pass1;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, std::vector<SizeEntry> rules, ShellItem item, bool p0,
                   bool p1) { cases.push_back({what, std::move(rules), std::move(item), p0, p1}); };
    add("up to 1 KB, empty file", {upTo1K}, FileOfSize(0), false, false);
    add("up to 1 KB, one byte", {upTo1K}, FileOfSize(1), true, false);
    add("up to 1 KB, 1024 bytes", {upTo1K}, FileOfSize(1024), true, false);
    add("up to 1 KB, 1025 bytes", {upTo1K}, FileOfSize(1025), false, false);
    add("over 1 MB, exactly 1 MB", {over1M}, FileOfSize(1048576), false, false);
    add("over 1 MB, one byte more", {over1M}, FileOfSize(1048577), true, false);
    add("over 1 MB, huge", {over1M}, FileOfSize(1ULL << 62), true, false);
    add("empty range", {Sizes(1024, 1024)}, FileOfSize(1024), false, false);
    add("empty range, above", {Sizes(1024, 1024)}, FileOfSize(1025), false, false);
    add("below zero takes empty files", {Sizes(-1, 0)}, FileOfSize(0), true, false);
    // Sizes are compared as signed numbers.
    add("size past the signed range", {all}, FileOfSize(UINT64_MAX), false, false);
    add("open range, folder", {all}, MakeItem(Shape::Folder, L"Projects"), false, false);
    add("open range, virtual", {all}, MakeItem(Shape::VirtualFile, L"::{x}"), false, false);
    ShellItem archive = MakeItem(Shape::Archive, L"a.zip");
    archive.size = 10;
    add("open range, archive", {all, FoldersBySize()}, std::move(archive), true, false);
    add("folders rule, folder", {FoldersBySize()}, MakeItem(Shape::Folder, L"Projects"), false,
        true);
    add("folders rule, file", {FoldersBySize()}, FileOfSize(10), false, false);
    ShellItem folderShortcut = MakeItem(Shape::Folder, L"Link to Projects");
    folderShortcut.attributes |= kAttrLink;
    add("folders rule, folder shortcut", {FoldersBySize()}, std::move(folderShortcut), false, true);
    add("unknown kind", {OfKind(FoldersBySize(), 2), OfKind(Sizes(0, 0), 3)},
        MakeItem(Shape::Folder, L"Projects"), false, false);
    add("unknown kind, file", {OfKind(Sizes(0, 0), 3)}, FileOfSize(10), false, false);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeSize rules;
        AddAll(&rules, c.rules);
        EXPECT_EQ(rules.Matches(&c.item, 0), c.pass0);
        EXPECT_EQ(rules.Matches(&c.item, 1), c.pass1);
        EXPECT_FALSE(rules.Matches(&c.item, 2));
    }
    CConfigureTypeSize rules;
    AddAll(&rules, std::vector<SizeEntry>{all, FoldersBySize()});
    EXPECT_FALSE(rules.Matches(nullptr, 0));
    EXPECT_FALSE(rules.Matches(nullptr, 1));
}

TEST(SizeRulesTest, OverlappingRanges) {
    struct Case {
        const char* what;
        SizeEntry a, b;
        bool overlap;
    } cases[] = {
        {"touching at 1024", Sizes(0, 1024), Sizes(1024, 2048), false},
        {"open upper end", Sizes(0, 1024), Sizes(512, 0), true},
        {"open upper end, starting above", Sizes(0, 1024), Sizes(2048, 0), false},
        {"both open", Sizes(0, 0), Sizes(5, 6), true},
        {"inside", Sizes(100, 200), Sizes(150, 160), true},
        {"same", Sizes(100, 200), Sizes(100, 200), true},
        {"one below the other", Sizes(100, 200), Sizes(300, 400), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeSize forward;
        AddAll(&forward, std::vector<SizeEntry>{c.a});
        EXPECT_EQ(Collisions(forward, c.b), c.overlap ? std::vector<int>{0} : std::vector<int>{});
        CConfigureTypeSize backward;
        AddAll(&backward, std::vector<SizeEntry>{c.b});
        EXPECT_EQ(Collisions(backward, c.a), c.overlap ? std::vector<int>{0} : std::vector<int>{});
    }
    CConfigureTypeSize rules;
    AddAll(&rules, std::vector<SizeEntry>{Sizes(0, 100), FoldersBySize(), Sizes(50, 0)});
    EXPECT_EQ(Collisions(rules, Sizes(60, 70)), (std::vector<int>{0, 2}));
    EXPECT_TRUE(Collisions(rules, FoldersBySize()).empty());
}

TEST(SizeRulesTest, FindAndRemove) {
    CConfigureTypeSize rules;
    SizeEntry folders = FoldersBySize();
    folders.lower = 77;  // values of a special do not count
    AddAll(&rules, std::vector<SizeEntry>{Sizes(0, 1024), folders, Sizes(1024, 0)});
    struct Case {
        const char* what;
        SizeEntry wanted;
        int index;
    } cases[] = {
        {"same range", Sizes(1024, 0), 2},
        {"same lower only", Sizes(0, 2048), -1},
        {"same upper only", Sizes(1, 1024), -1},
        {"folders rule", FoldersBySize(), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int index = 42;
        EXPECT_EQ(rules.Find(&c.wanted, &index), c.index >= 0);
        EXPECT_EQ(index, c.index);
        const int before = rules.EntryCount();
        EXPECT_EQ(rules.Remove(&c.wanted), c.index >= 0 ? kRemoved : kNotFound);
        EXPECT_EQ(rules.EntryCount(), before - (c.index >= 0 ? 1 : 0));
        if (c.index >= 0) rules.entries.insert(rules.entries.begin() + c.index, c.wanted);
    }
}

// ==== Time ==========================================================================

TEST(TimeRulesTest, WhichItemsEachRuleTakes) {
    const TimeEntry january = Dates(Utc(2020, 1, 1), Utc(2020, 1, 31));
    const TimeEntry open = Dates(kZeroTime, kZeroTime);
    const TimeEntry until2020 = Dates(kZeroTime, Utc(2020, 12, 31));
    const TimeEntry fromJune = Dates(Utc(2020, 6, 1, 12), kZeroTime);
    const TimeEntry unknown = OfKind(open, 1);
    struct Case {
        const char* what;
        std::vector<TimeEntry> rules;
        FILETIME created;
        bool taken;
    } cases[] = {
        {"last second of the last day", {january}, Utc(2020, 1, 31, 23, 59, 59), true},
        {"first instant of the first day", {january}, Utc(2020, 1, 1), true},
        {"day after", {january}, Utc(2020, 2, 1, 0, 0, 1), false},
        {"day before", {january}, Utc(2019, 12, 31, 23, 59, 59), false},
        // 00:30 of the next day at UTC+2; only the UTC date counts.
        {"late on the first day", {january}, Utc(2020, 1, 1, 22, 30), true},
        {"late the day before", {Dates(Utc(2020, 1, 2), Utc(2020, 1, 2))}, Utc(2020, 1, 1, 22, 30),
         false},
        {"one-day range, any hour", {Dates(Utc(2020, 1, 2, 18), Utc(2020, 1, 2, 6))},
         Utc(2020, 1, 2, 12), true},
        {"open range, any date", {open}, Utc(2031, 7, 7), true},
        {"open range, no date", {open}, kZeroTime, true},
        {"closed end, no date", {until2020}, kZeroTime, false},
        {"closed end, inside", {until2020}, Utc(1999, 1, 1), true},
        {"closed end, after", {until2020}, Utc(2021, 1, 1), false},
        {"open end, start day early", {fromJune}, Utc(2020, 6, 1, 1), true},
        {"open end, before", {fromJune}, Utc(2020, 5, 31, 23), false},
        {"open end, no date", {fromJune}, kZeroTime, false},
        {"unknown kind", {unknown}, Utc(2020, 1, 1), false},
        {"second range", {january, fromJune}, Utc(2020, 7, 1), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeTime rules;
        AddAll(&rules, c.rules);
        for (Shape shape : {Shape::File, Shape::Folder, Shape::VirtualFile}) {
            ShellItem item = MakeItem(shape, L"item");
            item.creationTime = c.created;
            EXPECT_EQ(rules.Matches(&item, 0), c.taken);
            EXPECT_FALSE(rules.Matches(&item, 1));
        }
    }
    CConfigureTypeTime rules;
    AddAll(&rules, std::vector<TimeEntry>{open});
    EXPECT_FALSE(rules.Matches(nullptr, 0));
}

TEST(TimeRulesTest, OverlappingRanges) {
    const FILETIME open = kZeroTime;
    struct Case {
        const char* what;
        TimeEntry a, b;
        bool overlap;
    } cases[] = {
        {"sharing the last day", Dates(Utc(2020, 3, 1), Utc(2020, 3, 31)),
         Dates(Utc(2020, 3, 31), Utc(2020, 4, 30)), true},
        {"sharing the day, different hours", Dates(Utc(2020, 3, 1), Utc(2020, 3, 31, 1)),
         Dates(Utc(2020, 3, 31, 22), Utc(2020, 4, 30)), true},
        {"consecutive days", Dates(Utc(2020, 3, 1), Utc(2020, 3, 30)),
         Dates(Utc(2020, 3, 31), Utc(2020, 4, 30)), false},
        {"open ends, consecutive days", Dates(open, Utc(2020, 3, 30)), Dates(Utc(2020, 3, 31), open),
         false},
        {"open ends, crossing", Dates(open, Utc(2020, 3, 31)), Dates(Utc(2020, 3, 1), open), true},
        {"inside", Dates(Utc(2020, 1, 1), Utc(2020, 12, 31)), Dates(Utc(2020, 5, 1), Utc(2020, 5, 2)),
         true},
        {"everything", Dates(open, open), Dates(Utc(2020, 5, 1), Utc(2020, 5, 2)), true},
        {"closed end against everything", Dates(open, Utc(2000, 1, 1)), Dates(open, open), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CConfigureTypeTime forward;
        AddAll(&forward, std::vector<TimeEntry>{c.a});
        EXPECT_EQ(Collisions(forward, c.b), c.overlap ? std::vector<int>{0} : std::vector<int>{});
        CConfigureTypeTime backward;
        AddAll(&backward, std::vector<TimeEntry>{c.b});
        EXPECT_EQ(Collisions(backward, c.a), c.overlap ? std::vector<int>{0} : std::vector<int>{});
    }
    const TimeEntry special = OfKind(Dates(open, open), 1);
    CConfigureTypeTime rules;
    AddAll(&rules, std::vector<TimeEntry>{special, Dates(open, open)});
    EXPECT_EQ(Collisions(rules, Dates(Utc(2020, 1, 1), open)), std::vector<int>{1});
    EXPECT_TRUE(Collisions(rules, special).empty());
}

TEST(TimeRulesTest, FindAndRemoveCompareDaysOnly) {
    CConfigureTypeTime rules;
    const TimeEntry special = OfKind(Dates(Utc(2001, 1, 1), kZeroTime), 2);
    AddAll(&rules, std::vector<TimeEntry>{Dates(Utc(2020, 1, 1, 8), Utc(2020, 1, 31, 8)),
                                         Dates(kZeroTime, kZeroTime), special});
    struct Case {
        const char* what;
        TimeEntry wanted;
        int index;
    } cases[] = {
        {"same days, other hours", Dates(Utc(2020, 1, 1, 23), Utc(2020, 1, 31)), 0},
        {"other end day", Dates(Utc(2020, 1, 1), Utc(2020, 2, 1)), -1},
        {"both open", Dates(kZeroTime, kZeroTime), 1},
        {"open against the first day of 1601", Dates(Utc(1601, 1, 1, 5), kZeroTime), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int index = 42;
        EXPECT_EQ(rules.Find(&c.wanted, &index), c.index >= 0);
        EXPECT_EQ(index, c.index);
    }
    const TimeEntry otherSpecial = OfKind(Dates(kZeroTime, Utc(2002, 2, 2)), 2);
    int index = -1;
    EXPECT_TRUE(rules.Find(&otherSpecial, &index));
    EXPECT_EQ(index, 2);
    // Only date ranges are removed by value.
    EXPECT_EQ(rules.Remove(&special), kNotFound);
    EXPECT_EQ(rules.EntryCount(), 3);

    const TimeEntry first = Dates(Utc(2020, 1, 1), Utc(2020, 1, 31, 23));
    EXPECT_EQ(rules.Remove(&first), kRemoved);
    ASSERT_EQ(rules.EntryCount(), 2);
    EXPECT_TRUE(IsZeroTime(rules.entries[0].begin));
    EXPECT_EQ(rules.Remove(&first), kNotFound);
}

TEST(TimeRulesTest, CopyEntryTakesDatesTextsAndIcon) {
    CConfigureTypeTime rules;
    TimeEntry source = Dates(Utc(2020, 1, 1), Utc(2020, 1, 31));
    StoreText(source.displayName, L"January");
    StoreText(source.description, L"Winter");
    source.iconIndex = 2;
    TimeEntry target = Dates(kZeroTime, kZeroTime);
    ASSERT_EQ(rules.CopyEntry(&target, &source), 1);
    EXPECT_EQ(Ticks(target.begin), Ticks(source.begin));
    EXPECT_EQ(Ticks(target.end), Ticks(source.end));
    EXPECT_EQ(std::wstring(target.displayName), L"January");
    EXPECT_EQ(std::wstring(target.description), L"Winter");
    EXPECT_EQ(target.iconIndex, 2);
}

// ==== Rule elements in the profile document ==========================================

TEST_F(ConfigureTypeXml, TypeReadWriteAndReadBack) {
    const std::string longExtension = "." + std::string(100, 'x');
    CConfigureTypeType rules;
    rules.LoadEntries(&source, LoadFolder("<Ext t=\".jpg\"/>"
                                          "<Ext ti=\"1\"/>"
                                          "<Ext/>"
                                          "<Ext t=\".txt\" ti=\"2\"/>"
                                          "<Ext ti=\"3\" t=\"\"/>"
                                          "<Ext ti=\"three\" t=\".pdf\"/>"
                                          "<Ext ti=\"\" t=\".png\"/>"
                                          "<Ext t=\"" + longExtension + "\"/>"));
    struct Expected {
        int32_t kind;
        std::wstring extension;
    } expected[] = {
        {kTypeExtension, L".jpg"},  {kTypeFolders, L""},      {kTypeExtension, L""},
        {kTypeShortcuts, L".txt"},  {kTypeOtherFiles, L""},   {kTypeExtension, L".pdf"},
        {kTypeExtension, L".png"},  {kTypeExtension, L"." + std::wstring(78, L'x')},
    };
    ASSERT_EQ(rules.EntryCount(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const TypeEntry& e = rules.entries[i];
        EXPECT_EQ(e.kind, expected[i].kind);
        EXPECT_EQ(std::wstring(e.extension), expected[i].extension);
        EXPECT_EQ(e.iconIndex, -1);
        EXPECT_EQ(std::wstring(e.typeText), L"");
        EXPECT_EQ(std::wstring(e.description), L"");
    }

    // An entry with neither attribute takes exactly the files without a dot.
    const ShellItem bare = MakeItem(Shape::File, L"Makefile");
    const ShellItem dotted = MakeItem(Shape::File, L"Makefile.am");
    CConfigureTypeType onlyBare;
    onlyBare.entries.push_back(rules.entries[2]);
    EXPECT_TRUE(onlyBare.Matches(&bare, 0));
    EXPECT_FALSE(onlyBare.Matches(&dotted, 0));

    CXmlNodePtr out = FreshFolder();
    ASSERT_TRUE(rules.SaveEntries(out));
    EXPECT_EQ(XmlOf(out), L"<Folder><Ext t=\".jpg\"/><Ext ti=\"1\"/><Ext t=\"\"/><Ext ti=\"2\"/>"
                          L"<Ext ti=\"3\"/><Ext t=\".pdf\"/><Ext t=\".png\"/><Ext t=\"." +
                              std::wstring(78, L'x') + L"\"/></Folder>");

    CConfigureTypeType again;
    again.LoadEntries(&target, out);
    ASSERT_EQ(again.EntryCount(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(again.entries[i].kind, rules.entries[i].kind);
        // Specials keep only their kind.
        EXPECT_EQ(std::wstring(again.entries[i].extension),
                  rules.entries[i].kind == kTypeExtension ? expected[i].extension : L"");
    }
}

TEST_F(ConfigureTypeXml, NameReadWriteAndReadBack) {
    CConfigureTypeName rules;
    rules.LoadEntries(&source, LoadFolder("<Name from=\"A\" to=\"M\"/>"
                                          "<Name/>"
                                          "<Name from=\"\" to=\"\"/>"
                                          "<Name from=\"abc\" to=\"xyz\"/>"
                                          "<Name ni=\"1\" regexp=\"txt$\" from=\"0\"/>"
                                          "<Name ni=\"1\"/>"
                                          "<Name ni=\"3\" regexp=\"x\" from=\"0\"/>"
                                          "<Name from=\"&#x3042;\" to=\"&#x30FF;\"/>"));
    struct Expected {
        int32_t kind;
        wchar_t first, last;
        const wchar_t* pattern;
    } expected[] = {
        {kNameRange, L'A', L'M', L""},       {kNameRange, L' ', L'~', L""},
        {kNameRange, L' ', L'~', L""},       {kNameRange, L'a', L'x', L""},
        {kNameRegExp, L' ', L'~', L"txt$"},  {kNameRegExp, L' ', L'~', L""},
        {3, L' ', L'~', L""},                {kNameRange, L'\x3042', L'\x30FF', L""},
    };
    ASSERT_EQ(rules.EntryCount(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const NameEntry& e = rules.entries[i];
        EXPECT_EQ(e.kind, expected[i].kind);
        EXPECT_EQ(e.first, expected[i].first);
        EXPECT_EQ(e.last, expected[i].last);
        EXPECT_EQ(std::wstring(e.pattern), expected[i].pattern);
        EXPECT_EQ(e.iconIndex, -1);
        EXPECT_EQ(std::wstring(e.displayName), L"");
    }

    CXmlNodePtr out = FreshFolder();
    ASSERT_TRUE(rules.SaveEntries(out));
    const wchar_t* const written[] = {
        L"<Name from=\"A\" to=\"M\"/>",  L"<Name from=\" \" to=\"~\"/>",
        L"<Name from=\" \" to=\"~\"/>",  L"<Name from=\"a\" to=\"x\"/>",
        L"<Name ni=\"1\" regexp=\"txt$\"/>", L"<Name ni=\"1\" regexp=\"\"/>",
        L"<Name ni=\"3\"/>",
    };
    NodeXml::CXmlNodesPtr children = out->SelectNodes(L"./*");
    ASSERT_EQ(children->GetLength(), 8);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(XmlOf(children->GetItem(i)), written[i]);
    }
    // Engines differ in how they spell characters beyond ASCII; the values count.
    CXmlNodePtr kana = children->GetItem(7);
    EXPECT_EQ(XmlOf(kana).substr(0, 11), L"<Name from=");
    EXPECT_EQ(kana->GetAttribute(L"from", L""), L"\x3042");
    EXPECT_EQ(kana->GetAttribute(L"to", L""), L"\x30FF");
    EXPECT_EQ(kana->GetAttribute(L"ni", L"absent"), L"absent");

    CConfigureTypeName again;
    again.LoadEntries(&target, out);
    ASSERT_EQ(again.EntryCount(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        int index = -1;
        EXPECT_TRUE(rules.Find(&again.entries[i], &index));
        EXPECT_EQ(std::wstring(again.entries[i].pattern), expected[i].pattern);
    }
}

TEST_F(ConfigureTypeXml, PatternLongerThanAFieldIsCut) {
    const std::string pattern(300, 'a');
    CConfigureTypeName rules;
    rules.LoadEntries(&source, LoadFolder("<Name ni=\"1\" regexp=\"" + pattern + "\"/>"));
    ASSERT_EQ(rules.EntryCount(), 1);
    EXPECT_EQ(std::wstring(rules.entries[0].pattern), std::wstring(259, L'a'));
}

TEST_F(ConfigureTypeXml, SizeReadWriteAndReadBack) {
    CConfigureTypeSize rules;
    rules.LoadEntries(&source, LoadFolder("<Size lower=\"0\" upper=\"1024\"/>"
                                          "<Size si=\"1\"/>"
                                          "<Size lower=\"1048576\"/>"
                                          "<Size/>"
                                          "<Size lower=\"12kb\" upper=\"-5\"/>"
                                          "<Size lower=\"9000000000\" upper=\"99999999999\"/>"
                                          "<Size si=\"1\" lower=\"5\" upper=\"6\"/>"));
    struct Expected {
        int32_t kind;
        int64_t lower, upper;
    } expected[] = {
        {kSizeRange, 0, 1024},  {kSizeFolders, 0, 0},   {kSizeRange, 1048576, 0},
        {kSizeRange, 0, 0},     {kSizeRange, 12, -5},   {kSizeRange, 9000000000LL, 99999999999LL},
        {kSizeFolders, 5, 6},
    };
    ASSERT_EQ(rules.EntryCount(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rules.entries[i].kind, expected[i].kind);
        EXPECT_EQ(rules.entries[i].lower, expected[i].lower);
        EXPECT_EQ(rules.entries[i].upper, expected[i].upper);
        EXPECT_EQ(rules.entries[i].iconIndex, -1);
    }

    CXmlNodePtr out = FreshFolder();
    ASSERT_TRUE(rules.SaveEntries(out));
    EXPECT_EQ(XmlOf(out),
              L"<Folder><Size lower=\"0\" upper=\"1024\"/><Size si=\"1\"/>"
              L"<Size lower=\"1048576\" upper=\"0\"/><Size lower=\"0\" upper=\"0\"/>"
              L"<Size lower=\"12\" upper=\"-5\"/>"
              L"<Size lower=\"9000000000\" upper=\"99999999999\"/><Size si=\"1\"/></Folder>");

    CConfigureTypeSize again;
    again.LoadEntries(&target, out);
    ASSERT_EQ(again.EntryCount(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(again.entries[i].kind, expected[i].kind);
        EXPECT_EQ(again.entries[i].lower, expected[i].kind == kSizeRange ? expected[i].lower : 0);
        EXPECT_EQ(again.entries[i].upper, expected[i].kind == kSizeRange ? expected[i].upper : 0);
    }
}

TEST_F(ConfigureTypeXml, TimeReadWriteAndReadBack) {
    CConfigureTypeTime rules;
    rules.LoadEntries(&source,
                      LoadFolder("<Time begin=\"2020-01-01 00:00:00\" end=\"2020-01-31 00:00:00\"/>"
                                 "<Time/>"
                                 "<Time begin=\"2021-02-30 00:00:00\" end=\"2020-12-31 23:59:59\"/>"
                                 "<Time begin=\"1601-01-01 00:00:00\" end=\"0000-00-00 00:00:00\"/>"
                                 "<Time ti=\"1\" begin=\"2020-01-01 00:00:00\"/>"));
    struct Expected {
        int32_t kind;
        FILETIME begin, end;
    } expected[] = {
        {kTimeRange, Utc(2020, 1, 1), Utc(2020, 1, 31)},
        {kTimeRange, kZeroTime, kZeroTime},
        {kTimeRange, kZeroTime, Utc(2020, 12, 31, 23, 59, 59)},
        {kTimeRange, kZeroTime, kZeroTime},
        {1, Utc(2020, 1, 1), kZeroTime},
    };
    ASSERT_EQ(rules.EntryCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rules.entries[i].kind, expected[i].kind);
        EXPECT_EQ(Ticks(rules.entries[i].begin), Ticks(expected[i].begin));
        EXPECT_EQ(Ticks(rules.entries[i].end), Ticks(expected[i].end));
        EXPECT_EQ(rules.entries[i].iconIndex, -1);
    }

    // An element without attributes is open at both ends.
    ShellItem undated = MakeItem(Shape::File, L"a.txt");
    CConfigureTypeTime onlyOpen;
    onlyOpen.entries.push_back(rules.entries[1]);
    EXPECT_TRUE(onlyOpen.Matches(&undated, 0));

    // Milliseconds are not written.
    rules.entries[0].end = Utc(2020, 1, 31, 12, 34, 56, 789);

    CXmlNodePtr out = FreshFolder();
    ASSERT_TRUE(rules.SaveEntries(out));
    EXPECT_EQ(XmlOf(out),
              L"<Folder><Time begin=\"2020-01-01 00:00:00\" end=\"2020-01-31 12:34:56\"/>"
              L"<Time begin=\"1601-01-01 00:00:00\" end=\"1601-01-01 00:00:00\"/>"
              L"<Time begin=\"1601-01-01 00:00:00\" end=\"2020-12-31 23:59:59\"/>"
              L"<Time begin=\"1601-01-01 00:00:00\" end=\"1601-01-01 00:00:00\"/>"
              L"<Time ti=\"1\"/></Folder>");

    CConfigureTypeTime again;
    again.LoadEntries(&target, out);
    ASSERT_EQ(again.EntryCount(), 5);
    expected[0].end = Utc(2020, 1, 31, 12, 34, 56);
    expected[4].begin = kZeroTime;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(again.entries[i].kind, expected[i].kind);
        EXPECT_EQ(Ticks(again.entries[i].begin), Ticks(expected[i].begin));
        EXPECT_EQ(Ticks(again.entries[i].end), Ticks(expected[i].end));
    }
}

TEST_F(ConfigureTypeXml, OnlyDirectChildrenInDocumentOrderAppended) {
    CXmlNodePtr folder = LoadFolder(
        "<Size lower=\"1\"/>"
        "<Ext t=\".a\"/>"
        "<Folder><Size lower=\"2\"/><Ext t=\".b\"/><Name from=\"b\"/><Time ti=\"2\"/></Folder>"
        "<Name from=\"a\"/>"
        "<Size lower=\"3\"/>"
        "<Time ti=\"1\"/>"
        "<Folder/>"
        "<Ext t=\".c\"/>"
        "<Size si=\"1\"/>"
        "<Name ni=\"1\" regexp=\"c\"/>");
    CConfigureTypeSize size;
    size.LoadEntries(nullptr, folder);
    ASSERT_EQ(size.EntryCount(), 3);
    EXPECT_EQ(size.entries[0].lower, 1);
    EXPECT_EQ(size.entries[1].lower, 3);
    EXPECT_EQ(size.entries[2].kind, kSizeFolders);

    CConfigureTypeType type;
    type.LoadEntries(nullptr, folder);
    ASSERT_EQ(type.EntryCount(), 2);
    EXPECT_EQ(std::wstring(type.entries[0].extension), L".a");
    EXPECT_EQ(std::wstring(type.entries[1].extension), L".c");

    CConfigureTypeName name;
    name.LoadEntries(nullptr, folder);
    ASSERT_EQ(name.EntryCount(), 2);
    EXPECT_EQ(name.entries[0].first, L'a');
    EXPECT_EQ(std::wstring(name.entries[1].pattern), L"c");

    CConfigureTypeTime time;
    time.LoadEntries(nullptr, folder);
    ASSERT_EQ(time.EntryCount(), 1);
    EXPECT_EQ(time.entries[0].kind, 1);

    // A second reading appends to what is there.
    size.LoadEntries(&source, folder);
    ASSERT_EQ(size.EntryCount(), 6);
    EXPECT_EQ(size.entries[3].lower, 1);
}

TEST_F(ConfigureTypeXml, AbsentElementsAndEmptyLists) {
    CConfigureTypeType type;
    CConfigureTypeName name;
    CConfigureTypeSize size;
    CConfigureTypeTime time;
    const TypeEntry jpg = Ext(L".jpg");
    type.Add(&jpg);
    const NameEntry range = Range(L'a', L'b');
    name.Add(&range);
    const SizeEntry sizes = Sizes(1, 2);
    size.Add(&sizes);
    const TimeEntry dates = Dates(kZeroTime, kZeroTime);
    time.Add(&dates);

    const CXmlNodePtr absent;
    const CXmlNodePtr empty = std::make_shared<CXmlNode>();
    for (CConfigureType* rules : std::vector<CConfigureType*>{&type, &name, &size, &time}) {
        SCOPED_TRACE(Narrow(rules->MethodWord()));
        rules->LoadEntries(nullptr, absent);
        rules->LoadEntries(&source, empty);
        EXPECT_EQ(rules->EntryCount(), 1);
        EXPECT_FALSE(rules->SaveEntries(absent));
        EXPECT_FALSE(rules->SaveEntries(empty));

        // A folder without rule elements reads as nothing.
        rules->LoadEntries(&source, LoadFolder("<Folder/>"));
        EXPECT_EQ(rules->EntryCount(), 1);

        rules->ClearEntries();
        CXmlNodePtr out = FreshFolder();
        EXPECT_TRUE(rules->SaveEntries(out));
        EXPECT_EQ(XmlOf(out), L"<Folder/>");
    }
}
