// Paths as text, one table per operation; drive roots keep their backslash.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/PathText.h"
#include "common/Text.h"
#include "TestSupport.h"

using namespace ordvale;
using testing_support::Narrow;

namespace {

struct Row {
    const wchar_t* path;
    const wchar_t* expected;
};

}  // namespace

TEST(PathText, WithoutTrailingSeparator) {
    const Row rows[] = {
        {L"C:\\a\\", L"C:\\a"}, {L"C:\\a", L"C:\\a"},   {L"C:\\", L"C:\\"},
        {L"C:\\a\\\\", L"C:\\a\\"}, {L"\\", L"\\"},     {L"", L""},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(path::WithoutTrailingSeparator(row.path), row.expected) << Narrow(row.path);
}

TEST(PathText, WithTrailingSeparator) {
    const Row rows[] = {{L"C:\\a", L"C:\\a\\"}, {L"C:\\a\\", L"C:\\a\\"}, {L"C:\\", L"C:\\"}, {L"", L""}};
    for (const Row& row : rows)
        EXPECT_EQ(path::WithTrailingSeparator(row.path), row.expected) << Narrow(row.path);
}

TEST(PathText, Join) {
    struct JoinRow {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* expected;
    } rows[] = {
        {L"C:\\a", L"b.txt", L"C:\\a\\b.txt"},
        {L"C:\\a\\", L"b.txt", L"C:\\a\\b.txt"},
        {L"C:\\", L"b.txt", L"C:\\b.txt"},
        {L"", L"b.txt", L"b.txt"},
        {L"\\\\server\\share", L"x", L"\\\\server\\share\\x"},
    };
    for (const JoinRow& row : rows)
        EXPECT_EQ(path::Join(row.folder, row.name), row.expected) << Narrow(row.folder);
}

TEST(PathText, ParentOf) {
    const Row rows[] = {
        {L"C:\\a\\b.txt", L"C:\\a"}, {L"C:\\a", L"C:\\"},      {L"C:\\a\\", L"C:\\"},
        {L"C:\\", L"C:\\"},          {L"b.txt", L""},          {L"\\x", L"\\"},
        {L"\\\\server\\share\\x", L"\\\\server\\share"},
    };
    for (const Row& row : rows) EXPECT_EQ(path::ParentOf(row.path), row.expected) << Narrow(row.path);
}

TEST(PathText, LastComponent) {
    const Row rows[] = {
        {L"C:\\a\\b.txt", L"b.txt"}, {L"C:\\a\\", L"a"}, {L"C:\\", L"C:"},
        {L"b.txt", L"b.txt"},        {L"", L""},
    };
    for (const Row& row : rows) EXPECT_EQ(path::LastComponent(row.path), row.expected) << Narrow(row.path);
}

TEST(PathText, ComparesWithoutRegardToCase) {
    EXPECT_EQ(path::FoldCase(L"C:\\Users\\Ärger.txt"), L"C:\\USERS\\ÄRGER.TXT");
    struct PairRow {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
        bool inside;  // a below b
    } rows[] = {
        {L"C:\\Tidy", L"c:\\TIDY\\", true, false},
        {L"C:\\Tidy\\Pictures", L"c:\\tidy", false, true},
        {L"C:\\Tidy\\Pictures", L"C:\\Tidy\\", false, true},
        {L"C:\\Tidying", L"C:\\Tidy", false, false},
        {L"C:\\Tidy", L"C:\\Tidy\\Pictures", false, false},
        {L"C:\\x", L"C:\\", false, true},
        {L"C:\\", L"C:\\", true, false},
    };
    for (const PairRow& row : rows) {
        EXPECT_EQ(path::SamePath(row.a, row.b), row.same) << Narrow(row.a) << " " << Narrow(row.b);
        EXPECT_EQ(path::IsInside(row.a, row.b), row.inside) << Narrow(row.a) << " " << Narrow(row.b);
    }
}

// Names compared here and names compared by the system agree, letters
// beyond ASCII included: the comparison takes a shortcut for plain ASCII.
TEST(PathText, NamesCompareAsTheSystemComparesThem) {
    const wchar_t* const names[] = {
        L"", L"a", L"A", L".txt", L".TXT", L".Txt", L".tx", L"file.zip", L"FILE.ZIP", L"file.z\x0131p",
        L"FILE.ZIP ", L"\x0131", L"I", L"i", L"\x017F", L"S", L"s", L"\x00E4rger", L"\x00C4RGER",
        L"stra\x00DF" L"e", L"STRASSE", L"@[`{", L"`", L"@", L"[", L"{", L"\xD83D\xDE00", L"\xD83D\xDE01",
        L"caf\x00E9.TXT", L"CAF\x00C9.txt", L"\x03A3", L"\x03C3", L"\x03C2",
    };
    for (const wchar_t* a : names) {
        for (const wchar_t* b : names) {
            const bool system = CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
            EXPECT_EQ(EqualsNoCase(a, b), system) << Narrow(a) << " / " << Narrow(b);
            EXPECT_EQ(EqualsNoCase(std::wstring(a), std::wstring(b)), system) << Narrow(a) << " / " << Narrow(b);
        }
    }
}
