// The input and display formats the editor's panes and dialogs share:
// extensions as typed, the character lists, size fields and bound texts.
#include <gtest/gtest.h>

#include "EditorScript.h"
#include "FieldFormats.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

TEST(FieldFormats, Extensions) {
    struct Case {
        const wchar_t* typed;
        int result;
        const wchar_t* normalized;
    };
    const Case cases[] = {
        {L".txt", kExtensionValid, L".txt"},          {L"  .TXT\t", kExtensionValid, L".TXT"},
        {L"txt", kExtensionSuggestion, L".txt"},      {L"TXT", kExtensionSuggestion, L".TXT"},
        {L"file.tar.gz", kExtensionSuggestion, L".gz"}, {L"..gz", kExtensionSuggestion, L".gz"},
        {L"abc.", kExtensionInvalid, L""},            {L"..", kExtensionInvalid, L""},
        {L".", kExtensionInvalid, L""},               {L" \t ", kExtensionInvalid, L""},
    };
    for (const Case& c : cases) {
        std::wstring normalized;
        EXPECT_EQ(NormalizeExtension(c.typed, &normalized), c.result) << Narrow(c.typed);
        EXPECT_EQ(normalized, c.normalized) << Narrow(c.typed);
    }
    std::wstring longOne;
    NormalizeExtension(std::wstring(400, L'x'), &longOne);
    EXPECT_EQ(longOne.size(), 259u);
}

TEST(FieldFormats, CharacterLists) {
    EXPECT_EQ(CharListText(L'!'), L"21h    !");
    EXPECT_EQ(CharListText(L'A'), L"41h    A");
    EXPECT_EQ(CharListText(L'~'), L"7Eh    ~");
}

TEST(FieldFormats, ReadingSizeFields) {
    struct Case {
        const wchar_t* text;
        int unit;
        bool ok;
        int64_t bytes;
    };
    const Case cases[] = {
        {L"1.5", kUnitMB, true, 1572864},       {L"1.", kUnitKB, true, 1024},
        {L" 100 ", kUnitB, true, 100},          {L"0", kUnitB, true, 0},
        {L"2", kUnitTB, true, 2199023255552LL}, {L"0.0004", kUnitKB, true, 0},
        {L"7", kUnitUnlimited, true, 0},        {L"1.999", kUnitB, true, 1},
        {L".5", kUnitKB, false, 0},             {L"1,5", kUnitKB, false, 0},
        {L"-1", kUnitKB, false, 0},             {L"1e3", kUnitB, false, 0},
        {L"", kUnitB, false, 0},                {L"1.2.3", kUnitB, false, 0},
        {L"5", -1, false, 0},                   {L"99999999", kUnitTB, false, 0},
    };
    for (const Case& c : cases) {
        int64_t bytes = 0;
        EXPECT_EQ(ParseSizeText(c.text, c.unit, &bytes), c.ok) << Narrow(c.text) << " unit " << c.unit;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << Narrow(c.text);
        }
    }
}

TEST(FieldFormats, ShowingAndSpinningSizeFields) {
    struct Case {
        int64_t bytes;
        const wchar_t* text;
        int unit;
    };
    const Case cases[] = {
        {0, L"0", kUnitUnlimited},         {512, L"512.00", kUnitB},       {1024, L"1.00", kUnitKB},
        {1047552, L"1023.00", kUnitKB},    {1047553, L"1.00", kUnitMB},    {1572864, L"1.50", kUnitMB},
        {1073741824LL, L"1.00", kUnitGB},  {1099511627776LL * 3, L"3.00", kUnitTB},
    };
    for (const Case& c : cases) {
        const SizeFieldValue shown = FormatSizeField(c.bytes);
        EXPECT_EQ(shown.text, c.text) << c.bytes;
        EXPECT_EQ(shown.unit, c.unit) << c.bytes;
    }
    EXPECT_EQ(FormatSizeField(0, L"0.00").text, L"0.00");
    EXPECT_EQ(SpinSizeText(L"1024.00", +1), L"0.00");
    EXPECT_EQ(SpinSizeText(L"0.00", -1), L"1024.00");
    EXPECT_EQ(SpinSizeText(L"1.50", +1), L"2.50");
    EXPECT_EQ(SpinSizeText(L"junk", +1), L"1.00");
}

TEST(FieldFormats, BoundTexts) {
    ScriptedUser texts;
    EXPECT_EQ(SizeBoundText(texts, 0), L"Unlimited");
    EXPECT_EQ(SizeBoundText(texts, 1536), L"1.50KB");
    EXPECT_EQ(SizeBoundText(texts, 10), L"10.00B");
    FILETIME zero = {};
    EXPECT_EQ(TimeBoundText(texts, zero, true), L"Long Ago");
    EXPECT_EQ(TimeBoundText(texts, zero, false), L"Now");
    SYSTEMTIME late = {};
    late.wYear = 2012;
    late.wMonth = 7;
    late.wDay = 31;
    late.wHour = 23;
    FILETIME time = {};
    SystemTimeToFileTime(&late, &time);
    EXPECT_EQ(TimeBoundText(texts, time, true), L"2012-07-31") << "the stored date, no time zone";
}
