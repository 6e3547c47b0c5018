#include <gtest/gtest.h>

#include "common/ProfileDocument.h"
#include "common/Text.h"

using namespace ordvale;
namespace doc = ordvale::profile_doc;

TEST(ProfileDocument, NamesPerMethod) {
    struct Case { int method; const wchar_t* word; const wchar_t* profiles; const wchar_t* profile; };
    const Case cases[] = {
        {1, L"Type", L"TypeProfiles", L"TypeConfigure"},
        {2, L"Time", L"TimeProfiles", L"TimeConfigure"},
        {3, L"Size", L"SizeProfiles", L"SizeConfigure"},
        {4, L"Name", L"NameProfiles", L"NameConfigure"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(doc::MethodWord(c.method), c.word);
        EXPECT_EQ(doc::ProfilesElementName(c.word), c.profiles);
        EXPECT_EQ(doc::ProfileElementName(c.word), c.profile);
    }
    EXPECT_STREQ(doc::MethodWord(0), L"");
    EXPECT_STREQ(doc::MethodWord(5), L"");
}

TEST(ProfileDocument, XPathTexts) {
    EXPECT_EQ(doc::ProfilesXPath(L"Size"), L"//Ordvale/SizeProfiles");
    EXPECT_EQ(doc::ProfileXPath(L"Name", L"Name3"), L"//Ordvale/NameProfiles/NameConfigure[@id=\"Name3\"]");
    EXPECT_EQ(doc::ChildRulesXPath(L"Ext"), L"./Ext");
}

TEST(Text, FillTemplateAndTrim) {
    EXPECT_EQ(FillTemplate(L"%s\\%s\\%s", {L"C:", L"a b", L"c"}), L"C:\\a b\\c");
    EXPECT_EQ(FillTemplate(L"%s and %s", {L"one"}), L"one and %s");
    EXPECT_EQ(FillTemplate(L"100%", {}), L"100%");
    EXPECT_EQ(TrimBlanks(L"  \tMusic\t"), L"Music");
    EXPECT_EQ(TrimBlanks(L" \t "), L"");
    EXPECT_EQ(CutToField(std::wstring(300, L'x')).size(), 259u);
}
