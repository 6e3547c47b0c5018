// The wizard's rules without windows: page order, button labels, method
// positions, help topics, the destination kept at Finish, the profile list
// and the default profile document.
#include <gtest/gtest.h>

#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Text.h"
#include "resource.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {
constexpr int kDesktop = static_cast<int>(TidyTarget::Desktop);
constexpr int kFolder = static_cast<int>(TidyTarget::Folder);
constexpr int kSelection = static_cast<int>(TidyTarget::Selection);
}  // namespace

TEST(WizardFrame, LabelCodes) {
    struct Case {
        int code;
        unsigned stringId;
        bool shown;
    };
    const Case cases[] = {{0, 0, false},          {1, IDS_EXIT, true},     {2, IDS_FINISH, true},
                          {3, IDS_PREVIOUS, true}, {4, IDS_NEXT, true},     {5, 0, true},
                          {-1, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(LabelForCode(c.code).stringId, c.stringId);
        EXPECT_EQ(LabelForCode(c.code).shown, c.shown);
    }
}

TEST(WizardFrame, PagesButtonsAndTransitions) {
    struct Case {
        Page page;
        int left, right;
        Page next, previousDesktop, previousSelection;
    };
    const Case cases[] = {
        {Page::Target, kLabelNone, kLabelExit, Page::None, Page::None, Page::None},
        {Page::Items, kLabelPrevious, kLabelNext, Page::Method, Page::Target, Page::Target},
        {Page::Method, kLabelPrevious, kLabelNext, Page::Profile, Page::Target, Page::Items},
        {Page::Profile, kLabelPrevious, kLabelNext, Page::Summary, Page::Method, Page::Method},
        {Page::Summary, kLabelPrevious, kLabelFinish, Page::None, Page::Profile, Page::Profile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.page));
        EXPECT_EQ(ButtonsForPage(c.page).left, c.left);
        EXPECT_EQ(ButtonsForPage(c.page).right, c.right);
        EXPECT_EQ(NextPage(c.page), c.next);
        EXPECT_EQ(PreviousPage(c.page, kDesktop), c.previousDesktop);
        EXPECT_EQ(PreviousPage(c.page, kFolder), c.previousDesktop);
        EXPECT_EQ(PreviousPage(c.page, kSelection), c.previousSelection);
    }
}

TEST(WizardFrame, MethodPositionsAndCodes) {
    const int codes[] = {1, 4, 3, 2};  // Type, Name, Size, Time
    for (int position = 0; position < 4; ++position) {
        EXPECT_EQ(MethodForPosition(position), codes[position]);
        EXPECT_EQ(PositionForMethod(codes[position]), position);
    }
    for (int outside : {-1, 4, 100}) EXPECT_EQ(MethodForPosition(outside), 0);
    for (int outside : {0, 5}) EXPECT_EQ(PositionForMethod(outside), -1);
}

TEST(WizardFrame, HelpTopicPerPage) {
    const wchar_t* topics[] = {L"/html/wizard_tidy_target.htm", L"/html/wizard_tidy_items.htm",
                               L"/html/wizard_tidy_method.htm", L"/html/wizard_tidy_profile.htm",
                               L"/html/wizard_tidy_summary.htm"};
    for (int position = 0; position < 5; ++position)
        EXPECT_STREQ(HelpTopic(PageAt(position)), topics[position]);
    EXPECT_STREQ(HelpTopic(Page::None), L"/html/wizard.htm");
    EXPECT_STREQ(HelpTopic(static_cast<Page>(5)), L"/html/wizard.htm");
    for (int outside : {-2, -1, 5}) EXPECT_EQ(PageAt(outside), Page::None);
    EXPECT_EQ(HelpPath(L"C:\\App", Page::Method), L"C:\\App\\Ordvale.chm::/html/wizard_tidy_method.htm");
    EXPECT_EQ(HelpPath(std::wstring(300, L'x'), Page::Target).size(), 259u);
}

TEST(WizardFrame, FinishKeepsOnlyAnotherExistingFolder) {
    TempDir dir;
    ASSERT_TRUE(MakeFolder(dir / L"Out"));
    ASSERT_TRUE(WriteText(dir / L"file.txt", "x"));
    TidyJob job;
    job.target = kFolder;
    StoreText(job.folder, dir.Path());
    const std::wstring defaultDestination = DefaultDestination(&job);
    ASSERT_FALSE(defaultDestination.empty());
    std::wstring upper = defaultDestination;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    struct Case {
        std::wstring typed, kept;
    };
    const Case cases[] = {
        {dir / L"Out", dir / L"Out"},  {dir / L"Missing", L""}, {dir / L"file.txt", L""},
        {defaultDestination, L""},     {upper, L""},            {L"", L""},
        // Typed text is trimmed of spaces and tabs first.
        {L" " + (dir / L"Out"), dir / L"Out"}, {L"\t" + (dir / L"Out") + L" \t", dir / L"Out"},
        {L"  " + defaultDestination + L"\t", L""}, {L" \t ", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        EXPECT_EQ(FinishDestination(job, c.typed), c.kept);
    }
}

TEST(WizardFrame, CollectItemsDropsMissingAndDuplicates) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"a.txt", "x"));
    ASSERT_TRUE(MakeFolder(dir / L"Sub"));
    TidyJob job;
    AddItem(&job, (dir / L"a.txt").c_str());
    AddItem(&job, (dir / L"Sub").c_str());
    CollectItems(&job, {dir / L"Sub", dir / L"gone.txt", dir / L"A.TXT", dir / L"a.txt"});
    ASSERT_EQ(job.itemCount, 2);
    EXPECT_EQ(std::wstring(job.items[0].text), dir / L"Sub");
    EXPECT_EQ(std::wstring(job.items[1].text), dir / L"A.TXT");
    CollectItems(&job, {});
    EXPECT_EQ(job.itemCount, 0);
}

TEST(WizardItems, RowsAreUniqueIgnoringCase) {
    const std::vector<std::wstring> rows = {L"C:\\A.TXT", L"C:\\Folder"};
    EXPECT_TRUE(ContainsRow(rows, L"c:\\a.txt"));
    EXPECT_TRUE(ContainsRow(rows, L"C:\\FOLDER"));
    EXPECT_FALSE(ContainsRow(rows, L"C:\\A.TXT2"));
    EXPECT_FALSE(ContainsRow({}, L"C:\\A.TXT"));
    // Rows hold 259 characters: a longer path matches its cut row.
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'n');
    EXPECT_TRUE(ContainsRow({CutToField(longPath)}, longPath));
}

TEST(WizardProfiles, ListOfAMethodWithItsDefault) {
    TempDir dir;
    const std::wstring file = dir / L"profile.xml";
    ASSERT_TRUE(WriteText(file,
                          "<?xml version=\"1.0\"?><Ordvale>"
                          "<TypeProfiles default=\"type2\"><TypeConfigure id=\"Type1\" displayname=\"One\"/>"
                          "<TypeConfigure id=\"Type2\" displayname=\"Two\"/><TypeConfigure displayname=\"NoId\"/></TypeProfiles>"
                          "<SizeProfiles><SizeConfigure id=\"Size1\" displayname=\"S\"/></SizeProfiles></Ordvale>"));
    std::vector<ProfileEntry> type = LoadProfileList(file.c_str(), 1);
    ASSERT_EQ(type.size(), 3u);
    EXPECT_STREQ(type[0].displayName, L"One");
    EXPECT_STREQ(type[1].id, L"Type2");
    EXPECT_EQ(type[1].isDefault, 1) << "the default attribute compares ignoring case";
    EXPECT_STREQ(type[2].id, L"");
    EXPECT_EQ(DefaultEntryIndex(type), 1);
    std::vector<ProfileEntry> size = LoadProfileList(file.c_str(), 3);
    ASSERT_EQ(size.size(), 1u);
    EXPECT_EQ(DefaultEntryIndex(size), -1) << "no default attribute";
    EXPECT_TRUE(LoadProfileList(file.c_str(), 2).empty()) << "no Time section";
    EXPECT_TRUE(LoadProfileList((dir / L"missing.xml").c_str(), 1).empty());
    EXPECT_TRUE(LoadProfileList(file.c_str(), 7).empty());
}

TEST(WizardProfiles, DefaultDocumentIsCopiedOnlyWhenMissing) {
    TempDir dir;
    const std::wstring shipped = dir / L"DefaultProfiles.xml";
    ASSERT_TRUE(WriteText(shipped, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring fresh = dir / L"New\\Deeper\\profile.xml";
    EXPECT_TRUE(EnsureProfileDocument(fresh, shipped));
    EXPECT_EQ(ReadUtf8(fresh), ReadUtf8(shipped));

    const std::wstring empty = dir / L"empty.xml";
    ASSERT_TRUE(WriteText(empty, ""));
    EXPECT_FALSE(EnsureProfileDocument(empty, shipped)) << "an existing document, even empty, stays";
    EXPECT_EQ(ReadUtf8(empty), "");
    EXPECT_FALSE(EnsureProfileDocument(dir / L"other.xml", dir / L"nothing-shipped.xml"));
    EXPECT_FALSE(FileExists(dir / L"other.xml"));
}

TEST(WizardProfiles, ShippedDocumentHasOneDefaultProfilePerMethod) {
    const std::wstring shipped = BinFolder() + L"\\" + kShippedProfilesName;
    ASSERT_TRUE(FileExists(shipped));
    for (int method = 1; method <= 4; ++method) {
        SCOPED_TRACE(method);
        std::vector<ProfileEntry> list = LoadProfileList(shipped.c_str(), method);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(DefaultEntryIndex(list), 0);
        MethodProfile profile(ModelMethodOf(method));
        EXPECT_TRUE(profile.Load(shipped.c_str(), nullptr));
        EXPECT_FALSE(profile.root.children.empty());
    }
}
