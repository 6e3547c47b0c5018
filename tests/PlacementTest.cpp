// Placing rules and editing folders in a profile's tree, as tables: a
// fixture profile, the operation, the user's scripted answers, then the tree,
// what was shown and the final PlacementMode.
#include <gtest/gtest.h>

#include <functional>

#include "EditorScript.h"
#include "Placement.h"
#include "TestSupport.h"
#include "common/Text.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

struct Context {
    ScriptedUser& user;
    MethodProfile& model;
    PlacementMode mode;
    FolderNode* At(const wchar_t* path) { return FolderAt(model.root, path); }
    FolderNode* Root() { return &model.root; }
};

using Operation = std::function<std::vector<bool>(Context&)>;

struct Case {
    const char* name;
    int method;
    const char* body;
    PlacementMode start;
    std::vector<int> answers;
    Operation operation;
    std::vector<bool> results;
    const char* tree;
    std::vector<std::string> shown;
    PlacementMode end;
};

const char kTypeBody[] =
    "<Folder displayname='Docs'><Ext t='.TXT'/><Ext t='.pdf'/></Folder>"
    "<Folder displayname='Pics'><Ext t='.jpg'/><Ext ti='1'/></Folder>";
const char kTypeTree[] = ".[]{Docs[.TXT,.pdf] Pics[.jpg,#1]}";
const char kSizeBody[] = "<Folder displayname='Small'><Size lower='0' upper='1024'/></Folder>"
                         "<Folder displayname='Dirs'><Size si='1'/></Folder>";
const char kSizeTree[] = ".[]{Small[0..1024] Dirs[folders]}";
const char kTimeBody[] = "<Folder displayname='2020'><Time begin='2020-01-01 00:00:00' end='2020-12-31 00:00:00'/></Folder>"
                         "<Folder displayname='2021'><Time begin='2021-01-01 00:00:00' end='2021-12-31 00:00:00'/></Folder>";
const char kTimeTree[] = ".[]{2020[2020-01-01..2020-12-31] 2021[2021-01-01..2021-12-31]}";
const char kNameBody[] = "<Folder displayname='AM'><Name from='A' to='M'/><Name ni='1' regexp='^rep'/></Folder>";
const char kNameTree[] = ".[]{AM[A-M,/^rep/]}";

std::vector<bool> One(bool result) { return {result}; }

bool Type(Context& c, const wchar_t* folder, const wchar_t* extension, int kind = 0) {
    return PlaceTypeRule(c.user, c.At(folder), extension, &c.mode, kind);
}
bool Size(Context& c, const wchar_t* folder, int kind, const int64_t* lower, const int64_t* upper) {
    return PlaceSizeRule(c.user, &c.mode, c.At(folder), kind, lower, upper);
}
bool Time(Context& c, const wchar_t* folder, const FILETIME* begin, const FILETIME* end) {
    return PlaceTimeRule(c.user, &c.mode, c.At(folder), begin, end);
}
bool Name(Context& c, const wchar_t* folder, wchar_t first, wchar_t last) {
    return PlaceNameRule(c.user, &c.mode, c.At(folder), kNameRange, first, last, nullptr);
}
bool Pattern(Context& c, const wchar_t* folder, const wchar_t* expression) {
    return PlaceNameRule(c.user, &c.mode, c.At(folder), kNameRegExp, 0, 0, expression);
}

const int64_t k512 = 512, k1024 = 1024, k2048 = 2048, kZero = 0;
const FILETIME kDec31 = DateTime(2020, 12, 31), kJan1 = DateTime(2021, 1, 1), kEnd2021 = DateTime(2021, 12, 31),
               kEnd2019 = DateTime(2019, 12, 31), kEnd2022 = DateTime(2022, 12, 31), kJan2022 = DateTime(2022, 1, 1);

const Case kPlacements[] = {
    // Type rules.
    {"a new extension is added", 1, kTypeBody, PlaceSingle, {},
     [](Context& c) { return One(Type(c, L".\\Docs\\", L".doc")); }, {true},
     ".[]{Docs[.TXT,.pdf,.doc] Pics[.jpg,#1]}", {}, PlaceSingle},
    {"the same extension in other letter case in the folder", 1, kTypeBody, PlaceSingle, {},
     [](Context& c) { return One(Type(c, L".\\Docs\\", L".txt")); }, {true}, kTypeTree,
     {"! An Item named \".txt\" already exists under current folder."}, PlaceSingle},
    {"an extension elsewhere, Yes moves it", 1, kTypeBody, PlaceSingle, {IDYES},
     [](Context& c) { return One(Type(c, L".\\Pics\\", L".txt")); }, {true},
     ".[]{Docs[.pdf] Pics[.jpg,#1,.TXT]}", {"Q2 File type \".txt\" already exists."}, PlaceSingle},
    {"an extension elsewhere, No keeps it there", 1, kTypeBody, PlaceSingle, {IDNO},
     [](Context& c) { return One(Type(c, L".\\Pics\\", L".txt")); }, {true}, kTypeTree,
     {"Q2 File type \".txt\" already exists."}, PlaceSingle},
    {"the folders special exists once per profile", 1, kTypeBody, PlaceSingle, {IDYES},
     [](Context& c) { return One(Type(c, L".\\Docs\\", L"::{Folders}", kTypeFolders)); }, {true},
     ".[]{Docs[.TXT,.pdf,#1] Pics[.jpg]}", {"Q2 File type \"::{Folders}\" already exists."}, PlaceSingle},
    {"Yes to all moves this and every later duplicate without asking", 1, kTypeBody, PlaceAskEach,
     {kReplaceYesToAll},
     [](Context& c) {
         return std::vector<bool>{Type(c, L".\\", L".txt"), Type(c, L".\\", L".PDF"), Type(c, L".\\", L".jpg"),
                                  Type(c, L".\\", L".txt"), Type(c, L".\\", L".doc")};
     },
     {true, true, true, true, true}, ".[.TXT,.pdf,.jpg,.doc]{Docs[] Pics[#1]}",
     {"Q4 File type \".txt\" already exists."}, PlaceYesToAll},
    {"Cancel mid-batch: the rest succeed and add nothing", 1, kTypeBody, PlaceAskEach, {kReplaceCancel},
     [](Context& c) {
         return std::vector<bool>{Type(c, L".\\", L".doc"), Type(c, L".\\", L".txt"), Type(c, L".\\", L".pdf"),
                                  Type(c, L".\\", L".xls")};
     },
     {true, true, true, true}, ".[.doc]{Docs[.TXT,.pdf] Pics[.jpg,#1]}",
     {"Q4 File type \".txt\" already exists."}, PlaceCancelled},
    {"No in a batch asks again for the next", 1, kTypeBody, PlaceAskEach, {IDNO, IDYES},
     [](Context& c) { return std::vector<bool>{Type(c, L".\\", L".txt"), Type(c, L".\\", L".pdf")}; },
     {true, true}, ".[.pdf]{Docs[.TXT] Pics[.jpg,#1]}",
     {"Q4 File type \".txt\" already exists.", "Q4 File type \".pdf\" already exists."}, PlaceAskEach},
    {"a batch reports a rule already in the folder", 1, kTypeBody, PlaceAskEach, {},
     [](Context& c) { return One(Type(c, L".\\Docs\\", L".pdf")); }, {true}, kTypeTree,
     {"! An Item named \".pdf\" already exists under current folder."}, PlaceAskEach},
    {"after Yes to all a rule already in the folder is skipped silently", 1, kTypeBody, PlaceYesToAll, {},
     [](Context& c) { return One(Type(c, L".\\Docs\\", L".pdf")); }, {true}, kTypeTree, {}, PlaceYesToAll},
    {"closing the four-button question cancels", 1, kTypeBody, PlaceAskEach, {IDCANCEL},
     [](Context& c) { return One(Type(c, L".\\", L".jpg")); }, {true}, kTypeTree,
     {"Q4 File type \".jpg\" already exists."}, PlaceCancelled},
    {"a cancelled command adds nothing and succeeds", 1, kTypeBody, PlaceCancelled, {},
     [](Context& c) { return One(Type(c, L".\\", L".doc")); }, {true}, kTypeTree, {}, PlaceCancelled},
    {"an extension rule needs an extension", 1, kTypeBody, PlaceSingle, {},
     [](Context& c) { return One(Type(c, L".\\", L"")); }, {false}, kTypeTree, {}, PlaceSingle},
    {"a type rule needs a folder of a type profile", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(PlaceTypeRule(c.user, c.Root(), L".txt", &c.mode, 0)); }, {false}, kTimeTree, {},
     PlaceSingle},

    // Size rules.
    {"size ranges that only touch do not collide", 3, kSizeBody, PlaceSingle, {},
     [](Context& c) { return One(Size(c, L".\\", kSizeRange, &k1024, &k2048)); }, {true},
     ".[1024..2048]{Small[0..1024] Dirs[folders]}", {}, PlaceSingle},
    {"an overlapping size range is shown and refused", 3, kSizeBody, PlaceAskEach, {},
     [](Context& c) { return One(Size(c, L".\\", kSizeRange, &k512, &kZero)); }, {false}, kSizeTree,
     {"C File size rule \"512.00B ~ Unlimited\": | .\\Small\\#0"}, PlaceCancelled},
    {"only one bound given: the other is unlimited", 3, kSizeBody, PlaceSingle, {},
     [](Context& c) { return One(Size(c, L".\\", kSizeRange, &k2048, nullptr)); }, {true},
     ".[2048..0]{Small[0..1024] Dirs[folders]}", {}, PlaceSingle},
    {"the same size range elsewhere is offered for moving", 3, kSizeBody, PlaceSingle, {IDYES},
     [](Context& c) { return One(Size(c, L".\\Dirs\\", kSizeRange, &kZero, &k1024)); }, {true},
     ".[]{Small[] Dirs[folders,0..1024]}", {"Q2 File size rule already exists."}, PlaceSingle},
    {"a second folders special is offered for moving", 3, kSizeBody, PlaceSingle, {IDNO},
     [](Context& c) { return One(Size(c, L".\\", kSizeFolders, nullptr, nullptr)); }, {true}, kSizeTree,
     {"Q2 File size rule already exists."}, PlaceSingle},
    {"a size range needs a bound", 3, kSizeBody, PlaceSingle, {},
     [](Context& c) { return One(Size(c, L".\\", kSizeRange, nullptr, nullptr)); }, {false}, kSizeTree, {},
     PlaceSingle},

    // Time rules.
    {"date ranges sharing one day collide", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(Time(c, L".\\", &kDec31, &kDec31)); }, {false}, kTimeTree,
     {"C Date time rule \"2020-12-31 - 2020-12-31\": | .\\2020\\#0"}, PlaceCancelled},
    {"an open range colliding with two folders lists both", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(Time(c, L".\\", &kDec31, nullptr)); }, {false}, kTimeTree,
     {"C Date time rule \"2020-12-31 - Now\": | .\\2020\\#0 .\\2021\\#0"}, PlaceCancelled},
    {"a range from the next day on is added", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(Time(c, L".\\", &kJan2022, &kEnd2022)); }, {true},
     ".[2022-01-01..2022-12-31]{2020[2020-01-01..2020-12-31] 2021[2021-01-01..2021-12-31]}", {}, PlaceSingle},
    {"a range open at the start ending before the others", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(Time(c, L".\\", nullptr, &kEnd2019)); }, {true},
     ".[*..2019-12-31]{2020[2020-01-01..2020-12-31] 2021[2021-01-01..2021-12-31]}", {}, PlaceSingle},
    {"the same date range in the folder", 2, kTimeBody, PlaceSingle, {},
     [](Context& c) { return One(Time(c, L".\\2021\\", &kJan1, &kEnd2021)); }, {true}, kTimeTree,
     {"! The datetime rule already exists under current folder."}, PlaceSingle},

    // Name rules.
    {"character ranges sharing a character collide", 4, kNameBody, PlaceSingle, {},
     [](Context& c) { return One(Name(c, L".\\", L'M', L'Z')); }, {false}, kNameTree,
     {"C File name rule \"M - Z\": | .\\AM\\#0"}, PlaceCancelled},
    {"the next range is added", 4, kNameBody, PlaceSingle, {},
     [](Context& c) { return One(Name(c, L".\\", L'N', L'Z')); }, {true}, ".[N-Z]{AM[A-M,/^rep/]}", {},
     PlaceSingle},
    {"expressions differing in letter case are the same rule", 4, kNameBody, PlaceSingle, {IDNO},
     [](Context& c) { return One(Pattern(c, L".\\", L"^REP")); }, {true}, kNameTree,
     {"Q2 File name rule already exists."}, PlaceSingle},
    {"expressions never collide", 4, kNameBody, PlaceSingle, {},
     [](Context& c) { return One(Pattern(c, L".\\", L"rep")); }, {true}, ".[/rep/]{AM[A-M,/^rep/]}", {},
     PlaceSingle},
    {"an expression rule needs an expression", 4, kNameBody, PlaceSingle, {},
     [](Context& c) { return One(Pattern(c, L".\\", L"")); }, {false}, kNameTree, {}, PlaceSingle},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Placements : public ::testing::TestWithParam<Case> {};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

// The profile of a fixture body, loaded from a file as the page would.
}  // namespace

TEST_P(Placements, TreeMessagesAndMode) {
    const Case& c = GetParam();
    LoadedProfile profile(c.method, c.body);
    const std::string before = DumpTree(profile.model.root);
    ScriptedUser user(c.answers);
    Context context{user, profile.model, c.start};
    EXPECT_EQ(c.operation(context), c.results);
    EXPECT_EQ(DumpTree(profile.model.root), c.tree);
    EXPECT_EQ(user.shown, c.shown);
    EXPECT_EQ(context.mode, c.end);
    EXPECT_EQ(IsTreeModified(profile.model.root), before != c.tree) << "a change marks the profile modified";
}

INSTANTIATE_TEST_SUITE_P(Rules, Placements, ::testing::ValuesIn(kPlacements), CaseName);

// ---- Changing a rule in place ----

namespace {

struct EditCase {
    const char* name;
    int method;
    const char* body;
    const wchar_t* folder;
    int index;
    std::function<AnyRule(const FolderNode&, int)> newValues;  // from the rule as it is
    std::vector<int> answers;
    bool result;
    const char* tree;
    std::vector<std::string> shown;
};

AnyRule WithPattern(const FolderNode& folder, int index, const wchar_t* pattern) {
    AnyRule rule = CopyRule(folder, index);
    StoreText(rule.name.pattern, pattern);
    return rule;
}
AnyRule WithDates(const FolderNode& folder, int index, FILETIME begin, FILETIME end) {
    AnyRule rule = CopyRule(folder, index);
    rule.time.begin = begin;
    rule.time.end = end;
    return rule;
}
AnyRule WithExtension(const FolderNode& folder, int index, const wchar_t* extension) {
    AnyRule rule = CopyRule(folder, index);
    StoreText(rule.type.extension, extension);
    return rule;
}

const char kTwoRegExpBody[] = "<Folder displayname='R'><Name ni='1' regexp='^rep'/><Name ni='1' regexp='ABC'/></Folder>";

const EditCase kEdits[] = {
    {"an expression changed only in letter case is applied", 4, kNameBody, L".\\AM\\", 1,
     [](const FolderNode& f, int i) { return WithPattern(f, i, L"^REP"); }, {}, true, ".[]{AM[A-M,/^REP/]}", {}},
    {"an expression equal to another one in the folder is refused", 4, kTwoRegExpBody, L".\\R\\", 0,
     [](const FolderNode& f, int i) { return WithPattern(f, i, L"abc"); }, {}, false, ".[]{R[/^rep/,/ABC/]}",
     {"! The file name rule already exists under current folder."}},
    {"a range widened over its own old range is applied", 2, kTimeBody, L".\\2020\\", 0,
     [](const FolderNode& f, int i) { return WithDates(f, i, DateTime(2019, 6, 1), DateTime(2020, 12, 31)); }, {}, true,
     ".[]{2020[2019-06-01..2020-12-31] 2021[2021-01-01..2021-12-31]}", {}},
    {"a range widened over another rule is refused", 2, kTimeBody, L".\\2020\\", 0,
     [](const FolderNode& f, int i) { return WithDates(f, i, DateTime(2020, 1, 1), DateTime(2021, 1, 1)); }, {}, false,
     kTimeTree, {"C Date time rule \"2020-01-01 - 2021-01-01\": | .\\2021\\#0"}},
    {"a range made equal to one elsewhere, Yes takes that one over", 2, kTimeBody, L".\\2020\\", 0,
     [](const FolderNode& f, int i) { return WithDates(f, i, DateTime(2021, 1, 1), DateTime(2021, 12, 31)); }, {IDYES},
     true, ".[]{2020[2021-01-01..2021-12-31] 2021[]}", {"Q2 Date time rule already exists."}},
    {"an extension equal to another in the folder is refused", 1, kTypeBody, L".\\Docs\\", 0,
     [](const FolderNode& f, int i) { return WithExtension(f, i, L".PDF"); }, {}, false, kTypeTree,
     {"! An Item named \".PDF\" already exists under current folder."}},
    {"an extension equal to one elsewhere, No refuses", 1, kTypeBody, L".\\Docs\\", 0,
     [](const FolderNode& f, int i) { return WithExtension(f, i, L".jpg"); }, {IDNO}, false, kTypeTree,
     {"Q2 File type \".jpg\" already exists."}},
    {"an extension changed only in letter case is applied", 1, kTypeBody, L".\\Docs\\", 0,
     [](const FolderNode& f, int i) { return WithExtension(f, i, L".txt"); }, {}, true,
     ".[]{Docs[.txt,.pdf] Pics[.jpg,#1]}", {}},
    {"a rule keeps its kind", 1, kTypeBody, L".\\Pics\\", 1,
     [](const FolderNode& f, int) { return CopyRule(f, 0); }, {}, false, kTypeTree, {}},
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }

class Edits : public ::testing::TestWithParam<EditCase> {};

std::string EditName(const ::testing::TestParamInfo<EditCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

}  // namespace

TEST_P(Edits, TreeAndMessages) {
    const EditCase& c = GetParam();
    LoadedProfile profile(c.method, c.body);
    ScriptedUser user(c.answers);
    FolderNode* folder = FolderAt(profile.model.root, c.folder);
    ASSERT_NE(folder, nullptr);
    const AnyRule values = c.newValues(*folder, c.index);
    EXPECT_EQ(ReplaceEditedRule(user, folder, c.index, *values.Get()), c.result);
    EXPECT_EQ(DumpTree(profile.model.root), c.tree);
    EXPECT_EQ(user.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Rules, Edits, ::testing::ValuesIn(kEdits), EditName);

TEST(Placement, ChangedRuleGetsItsNewTexts) {
    LoadedProfile profile(3, kSizeBody);
    ScriptedUser user;
    FolderNode* small = FolderAt(profile.model.root, L".\\Small\\");
    AnyRule values = CopyRule(*small, 0);
    values.size.upper = 1572864;
    ASSERT_TRUE(ReplaceEditedRule(user, small, 0, *values.Get()));
    const auto* rule = static_cast<const SizeEntry*>(RuleAt(*small, 0));
    EXPECT_STREQ(rule->displayName, L"Unlimited ~ 1.50MB");
    EXPECT_EQ(rule->iconIndex, kIconSizeRange);
}

// The texts of the questions and lists, whole.
TEST(Placement, MessageTexts) {
    LoadedProfile profile(1, kTypeBody);
    ScriptedUser user({IDNO});
    PlacementMode mode = PlaceSingle;
    PlaceTypeRule(user, FolderAt(profile.model.root, L".\\Pics\\"), L".pdf", &mode, 0);
    ASSERT_EQ(user.fullTexts.size(), 1u);
    EXPECT_EQ(user.fullTexts[0],
              L"File type \".pdf\" already exists.\r\n\r\nMove it from folder:\r\n  .\\Docs\\\r\n\r\n"
              L"To current folder:\r\n  .\\Pics\\\r\n");

    LoadedProfile sizes(3, kSizeBody);
    ScriptedUser collisions;
    const int64_t lower = 100;
    PlaceSizeRule(collisions, &mode, &sizes.model.root, kSizeRange, &lower, nullptr);
    ASSERT_EQ(collisions.fullTexts.size(), 1u);
    EXPECT_EQ(collisions.fullTexts[0],
              L"File size rule \"100.00B ~ Unlimited\":\r\n\r\nCollisions are found with the following rules, "
              L"please delete these rules manually before trying again.");
}

TEST(Placement, MovedRuleKeepsItsTextsAndAddedOneGetsThem) {
    LoadedProfile profile(1, kTypeBody);
    ScriptedUser user;
    PlacementMode mode = PlaceSingle;
    ASSERT_TRUE(PlaceTypeRule(user, &profile.model.root, L"::{ShortCut}", &mode, kTypeShortcuts));
    const auto* rule = static_cast<const TypeEntry*>(RuleAt(profile.model.root, 0));
    EXPECT_STREQ(rule->typeText, L"ShortCuts (*Special Item*)");
    EXPECT_STREQ(rule->description, L"All unmatched shortcuts will be moved to current folder.");
    EXPECT_EQ(rule->iconIndex, kIconTypeShortcuts);
}

// ---- Folders ----

TEST(FolderEditing, FolderNames) {
    struct Case {
        const wchar_t* name;
        bool valid;
    };
    const Case cases[] = {
        {L"Docs", true},        {L"  Docs\t", true},    {L"My Files 2", true},  {L"a.b", true},
        {L"", false},           {L" \t ", false},       {L"a/b", false},        {L"a\\b", false},
        {L"a:b", false},        {L"a*", false},         {L"a?", false},         {L"\"a\"", false},
        {L"<a>", false},        {L"a|b", false},        {L".", false},          {L"..", false},
        {L"name.", false},      {L"a\tb", false},       {L"a\x0001", false},    {L"CON", false},
        {L"nul", false},        {L"Com1", false},       {L"LPT9", false},       {L"aux.txt", false},
        {L"CON .txt", false},   {L"COM10", true},       {L"CONSOLE", true},     {L"LPT", true},
        {L"...x", true},
    };
    for (const Case& c : cases) EXPECT_EQ(ValidateFolderName(c.name), c.valid) << Narrow(c.name);
}

TEST(FolderEditing, AddFolderRefusesDuplicatesAndBadNames) {
    LoadedProfile profile(1, kTypeBody);
    ScriptedUser user;
    FolderNode* root = &profile.model.root;
    FolderNode* added = AddFolder(user, root, L"  New one ", L" D:\\Media ");
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(added->displayName, L"New one");
    EXPECT_STREQ(added->location, L"D:\\Media\\");
    EXPECT_STREQ(added->effectivePath, L"D:\\Media\\New one\\");
    EXPECT_STREQ(added->displayPath, L".\\New one\\");
    EXPECT_TRUE(root->modified);
    EXPECT_EQ(AddFolder(user, root, L"DOCS", L""), nullptr);
    EXPECT_EQ(AddFolder(user, root, L"a:b", L""), nullptr);
    EXPECT_EQ(AddFolder(user, root, L"..", L""), nullptr);
    EXPECT_EQ(user.shown, (std::vector<std::string>{"! A Folder named \"DOCS\" already exists.",
                                                     "! Folder Name cannot be blank or contain following characters",
                                                     "! Folder Name cannot be blank or contain following characters"}));
    EXPECT_EQ(DumpTree(*root), ".[]{Docs[.TXT,.pdf] Pics[.jpg,#1] New one[]}");
}

TEST(FolderEditing, BatchChecksEveryNameFirst) {
    LoadedProfile profile(4, kNameBody);
    const std::vector<std::wstring> names[] = {
        {L"! - /", L"0 - ?"},            // a slash in the first name
        {L"A - G", L"H - N", L"am"},     // "AM" exists, in other letter case
        {L"2010", L"2011", L"2010 "},    // the same name twice
    };
    const char* messages[] = {"! The batch would make a folder named \"! - /\".",
                              "! A Folder named \"am\" already exists.", "! A Folder named \"2010\" already exists."};
    for (int i = 0; i < 3; ++i) {
        ScriptedUser user;
        EXPECT_FALSE(CheckNewFolderNames(user, &profile.model.root, names[i]));
        EXPECT_EQ(user.shown, std::vector<std::string>{messages[i]});
    }
    ScriptedUser user;
    EXPECT_TRUE(CheckNewFolderNames(user, &profile.model.root, {L"A - G", L"H - N"}));
    EXPECT_EQ(DumpTree(profile.model.root), kNameTree) << "checking makes nothing";
}

TEST(FolderEditing, RenameRelocateDelete) {
    LoadedProfile profile(1, "<Folder displayname='Docs'><Folder displayname='Letters'><Ext t='.doc'/></Folder></Folder>"
                             "<Folder displayname='Pics'/>");
    FolderNode* root = &profile.model.root;
    FolderNode* docs = FolderAt(*root, L".\\Docs\\");
    FolderNode* letters = FolderAt(*root, L".\\Docs\\Letters\\");
    struct Case {
        FolderNode* folder;
        const wchar_t* name;
        RenameResult result;
    };
    const Case renames[] = {
        {docs, L"pics", RenameResult::Duplicate}, {root, L"Top", RenameResult::Failed},
        {docs, L"  ", RenameResult::Failed},      {docs, L"a|b", RenameResult::Failed},
        {docs, L"DOCS", RenameResult::Renamed},   {docs, L" Papers ", RenameResult::Renamed},
    };
    for (const Case& c : renames) EXPECT_EQ(RenameFolder(c.folder, c.name), c.result) << Narrow(c.name);
    EXPECT_STREQ(docs->displayName, L"Papers");
    EXPECT_STREQ(letters->displayPath, L".\\Papers\\Letters\\") << "the paths below follow";
    EXPECT_TRUE(docs->modified);

    SetFolderLocation(docs, L"  E:\\Archive ");
    EXPECT_STREQ(docs->location, L"E:\\Archive\\");
    EXPECT_STREQ(letters->effectivePath, L"E:\\Archive\\Papers\\Letters\\");
    EXPECT_STREQ(letters->displayPath, L".\\Papers\\Letters\\");
    SetFolderLocation(docs, L"");
    EXPECT_STREQ(letters->effectivePath, L".\\Papers\\Letters\\");

    EXPECT_EQ(DeleteChildFolder(root, letters), DeleteResult::NotChild);
    EXPECT_EQ(DeleteChildFolder(docs, letters), DeleteResult::Deleted);
    EXPECT_EQ(DumpTree(*root), ".[]{Papers[] Pics[]}");
}

TEST(FolderEditing, MoveAndRemoveRules) {
    LoadedProfile profile(1, kTypeBody);
    FolderNode* docs = FolderAt(profile.model.root, L".\\Docs\\");
    FolderNode* pics = FolderAt(profile.model.root, L".\\Pics\\");
    EXPECT_EQ(MoveRule(docs, 5, pics), MoveResult::Failed);
    EXPECT_EQ(MoveRule(docs, -1, pics), MoveResult::Failed);
    EXPECT_EQ(MoveRule(docs, 0, docs), MoveResult::AlreadyThere);
    EXPECT_FALSE(IsTreeModified(profile.model.root)) << "moving into the same folder does nothing";
    EXPECT_EQ(MoveRule(docs, 0, pics), MoveResult::Moved);
    EXPECT_EQ(DumpTree(profile.model.root), ".[]{Docs[.pdf] Pics[.jpg,#1,.TXT]}");
    EXPECT_TRUE(docs->modified && pics->modified);

    AnyRule gone(ModelMethod::Type);
    StoreText(gone.type.extension, L".zip");
    EXPECT_EQ(RemoveRule(pics, *gone.Get()), RemoveResult::NotFound);
    EXPECT_EQ(RemoveRule(nullptr, *gone.Get()), RemoveResult::NoFolder);
    StoreText(gone.type.extension, L".txt");
    EXPECT_EQ(RemoveRule(pics, *gone.Get()), RemoveResult::Removed);
    EXPECT_TRUE(RemoveRuleAt(pics, 0));
    EXPECT_FALSE(RemoveRuleAt(pics, 3));
    EXPECT_EQ(DumpTree(profile.model.root), ".[]{Docs[.pdf] Pics[#1]}");
}

TEST(Placement, CollisionListRows) {
    struct Case {
        int method;
        const char* body;
        std::vector<std::vector<std::wstring>> rows;
    };
    const Case cases[] = {
        {2, kTimeBody, {{L".\\2020\\", L"2020-01-01", L"2020-12-31"}, {L".\\2021\\", L"2021-01-01", L"2021-12-31"}}},
        {3, kSizeBody, {{L"Unlimited ~ 1.00KB", L".\\Small\\"}}},
        {4, kNameBody, {{L"A - M", L".\\AM\\"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        LoadedProfile profile(c.method, c.body);
        ScriptedUser texts;
        CollisionList all;
        for (auto& child : profile.model.root.children) all.push_back({child.get(), 0});
        if (c.method != 2) all.resize(1);
        std::vector<std::vector<std::wstring>> rows;
        for (const CollisionRow& row : CollisionRows(texts, profile.model.Method(), all)) {
            rows.push_back(row.cells);
            EXPECT_EQ(row.image, c.method == 3 ? kIconSizeRange : 1);
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(CollisionColumns(profile.model.Method()).size(), c.rows[0].size());
    }
}
