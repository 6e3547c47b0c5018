// Time rules as the editor makes them: leap years and month lengths, month
// names, the year as typed, the order of a range's ends, the three batches
// with their folder names, and the batches placed into a profile.
#include <gtest/gtest.h>

#include "EditorScript.h"
#include "TestSupport.h"
#include "TimeRules.h"
#include "common/ConfigureType.h"
#include "common/Text.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

std::string Date(const FILETIME& time) {
    if (IsZeroTime(time)) return "*";
    std::wstring text;
    FormatDate(&text, &time);
    return Narrow(text);
}

// "name=begin..end" for each rule.
std::vector<std::string> Rules(const std::vector<TimeBatchRule>& rules) {
    std::vector<std::string> out;
    for (const TimeBatchRule& rule : rules)
        out.push_back(Narrow(rule.folderName) + "=" + Date(rule.begin) + ".." + Date(rule.end));
    return out;
}

}  // namespace

TEST(TimeRuleMaking, LeapYearsAndMonthLengths) {
    struct Case {
        int year, month, days;
    };
    const Case cases[] = {
        {2012, 2, 29}, {2013, 2, 28}, {2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28}, {2400, 2, 29},
        {2013, 1, 31}, {2013, 4, 30}, {2013, 6, 30}, {2013, 9, 30}, {2013, 11, 30}, {2013, 12, 31},
        {2013, 0, 31}, {2013, 13, 31},
    };
    for (const Case& c : cases) EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(TimeRuleMaking, MonthNames) {
    ScriptedUser texts;
    const wchar_t* const names[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                    L"July",    L"August",   L"September", L"October", L"November", L"December"};
    for (int month = 1; month <= 12; ++month) EXPECT_EQ(MonthName(texts, month), names[month - 1]);
    EXPECT_EQ(MonthName(texts, 0), L"");
    EXPECT_EQ(MonthName(texts, 13), L"");
}

TEST(TimeRuleMaking, TypedYears) {
    ScriptedUser texts;
    struct Case {
        const wchar_t* typed;
        int reading;
        int year;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"2012", kYearRead, 2012, L""},
        {L" \t2012 ", kYearRead, 2012, L""},
        {L"002012", kYearRead, 2012, L""},
        {L"1753", kYearRead, 1753, L""},
        {L"9999", kYearRead, 9999, L""},
        {L"", kYearBlank, 0, L"Year can not be blank."},
        {L"  ", kYearBlank, 0, L"Year can not be blank."},
        {L"20x2", kYearInvalid, 0, L"Invalid year \"20x2\"."},
        {L" -2012", kYearInvalid, 0, L"Invalid year \"-2012\"."},
        {L"1752", kYearInvalid, 0, L"Invalid year \"1752\"."},
        {L"10000", kYearInvalid, 0, L"Invalid year \"10000\"."},
        {L"99999999999999999999", kYearInvalid, 0, L"Invalid year \"99999999999999999999\"."},
    };
    for (const Case& c : cases) {
        int year = 0;
        EXPECT_EQ(ReadYear(c.typed, &year), c.reading) << Narrow(c.typed);
        EXPECT_EQ(year, c.year) << Narrow(c.typed);
        EXPECT_EQ(YearMessage(texts, c.reading, c.typed), c.message) << Narrow(c.typed);
    }
    // A long text is cut in the message, never past what a text field holds.
    const std::wstring typed(400, L'x');
    const std::wstring message = YearMessage(texts, ReadYear(typed, nullptr), typed);
    EXPECT_EQ(message.size(), 259u);
    EXPECT_EQ(message.substr(0, 16), L"Invalid year \"xx");
}

TEST(TimeRuleMaking, OrderOfTheEnds) {
    const FILETIME open = {};
    struct Case {
        const char* name;
        FILETIME begin, end;
        bool before;
    };
    const Case cases[] = {
        {"2012-05-01 to 2012-04-30", DateTime(2012, 5, 1), DateTime(2012, 4, 30), true},
        {"the same day, later hour first", DateTime(2012, 5, 1, 23), DateTime(2012, 5, 1, 1), false},
        {"in order", DateTime(2012, 4, 30), DateTime(2012, 5, 1), false},
        {"long ago to any", open, DateTime(1800, 1, 1), false},
        {"any to now", DateTime(2999, 1, 1), open, false},
    };
    for (const Case& c : cases) EXPECT_EQ(EndsBeforeBegin(c.begin, c.end), c.before) << c.name;
}

TEST(TimeRuleMaking, BatchByYear) {
    ScriptedUser texts;
    EXPECT_EQ(Rules(RulesByYear(texts, 2010, 2012, kYearShort)),
              (std::vector<std::string>{"2010=2010-01-01..2010-12-31", "2011=2011-01-01..2011-12-31",
                                        "2012=2012-01-01..2012-12-31"}));
    EXPECT_EQ(Rules(RulesByYear(texts, 2012, 2012, kYearFull)),
              std::vector<std::string>{"Year 2012=2012-01-01..2012-12-31"});
    EXPECT_TRUE(RulesByYear(texts, 2013, 2012, kYearShort).empty());
    const std::vector<TimeBatchRule> one = RulesByYear(texts, 2012, 2012, kYearShort);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(CompareDate(&one[0].begin, &one[0].end), -1);
    SYSTEMTIME end = {};
    FileTimeToSystemTime(&one[0].end, &end);
    EXPECT_EQ(end.wHour + end.wMinute + end.wSecond, 0) << "the last day at midnight, as a rule is made";
}

TEST(TimeRuleMaking, BatchByMonth) {
    ScriptedUser texts;
    struct Case {
        int year, first, last, format;
        std::vector<std::string> rules;
    };
    const Case cases[] = {
        {2012, 2, 2, kMonthYearName, {"February, 2012=2012-02-01..2012-02-29"}},
        {2013, 2, 2, kMonthYearName, {"February, 2013=2013-02-01..2013-02-28"}},
        {2012, 7, 7, kMonthNumber, {"07=2012-07-01..2012-07-31"}},
        {2012, 7, 7, kMonthName, {"July=2012-07-01..2012-07-31"}},
        {2012, 9, 9, kMonthName, {"September=2012-09-01..2012-09-30"}},
        {2012, 7, 7, kMonthYearNumber, {"2012-07=2012-07-01..2012-07-31"}},
        {2012, 11, 12, kMonthYearNumber, {"2012-11=2012-11-01..2012-11-30", "2012-12=2012-12-01..2012-12-31"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rules(RulesByMonth(texts, c.year, c.first, c.last, c.format)), c.rules)
            << c.year << " " << c.first << " format " << c.format;
    EXPECT_EQ(RulesByMonth(texts, 2012, 1, 12, kMonthNumber).size(), 12u);
}

TEST(TimeRuleMaking, BatchByDay) {
    ScriptedUser texts;
    EXPECT_EQ(RulesByDay(texts, 2012, 2, 1, 31, kDayNumber).size(), 29u) << "February 2012";
    EXPECT_EQ(RulesByDay(texts, 2013, 2, 1, 31, kDayNumber).size(), 28u) << "February 2013";
    EXPECT_TRUE(RulesByDay(texts, 2012, 7, 20, 10, kDayNumber).empty()) << "From after To makes nothing";
    struct Case {
        int day, format;
        const char* rule;
    };
    const Case cases[] = {
        {31, kDayNumber, "31=2012-07-31..2012-07-31"},
        {1, kDayNumber, "1=2012-07-01..2012-07-01"},
        {31, kDayMonthDay, "07-31=2012-07-31..2012-07-31"},
        {31, kDayFullNumber, "2012-07-31=2012-07-31..2012-07-31"},
        {31, kDayFullName, "July 31, 2012=2012-07-31..2012-07-31"},
        {1, kDayFullName, "July  1, 2012=2012-07-01..2012-07-01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rules(RulesByDay(texts, 2012, 7, c.day, c.day, c.format)), std::vector<std::string>{c.rule})
            << c.day << " format " << c.format;
    const std::vector<TimeBatchRule> leap = RulesByDay(texts, 2012, 2, 29, 29, kDayFullNumber);
    ASSERT_EQ(leap.size(), 1u);
    EXPECT_EQ(CompareDate(&leap[0].begin, &leap[0].end), 0) << "a day is a range of one day";
}

TEST(TimeRuleMaking, BatchPlacement) {
    ScriptedUser texts;
    const std::vector<TimeBatchRule> years = RulesByYear(texts, 2010, 2012, kYearShort);
    struct Case {
        const char* name;
        std::string body;
        bool makeFolders;
        std::vector<int> answers;
        bool placed;
        std::vector<std::string> shown;
        std::string tree;
    };
    const Case cases[] = {
        {"2010 to 2012 with folders", "", true, {}, true, {},
         ".[]{2010[2010-01-01..2010-12-31] 2011[2011-01-01..2011-12-31] 2012[2012-01-01..2012-12-31]}"},
        {"a second run stops at the first folder, before anything is made", "<Folder displayname=\"2011\"/>", true,
         {}, false, {"! A Folder named \"2011\" already exists."}, ".[]{2011[]}"},
        {"an overlap stops the batch; what was made stays",
         "<Time begin=\"2011-06-01 00:00:00\" end=\"2011-06-30 00:00:00\"/>", false, {}, false,
         {"C Date time rule \"2011-01-01 - 2011-12-31\": | .\\#0"},
         ".[2011-06-01..2011-06-30,2010-01-01..2010-12-31]"},
        {"Yes to all moves every year here",
         "<Folder displayname=\"Old\"><Time begin=\"2010-01-01 00:00:00\" end=\"2010-12-31 00:00:00\"/>"
         "<Time begin=\"2012-01-01 00:00:00\" end=\"2012-12-31 00:00:00\"/></Folder>",
         false, {1005}, true, {"Q4 Date time rule already exists."},
         ".[2010-01-01..2010-12-31,2011-01-01..2011-12-31,2012-01-01..2012-12-31]{Old[]}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::wstring file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, OneProfileDocument(2, c.body)));
        MethodProfile profile(ModelMethod::Time);
        ASSERT_TRUE(profile.Load(file.c_str(), nullptr));
        ScriptedUser user(c.answers);
        EXPECT_EQ(PlaceTimeBatch(user, &profile.root, years, c.makeFolders), c.placed);
        EXPECT_EQ(user.shown, c.shown);
        EXPECT_EQ(DumpTree(profile.root), c.tree);
    }
}
