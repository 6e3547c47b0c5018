// Changing a folder or a rule in place, as the property
// panes do, without windows: the change tests that enable "&Update", and
// applying the values to a fixture profile with scripted answers.
#include <gtest/gtest.h>

#include "EditorScript.h"
#include "FieldFormats.h"
#include "RuleEdits.h"
#include "TestSupport.h"
#include "common/Text.h"
#include "resource.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

const char kFolders[] = "<Folder displayname='Docs' location='D:\\Out'><Folder displayname='Letters'/></Folder>"
                        "<Folder displayname='Pics'/>";

FolderPaneValues Folder(const wchar_t* name, bool absolute = false, const wchar_t* location = L"") {
    return {name, absolute, location};
}

}  // namespace

TEST(FolderPane, ChangeTest) {
    LoadedProfile profile(1, kFolders);
    const FolderNode& docs = *FolderAt(profile.model.root, L".\\Docs\\");
    const FolderNode& pics = *FolderAt(profile.model.root, L".\\Pics\\");
    struct Case {
        const FolderNode& folder;
        FolderPaneValues values;
        bool name, location;
    };
    const Case cases[] = {
        {docs, Folder(L"Docs", true, L"D:\\Out\\"), false, false},
        {docs, Folder(L"  DOCS\t", true, L" d:\\out\\ "), false, false},  // the old values typed back
        {docs, Folder(L"Papers", true, L"D:\\Out\\"), true, false},
        {docs, Folder(L"Docs", false, L"D:\\Out\\"), false, true},  // unchecked: no location
        {docs, Folder(L"Docs", true, L"D:\\Other"), false, true},
        {docs, Folder(L"Docs", true, L"D:\\Out"), false, false},  // stored with the closing backslash
        {docs, Folder(L"Papers", true, L" d:\\OUT"), true, false},
        {pics, Folder(L"Pics", false, L"E:\\Ignored"), false, false},  // the browse edit counts only when checked
        {pics, Folder(L"Pics", true, L""), false, false},
        {pics, Folder(L"Pics", true, L"E:\\"), false, true},
    };
    for (const Case& c : cases) {
        const FolderPaneChanges changes = CompareFolderPane(c.folder, c.values);
        EXPECT_EQ(changes.name, c.name) << Narrow(c.values.name) << " " << Narrow(c.values.location);
        EXPECT_EQ(changes.location, c.location) << Narrow(c.values.name) << " " << Narrow(c.values.location);
    }
}

TEST(FolderPane, Applying) {
    struct Case {
        const char* name;
        FolderPaneValues values;
        bool renamed, relocated;
        PaneFocus focus;
        const char* docs;  // Docs afterwards: name | location | effective path of Letters
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"rename", Folder(L" Papers ", true, L"D:\\Out\\"), true, false, PaneFocus::None,
         "Papers | D:\\Out\\ | D:\\Out\\Papers\\Letters\\", {}},
        {"a slash in the name", Folder(L"a/b", false), false, false, PaneFocus::First,
         "Docs | D:\\Out\\ | D:\\Out\\Docs\\Letters\\", {"! Folder Name cannot be blank or contain following characters"}},
        {"a sibling's name, the location still applied", Folder(L"pics", false), false, true, PaneFocus::First,
         "Docs |  | .\\Docs\\Letters\\", {"! A Folder named \"pics\" already exists."}},
        {"absolute without a path", Folder(L"Docs", true, L"  "), false, false, PaneFocus::Second,
         "Docs | D:\\Out\\ | D:\\Out\\Docs\\Letters\\", {"! Please choose a valid destination path."}},
        {"a relative path after a rename", Folder(L"Papers", true, L"Sorted"), true, false, PaneFocus::Second,
         "Papers | D:\\Out\\ | D:\\Out\\Papers\\Letters\\",
         {"! Please choose a full path that begins with a drive, for example D:\\Sorted."}},
        {"a network path", Folder(L"Docs", true, L"\\\\server\\share"), false, false, PaneFocus::Second,
         "Docs | D:\\Out\\ | D:\\Out\\Docs\\Letters\\",
         {"! Please choose a full path that begins with a drive, for example D:\\Sorted."}},
        {"a new drive path", Folder(L"Docs", true, L" E:\\Archive "), false, true, PaneFocus::None,
         "Docs | E:\\Archive\\ | E:\\Archive\\Docs\\Letters\\", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(1, kFolders);
        FolderNode* docs = FolderAt(profile.model.root, L".\\Docs\\");
        ScriptedUser user;
        const FolderEdit edit = ApplyFolderPane(user, docs, c.values, CompareFolderPane(*docs, c.values));
        EXPECT_EQ(edit.renamed, c.renamed);
        EXPECT_EQ(edit.relocated, c.relocated);
        EXPECT_EQ(edit.focus, c.focus);
        EXPECT_EQ(Narrow(docs->displayName) + " | " + Narrow(docs->location) + " | " +
                      Narrow(docs->children[0]->effectivePath),
                  c.docs);
        EXPECT_EQ(user.shown, c.shown);
        EXPECT_EQ(docs->modified, edit.Applied());
    }
}

TEST(FolderPane, AbsoluteDrivePaths) {
    struct Case {
        const wchar_t* path;
        bool absolute;
    };
    const Case cases[] = {
        {L"D:\\Sorted", true}, {L" e:\\ ", true},     {L"Z:\\a b\\c.d\\", true}, {L"D:", false},
        {L"D:Sorted", false},  {L"D:/Sorted", false}, {L"Sorted", false},        {L"\\Sorted", false},
        {L"\\\\server\\share", false}, {L"1:\\x", false}, {L"D:\\a*b", false}, {L"D:\\a:b", false},
        {L"D:\\a\tb", false}, {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAbsoluteDrivePath(c.path), c.absolute) << Narrow(c.path);
}

namespace {

const char kTypes[] = "<Folder displayname='Docs'><Ext t='.txt'/><Ext t='.pdf'/><Ext ti='1'/></Folder>"
                      "<Folder displayname='Pics'><Ext t='.jpg'/></Folder>";

}  // namespace

TEST(TypePane, Applying) {
    struct Case {
        const char* name;
        int index;  // in Docs
        const wchar_t* typed;
        std::vector<int> answers;
        bool applied;
        const wchar_t* text;  // what goes back into the edit ("" for nothing)
        const char* tree;
        std::vector<std::string> shown;
    };
    const char* const unchanged = ".[]{Docs[.txt,.pdf,#1] Pics[.jpg]}";
    const Case cases[] = {
        {"a new extension", 0, L" .md ", {}, true, L".md", ".[]{Docs[.md,.pdf,#1] Pics[.jpg]}", {}},
        {"without a dot, Yes", 0, L"TXT", {IDYES}, true, L".TXT", ".[]{Docs[.TXT,.pdf,#1] Pics[.jpg]}",
         {"? File extension in wrong format, do you mean \".TXT\"?"}},
        {"without a dot, No", 0, L"md", {IDNO}, false, L"", unchanged,
         {"? File extension in wrong format, do you mean \".md\"?"}},
        {"nothing after the dot", 0, L"abc.", {}, false, L"", unchanged, {"! Please specify a valid file extension."}},
        {"a special", 2, L".zip", {}, false, L"::{Folders}", unchanged, {"! Special item can not be edited."}},
        {"another rule of the folder", 0, L".PDF", {}, false, L".PDF", unchanged,
         {"! An Item named \".PDF\" already exists under current folder."}},
        {"a rule elsewhere, moved", 0, L".jpg", {IDYES}, true, L".jpg", ".[]{Docs[.jpg,.pdf,#1] Pics[]}",
         {"Q2 File type \".jpg\" already exists."}},
        {"a rule elsewhere, kept", 0, L".jpg", {IDNO}, false, L".jpg", unchanged,
         {"Q2 File type \".jpg\" already exists."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(1, kTypes);
        FolderNode* docs = FolderAt(profile.model.root, L".\\Docs\\");
        const auto& rule = static_cast<const TypeEntry&>(*RuleAt(*docs, c.index));
        EXPECT_TRUE(TypePaneDiffers(rule, c.typed));
        ScriptedUser user(c.answers);
        const RuleEdit edit = ApplyTypePane(user, docs, c.index, c.typed);
        EXPECT_EQ(edit.applied, c.applied);
        EXPECT_EQ(edit.setText ? edit.text : L"", c.text);
        EXPECT_EQ(edit.focus, c.applied ? PaneFocus::None : PaneFocus::First);
        EXPECT_EQ(DumpTree(profile.model.root), c.tree);
        EXPECT_EQ(user.shown, c.shown);
    }
    LoadedProfile profile(1, kTypes);
    const auto& txt = static_cast<const TypeEntry&>(*RuleAt(*FolderAt(profile.model.root, L".\\Docs\\"), 0));
    EXPECT_FALSE(TypePaneDiffers(txt, L"  .TXT "));
}

namespace {

// Low's rule begins with a space (the default of a missing "from"), which
// the character lists do not show.
const char kNames[] = "<Folder displayname='AM'><Name from='A' to='M'/><Name ni='1' regexp='^rep'/></Folder>"
                      "<Folder displayname='Other'><Name from='x' to='z'/><Name ni='1' regexp='old$'/></Folder>"
                      "<Folder displayname='Low'><Name to='#'/></Folder>";

NamePaneValues Range(wchar_t first, wchar_t last) {
    return {first != 0, first, last != 0, last, L""};
}
NamePaneValues Expression(const std::wstring& text) {
    NamePaneValues values;
    values.expression = text;
    return values;
}

}  // namespace

TEST(NamePane, ChangeTest) {
    LoadedProfile profile(4, kNames);
    FolderNode* am = FolderAt(profile.model.root, L".\\AM\\");
    const auto& range = static_cast<const NameEntry&>(*RuleAt(*am, 0));
    const auto& pattern = static_cast<const NameEntry&>(*RuleAt(*am, 1));
    struct Case {
        const NameEntry& rule;
        NamePaneValues values;
        bool differs;
    };
    const Case cases[] = {
        {range, Range(L'A', L'M'), false},     {range, Range(L'B', L'M'), true},
        {range, Range(L'A', L'N'), true},      {range, Range(0, 0), false},  // no selection: unchanged
        {range, Range(0, L'Z'), true},         {pattern, Expression(L"^rep"), false},
        {pattern, Expression(L" ^rep\t"), false}, {pattern, Expression(L"^REP"), true},  // letter case counts
        {pattern, Expression(L"   "), false},  // blank: nothing to apply
    };
    for (const Case& c : cases)
        EXPECT_EQ(NamePaneDiffers(c.rule, c.values), c.differs)
            << int(c.values.first) << "-" << int(c.values.last) << " " << Narrow(c.values.expression);
}

TEST(NamePane, Applying) {
    struct Case {
        const char* name;
        const wchar_t* folder;
        int index;
        NamePaneValues values;
        std::vector<int> answers;
        bool applied;
        PaneFocus focus;
        const char* rules;  // the folder's afterwards
        std::vector<std::string> shown;
    };
    const wchar_t* const am = L".\\AM\\";
    const char* const unchanged = "AM[A-M,/^rep/]";
    const std::wstring tooLong(260, L'a');
    const Case cases[] = {
        {"a narrower range", am, 0, Range(L'C', L'K'), {}, true, PaneFocus::None, "AM[C-K,/^rep/]", {}},
        {"backwards is swapped", am, 0, Range(L'K', L'C'), {}, true, PaneFocus::None, "AM[C-K,/^rep/]", {}},
        {"one list without a selection keeps its character", am, 0, Range(0, L'F'), {}, true, PaneFocus::None,
         "AM[A-F,/^rep/]", {}},
        {"a character the lists do not show is kept", L".\\Low\\", 0, Range(0, L'"'), {}, true, PaneFocus::None,
         "Low[ -\"]", {}},
        {"a range overlapping another folder's", am, 0, Range(L'A', L'y'), {}, false, PaneFocus::First, unchanged,
         {"C File name rule \"A - y\": | .\\Other\\#0", "! Update name rule failed."}},
        {"a new expression", am, 1, Expression(L" ^Report "), {}, true, PaneFocus::None, "AM[A-M,/^Report/]", {}},
        {"a blank expression", am, 1, Expression(L" \t"), {}, false, PaneFocus::Second, unchanged,
         {"! Regular expression can not be null."}},
        {"an expression that does not compile", am, 1, Expression(L"(rep"), {}, false, PaneFocus::Second, unchanged,
         {"! The regular expression is not valid and would match nothing."}},
        {"an expression too long to keep", am, 1, Expression(tooLong), {}, false, PaneFocus::Second, unchanged,
         {"! The regular expression is too long: a rule keeps at most 259 characters."}},
        {"an expression of another folder, kept there", am, 1, Expression(L"OLD$"), {IDNO}, false, PaneFocus::Second,
         unchanged, {"Q2 File name rule already exists.", "! Update name rule failed."}},
        {"an expression of another folder, moved here", am, 1, Expression(L"OLD$"), {IDYES}, true, PaneFocus::None,
         "AM[A-M,/old$/]", {"Q2 File name rule already exists."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(4, kNames);
        FolderNode* folder = FolderAt(profile.model.root, c.folder);
        ScriptedUser user(c.answers);
        const RuleEdit edit = ApplyNamePane(user, folder, c.index, c.values);
        EXPECT_EQ(edit.applied, c.applied);
        EXPECT_EQ(edit.focus, c.focus);
        EXPECT_EQ(DumpTree(*folder), c.rules);
        EXPECT_EQ(user.shown, c.shown);
    }
}

// An expression of the longest length kept is stored whole; the texts made
// from it are cut to what a field keeps.
TEST(NamePane, LongestExpression) {
    LoadedProfile profile(4, kNames);
    FolderNode* am = FolderAt(profile.model.root, L".\\AM\\");
    ScriptedUser user;
    const std::wstring longest = L"^" + std::wstring(258, L'x');
    ASSERT_TRUE(ApplyNamePane(user, am, 1, Expression(longest)).applied);
    const auto& rule = static_cast<const NameEntry&>(*RuleAt(*am, 1));
    EXPECT_EQ(FieldText(rule.pattern), longest);
    EXPECT_EQ(FieldText(rule.displayName), longest);
    const std::wstring description = FieldText(rule.description);
    EXPECT_EQ(description.size(), 259u);
    EXPECT_EQ(description.substr(0, 50), L"All files and folders whose names match \"^xxxxxxxx");
}

TEST(RuleInput, Expressions) {
    struct Case {
        std::wstring expression;
        UINT problem;
    };
    const Case cases[] = {
        {L"", IDS_REGEXP_EMPTY},
        {L"^rep", 0},
        {L"txt$", 0},
        {L"(a", IDS_REGEXP_INVALID},
        {L"[z-a]", IDS_REGEXP_INVALID},
        {L"\\5", IDS_REGEXP_INVALID},  // no such group
        {L"{a}\\0", 0},
        {std::wstring(259, L'a'), 0},
        {std::wstring(260, L'a'), IDS_REGEXP_TOO_LONG},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpressionProblem(c.expression), c.problem) << Narrow(c.expression);
}

TEST(RuleInput, PartCounts) {
    struct Case {
        const wchar_t* text;
        UINT problem;
        int parts;
    };
    const Case cases[] = {
        {L"5", 0, 5},
        {L" 007\t", 0, 7},
        {L"94", 0, 94},
        {L"99999999999999999999", 0, INT_MAX},  // too large for an int: the largest one
        {L"", IDS_PARTS_BLANK, 0},
        {L"  ", IDS_PARTS_BLANK, 0},
        {L"3x", IDS_PARTS_INVALID, 0},
        {L"-2", IDS_PARTS_INVALID, 0},
        {L"+2", IDS_PARTS_INVALID, 0},
        {L"1 2", IDS_PARTS_INVALID, 0},
        {L"0", IDS_PARTS_ZERO, 0},
        {L"000", IDS_PARTS_ZERO, 0},
    };
    for (const Case& c : cases) {
        int parts = 0;
        EXPECT_EQ(ReadPartCount(c.text, &parts), c.problem) << Narrow(c.text);
        EXPECT_EQ(parts, c.parts) << Narrow(c.text);
    }
}

TEST(RuleInput, ConfirmingAnExtension) {
    struct Case {
        const wchar_t* typed;
        std::vector<int> answers;
        bool accepted;
        const wchar_t* extension;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {L".txt", {}, true, L".txt", {}},
        {L"file.tar.gz", {IDYES}, true, L".gz", {"? File extension in wrong format, do you mean \".gz\"?"}},
        {L"txt", {IDNO}, false, L"", {"? File extension in wrong format, do you mean \".txt\"?"}},
        {L"..", {}, false, L"", {"! Please specify a valid file extension."}},
        {L"  ", {}, false, L"", {"! Please specify a valid file extension."}},
    };
    for (const Case& c : cases) {
        ScriptedUser user(c.answers);
        std::wstring extension;
        EXPECT_EQ(ConfirmExtension({user, nullptr, L"New File Type"}, c.typed, &extension), c.accepted)
            << Narrow(c.typed);
        EXPECT_EQ(extension, c.extension) << Narrow(c.typed);
        EXPECT_EQ(user.shown, c.shown) << Narrow(c.typed);
    }
    // A question built from a long typed text is cut to what a message keeps.
    ScriptedUser user({IDNO});
    ConfirmExtension({user, nullptr, L""}, std::wstring(400, L'x'), nullptr);
    ASSERT_EQ(user.fullTexts.size(), 1u);
    EXPECT_EQ(user.fullTexts[0].size(), 259u);
}

// ---- Size and time rule panes ----

namespace {

const char kSizes[] = "<Folder displayname='Small'><Size lower='2722' upper='102400'/></Folder>"
                      "<Folder displayname='Dirs'><Size si='1'/></Folder>"
                      "<Size lower='1048576' upper='0'/>";
constexpr int kSizeMethod = 3;
constexpr int64_t KB = 1024;

SizePaneValues Sizes(int64_t lower, int64_t upper, bool lowerRead = true, bool upperRead = true) {
    return {lowerRead, lower, upperRead, upper};
}

const char kTimes[] = "<Folder displayname='2012'><Time begin='2012-01-01 00:00:00' end='2012-12-31 00:00:00'/></Folder>"
                      "<Time begin='2013-01-01 00:00:00' end='2013-06-30 00:00:00'/>";
constexpr int kTimeMethod = 2;

}  // namespace

TEST(SizePane, ChangeTest) {
    LoadedProfile profile(kSizeMethod, kSizes);
    const auto& small = static_cast<const SizeEntry&>(*RuleAt(*FolderAt(profile.model.root, L".\\Small\\"), 0));
    const auto& folders = static_cast<const SizeEntry&>(*RuleAt(*FolderAt(profile.model.root, L".\\Dirs\\"), 0));
    struct Case {
        const SizeEntry& rule;
        SizePaneValues values;
        bool differs;
    };
    const Case cases[] = {
        {small, Sizes(2722, 102400), false},  // a bound shown as 2.66 KB stays exact
        {small, Sizes(2723, 102400), true},   {small, Sizes(2722, 0), true},
        {small, Sizes(0, 102400, false), true},  // unreadable counts as changed
        {small, Sizes(2722, 0, true, false), true},
        {folders, Sizes(5, 7), false},  // the special has nothing to change
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizePaneDiffers(c.rule, c.values), c.differs) << c.values.lower << ".." << c.values.upper;
}

TEST(SizePane, Applying) {
    struct Case {
        const char* name;
        SizePaneValues values;
        bool applied;
        PaneFocus focus;
        const char* small;  // Small afterwards
        std::vector<std::string> shown;
    };
    const char* const unchanged = "Small[2722..102400]";
    const Case cases[] = {
        {"narrower", Sizes(KB, 2 * KB), true, PaneFocus::None, "Small[1024..2048]", {}},
        {"equal bounds", Sizes(KB, KB), true, PaneFocus::None, "Small[1024..1024]", {}},
        {"lower above upper", Sizes(2 * KB, KB), false, PaneFocus::First, unchanged,
         {"! Invalid size range, lower limit can not be larger than upper limit."}},
        {"lower unreadable", Sizes(0, KB, false), false, PaneFocus::First, unchanged,
         {"! Invalid size value, file size must be positive."}},
        {"upper unreadable", Sizes(KB, 0, true, false), false, PaneFocus::Second, unchanged,
         {"! Invalid size value, file size must be positive."}},
        {"overlapping the root's rule", Sizes(KB, 0), false, PaneFocus::First, unchanged,
         {"C File size rule \"1.00KB ~ Unlimited\": | .\\#0", "! Update size rule failed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(kSizeMethod, kSizes);
        FolderNode* small = FolderAt(profile.model.root, L".\\Small\\");
        ScriptedUser user;
        const RuleEdit edit = ApplySizePane(user, small, 0, c.values);
        EXPECT_EQ(edit.applied, c.applied);
        EXPECT_EQ(edit.focus, c.focus);
        EXPECT_EQ(DumpTree(*small), c.small);
        EXPECT_EQ(user.shown, c.shown);
    }
}

TEST(TimePane, ChangeTest) {
    LoadedProfile profile(kTimeMethod, kTimes);
    const auto& year = static_cast<const TimeEntry&>(*RuleAt(*FolderAt(profile.model.root, L".\\2012\\"), 0));
    const FILETIME open = {};
    struct Case {
        TimePaneValues values;
        bool differs;
    };
    const Case cases[] = {
        {{DateTime(2012, 1, 1), DateTime(2012, 12, 31)}, false},
        {{DateTime(2012, 1, 1, 15), DateTime(2012, 12, 31, 23)}, false},  // by calendar date only
        {{DateTime(2012, 1, 2), DateTime(2012, 12, 31)}, true},
        {{open, DateTime(2012, 12, 31)}, true},
        {{DateTime(2012, 1, 1), open}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(TimePaneDiffers(year, c.values), c.differs);
}

TEST(TimePane, Applying) {
    const FILETIME open = {};
    struct Case {
        const char* name;
        TimePaneValues values;
        bool applied;
        PaneFocus focus;
        const char* root;  // the root's rules afterwards
        std::vector<std::string> shown;
    };
    const char* const unchanged = ".[2013-01-01..2013-06-30]";
    const Case cases[] = {
        {"a longer range", {DateTime(2013, 1, 1), DateTime(2013, 7, 31)}, true, PaneFocus::None, ".[2013-01-01..2013-07-31]", {}},
        {"open at the end", {DateTime(2013, 1, 1), open}, true, PaneFocus::None, ".[2013-01-01..*]", {}},
        {"one day", {DateTime(2013, 3, 1), DateTime(2013, 3, 1)}, true, PaneFocus::None, ".[2013-03-01..2013-03-01]", {}},
        {"the end before the begin", {DateTime(2013, 1, 1), DateTime(2012, 12, 31)}, false, PaneFocus::Second, unchanged,
         {"! The end date time can not be earlier than begin date time."}},
        {"reaching back into 2012", {open, DateTime(2013, 6, 30)}, false, PaneFocus::First, unchanged,
         {"C Date time rule \"Long Ago - 2013-06-30\": | .\\2012\\#0", "! Update time rule failed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(kTimeMethod, kTimes);
        ScriptedUser user;
        const RuleEdit edit = ApplyTimePane(user, &profile.model.root, 0, c.values);
        EXPECT_EQ(edit.applied, c.applied);
        EXPECT_EQ(edit.focus, c.focus);
        std::string root = DumpTree(profile.model.root);
        root = root.substr(0, root.find('{'));
        EXPECT_EQ(root, c.root);
        EXPECT_EQ(user.shown, c.shown);
    }
}
