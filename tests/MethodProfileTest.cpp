#include <gtest/gtest.h>

#include "common/MethodProfile.h"
#include "common/TidyJob.h"
#include "common/Text.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

const char kDocument[] =
    "<?xml version=\"1.0\"?>\n"
    "<Ordvale>\n"
    " <TypeProfiles default=\"Type2\">\n"
    "  <TypeConfigure id=\"Type1\" displayname=\"First\" rootpath=\"D:\\Sorted\">\n"
    "   <Ext t=\".old\"/>\n"
    "  </TypeConfigure>\n"
    "  <TypeConfigure id=\"Type2\" displayname=\"Everyday\" rootpath=\"D:\\Sorted\\\">\n"
    "   <Ext ti=\"3\"/>\n"
    "   <Folder displayname=\"Documents\">\n"
    "    <Ext t=\".pdf\"/>\n"
    "    <Folder displayname=\"Letters\"><Ext t=\".doc\"/></Folder>\n"
    "    <Ext t=\".txt\"/>\n"
    "   </Folder>\n"
    "   <Folder displayname=\"  Music\t\" location=\" D:\\Media \"><Ext t=\".mp3\"/></Folder>\n"
    "   <Folder displayname=\"Old\" location=\"E:\\Archive\\\"/>\n"
    "  </TypeConfigure>\n"
    "  <TypeConfigure id=\"Type2\" displayname=\"Duplicate, never found\"/>\n"
    " </TypeProfiles>\n"
    " <SizeProfiles default=\"\">\n"
    "  <SizeConfigure id=\"\" displayname=\"No id\"><Size si=\"1\"/></SizeConfigure>\n"
    " </SizeProfiles>\n"
    " <NameProfiles default=\"Name1\">\n"
    "  <NameConfigure id=\"Name1\"><Folder displayname=\"A-M\"><Name from=\"A\" to=\"M\"/></Folder></NameConfigure>\n"
    " </NameProfiles>\n"
    "</Ordvale>\n";

class ProfileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, kDocument));
    }
    TempDir dir;
    std::wstring file;
};

const TypeEntry* TypeRule(const FolderNode& node, int index) {
    return static_cast<CConfigureTypeType*>(node.rule.get())->GetEntry(index);
}

}  // namespace

TEST_F(ProfileFixture, LoadsTheDefaultProfileWithItsTree) {
    MethodProfile profile(ModelMethod::Type);
    ASSERT_TRUE(profile.Load(file.c_str(), nullptr));
    EXPECT_STREQ(profile.profileId, L"Type2");
    EXPECT_STREQ(profile.displayName, L"Everyday");
    EXPECT_STREQ(profile.rootPath, L"D:\\Sorted\\");
    EXPECT_STREQ(profile.methodWord, L"Type");

    const FolderNode& root = profile.root;
    EXPECT_STREQ(root.effectivePath, L".\\");
    EXPECT_STREQ(root.displayPath, L".\\");
    ASSERT_EQ(root.rule->EntryCount(), 1) << "rules directly in the profile belong to the root";
    EXPECT_EQ(TypeRule(root, 0)->kind, kTypeOtherFiles);

    ASSERT_EQ(root.children.size(), 3u);
    const FolderNode& documents = *root.children[0];
    EXPECT_STREQ(documents.displayName, L"Documents");
    EXPECT_EQ(documents.parent, &root);
    EXPECT_STREQ(documents.effectivePath, L".\\Documents\\");
    ASSERT_EQ(documents.rule->EntryCount(), 2);
    EXPECT_STREQ(TypeRule(documents, 0)->extension, L".pdf");
    EXPECT_STREQ(TypeRule(documents, 1)->extension, L".txt");

    const FolderNode& letters = *documents.children[0];
    EXPECT_STREQ(letters.displayPath, L".\\Documents\\Letters\\");
    EXPECT_STREQ(letters.effectivePath, L".\\Documents\\Letters\\");
    EXPECT_STREQ(TypeRule(letters, 0)->extension, L".doc");

    const FolderNode& music = *root.children[1];
    EXPECT_STREQ(music.displayName, L"Music");
    EXPECT_STREQ(music.location, L"D:\\Media\\");
    EXPECT_STREQ(music.effectivePath, L"D:\\Media\\Music\\");
    EXPECT_STREQ(music.displayPath, L".\\Music\\");

    EXPECT_STREQ(root.children[2]->effectivePath, L"E:\\Archive\\Old\\");
}

TEST_F(ProfileFixture, LoadFailures) {
    struct Case {
        const char* what;
        int method;
        std::wstring file;
        const wchar_t* id;
        const wchar_t* idAfter;
    };
    const Case cases[] = {
        {"unknown identifier", 1, file, L"Type9", L"Type9"},
        {"method section missing", 2, file, nullptr, L""},
        {"missing file", 1, dir / L"none.xml", L"Type1", L""},
        {"identifier with a quote", 1, file, L"Type1\" or \"a\"=\"a", L"Type1\" or \"a\"=\"a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MethodProfile profile(ModelMethodOf(c.method));
        profile.SetDestinationRoot(L"X:\\kept");
        EXPECT_FALSE(profile.Load(c.file.c_str(), c.id));
        EXPECT_STREQ(profile.profileId, c.idAfter);
        EXPECT_STREQ(profile.displayName, L"");
        EXPECT_TRUE(profile.root.children.empty());
        EXPECT_EQ(profile.root.rule->EntryCount(), 0);
    }
}

TEST_F(ProfileFixture, NotWellFormedDocumentFailsWithoutHarm) {
    ASSERT_TRUE(WriteText(file, "<Ordvale><TypeProfiles default=\"Type1\"><TypeConfigure id=\"Type1\">"));
    MethodProfile profile(ModelMethod::Type);
    EXPECT_FALSE(profile.Load(file.c_str(), nullptr));
    EXPECT_TRUE(profile.root.children.empty());
}

TEST_F(ProfileFixture, EmptyDefaultSelectsAProfileWithAnEmptyId) {
    MethodProfile profile(ModelMethod::Size);
    ASSERT_TRUE(profile.Load(file.c_str(), nullptr));
    EXPECT_STREQ(profile.displayName, L"No id");
    EXPECT_EQ(profile.root.rule->EntryCount(), 1);
    EXPECT_STREQ(profile.rootPath, L"");
}

TEST_F(ProfileFixture, SecondLoadLeavesNothingOfTheFirst) {
    MethodProfile profile(ModelMethod::Type);
    profile.profileList.push_back(ProfileEntry{});
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type2"));
    profile.root.children[0]->modified = true;
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type1"));
    EXPECT_STREQ(profile.displayName, L"First");
    EXPECT_TRUE(profile.root.children.empty());
    ASSERT_EQ(profile.root.rule->EntryCount(), 1);
    EXPECT_STREQ(TypeRule(profile.root, 0)->extension, L".old");
    EXPECT_EQ(profile.profileList.size(), 1u) << "the profile list is not the loader's";
}

TEST_F(ProfileFixture, EveryMethodBuildsItsOwnRuleKind) {
    MethodProfile profile(ModelMethod::Name);
    ASSERT_TRUE(profile.Load(file.c_str(), nullptr));
    EXPECT_STREQ(profile.methodWord, L"Name");
    ASSERT_EQ(profile.root.children.size(), 1u);
    auto* rule = dynamic_cast<CConfigureTypeName*>(profile.root.children[0]->rule.get());
    ASSERT_NE(rule, nullptr);
    ASSERT_EQ(rule->EntryCount(), 1);
    EXPECT_EQ(rule->GetEntry(0)->first, L'A');
    EXPECT_EQ(rule->GetEntry(0)->last, L'M');
    for (int method = 1; method <= 4; ++method) {
        static const wchar_t* words[] = {L"Type", L"Time", L"Size", L"Name"};
        MethodProfile empty(ModelMethodOf(method));
        EXPECT_STREQ(empty.methodWord, words[method - 1]);
        EXPECT_STREQ(empty.root.methodWord, words[method - 1]);
    }
}

// A job's method number becomes a model method only for the four methods:
// an undo job, or a number no method has, loads no model.
TEST(MethodProfile, ModelMethodOfJobNumbers) {
    const struct {
        int32_t number;
        ModelMethod method;
    } cases[] = {{1, ModelMethod::Type},  {2, ModelMethod::Time},  {3, ModelMethod::Size},
                 {4, ModelMethod::Name},  {0, ModelMethod::None},  {5, ModelMethod::None},
                 {-1, ModelMethod::None}, {kUndoRunMethod, ModelMethod::None}};
    for (const auto& c : cases) EXPECT_EQ(ModelMethodOf(c.number), c.method) << c.number;
}

TEST(MethodProfile, DestinationRoot) {
    struct Case { const wchar_t* text; const wchar_t* expected; };
    const Case cases[] = {
        {L"D:\\Sorted", L"D:\\Sorted\\"},
        {L"D:\\Sorted\\", L"D:\\Sorted\\"},
        {L"D:\\Sorted\\\\", L"D:\\Sorted\\\\"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        MethodProfile profile(ModelMethod::Type);
        profile.SetDestinationRoot(L"Q:\\before");
        profile.SetDestinationRoot(c.text);
        EXPECT_STREQ(profile.rootPath, c.expected);
    }
    MethodProfile profile(ModelMethod::Type);
    profile.SetDestinationRoot(L"Q:\\before");
    profile.SetDestinationRoot(nullptr);
    EXPECT_STREQ(profile.rootPath, L"Q:\\before\\");

    std::wstring longPath = L"C:\\" + std::wstring(300, L'p');
    profile.SetDestinationRoot(longPath.c_str());
    EXPECT_EQ(std::wstring(profile.rootPath).size(), 259u) << "cut, never rejected";
}

TEST(FolderNode, NamesLocationsAndDerivedPaths) {
    FolderNode root(ModelMethod::Type);
    root.SetLocation(L"");
    auto child = std::make_unique<FolderNode>(ModelMethod::Type);
    child->parent = &root;
    child->SetDisplayName(L" \tDocuments  ");
    FolderNode* documents = child.get();
    root.children.push_back(std::move(child));
    auto grandChild = std::make_unique<FolderNode>(ModelMethod::Type);
    grandChild->parent = documents;
    grandChild->SetDisplayName(L"Letters");
    FolderNode* letters = grandChild.get();
    documents->children.push_back(std::move(grandChild));

    EXPECT_STREQ(documents->displayName, L"Documents");
    EXPECT_STREQ(letters->effectivePath, L".\\Documents\\Letters\\");

    // A location moves the folder and everything below it, not its place in the tree.
    documents->SetLocation(L"  E:\\Archive");
    EXPECT_STREQ(documents->location, L"E:\\Archive\\");
    EXPECT_STREQ(letters->effectivePath, L"E:\\Archive\\Documents\\Letters\\");
    EXPECT_STREQ(letters->displayPath, L".\\Documents\\Letters\\");

    documents->SetLocation(L"");
    EXPECT_STREQ(letters->effectivePath, L".\\Documents\\Letters\\");

    documents->SetLocation(nullptr);
    documents->SetDisplayName(nullptr);
    EXPECT_STREQ(documents->displayName, L"");
    EXPECT_STREQ(documents->effectivePath, L".\\Documents\\") << "absent texts change nothing else";

    std::wstring longName(300, L'n');
    documents->SetDisplayName(longName.c_str());
    EXPECT_EQ(std::wstring(documents->displayName).size(), 259u);
    EXPECT_EQ(std::wstring(letters->effectivePath).size(), 259u);
}

TEST(FolderNode, ClearModifiedReachesEveryNode) {
    MethodProfile profile(ModelMethod::Time);
    FolderNode* node = &profile.root;
    for (int depth = 0; depth < 5; ++depth) {
        auto child = std::make_unique<FolderNode>(ModelMethod::Time);
        child->parent = node;
        child->modified = true;
        node->children.push_back(std::move(child));
        node = node->children.back().get();
    }
    profile.root.modified = true;
    profile.ClearModified();
    for (const FolderNode* n = &profile.root; n; n = n->children.empty() ? nullptr : n->children[0].get())
        EXPECT_FALSE(n->modified);
}

TEST(FolderNode, VeryDeepTreeIsTornDownSafely) {
    auto root = std::make_unique<FolderNode>(ModelMethod::Type);
    FolderNode* node = root.get();
    for (int depth = 0; depth < 20000; ++depth) {
        node->children.push_back(std::make_unique<FolderNode>(ModelMethod::Type));
        node = node->children.back().get();
    }
    root.reset();
    SUCCEED();
}
