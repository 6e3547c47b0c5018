#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "common/PathText.h"
#include "common/Text.h"
#include "engine/Planner.h"
#include "engine/ShellItemShell.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// Builds profiles in memory: folders by name with type rules.
FolderNode* AddFolder(FolderNode* parent, const wchar_t* name, const wchar_t* location = L"") {
    auto node = std::make_unique<FolderNode>(parent->Method());
    node->parent = parent;
    node->SetDisplayName(name);
    node->SetLocation(location);
    parent->children.push_back(std::move(node));
    return parent->children.back().get();
}

void AddExtension(FolderNode* folder, const wchar_t* extension) {
    TypeEntry entry;
    entry.kind = kTypeExtension;
    StoreText(entry.extension, extension);
    folder->rule->Add(&entry);
}

void AddTypeSpecial(FolderNode* folder, int32_t kind) {
    TypeEntry entry;
    entry.kind = kind;
    folder->rule->Add(&entry);
}

ShellItem FileItem(const wchar_t* path) {
    ShellItem item;
    StoreText(item.path, path);
    std::wstring p(path);
    StoreText(item.name, p.substr(p.find_last_of(L'\\') + 1));
    item.attributes = kAttrFileSystem | kAttrStream | kAttrCanMove | kAttrCanRename;
    SetExtensionFromName(&item);
    return item;
}

}  // namespace

TEST(Planner, CombineDestination) {
    struct Case { const wchar_t* relative; const wchar_t* root; const wchar_t* base; const wchar_t* expected; };
    const Case cases[] = {
        {L"Pictures\\", L"", L"C:\\Users\\u\\Desktop", L"C:\\Users\\u\\Desktop\\Pictures"},
        {L"Pictures\\", L"D:\\Tidy\\", L"C:\\Users\\u\\Desktop", L"D:\\Tidy\\Pictures"},
        {L"Pictures\\Photos\\", L"D:\\Tidy\\", L"C:\\x", L"D:\\Tidy\\Pictures\\Photos"},
        {L"E:\\Archive\\Old", L"D:\\Tidy\\", L"C:\\x", L"E:\\Archive\\Old"},
        {L"Pictures\\", L"\\\\server\\share\\tidy\\", L"C:\\x", L"C:\\x\\Pictures"},
        {L"", L"", L"C:\\x", L"C:\\x"},
        {L"Pictures\\", L"", L"D:\\", L"D:\\Pictures"},
        {L"Pictures\\", L"", L"", L"Pictures"},
        // A drive root keeps its backslash: "D:" alone is not the root.
        {L"", L"D:\\", L"C:\\x", L"D:\\"},
        {L"", L"", L"D:\\", L"D:\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CombineDestination(c.relative, c.root, c.base), c.expected) << Narrow(c.relative) << " " << Narrow(c.root);
    EXPECT_FALSE(IsAbsolutePath(L"\\\\server\\share"));
    EXPECT_FALSE(IsAbsolutePath(L"C"));
    EXPECT_TRUE(IsAbsolutePath(L"C:"));
}

TEST(Planner, FolderPathsAndAbsoluteLocations) {
    MethodProfile profile(ModelMethod::Type);
    FolderNode* pictures = AddFolder(&profile.root, L"Pictures");
    FolderNode* photos = AddFolder(pictures, L"Photos");
    FolderNode* old = AddFolder(&profile.root, L"Old", L"E:\\Archive\\");
    FolderNode* docs = AddFolder(old, L"Docs");
    FolderNode* relative = AddFolder(&profile.root, L"Rel", L"Somewhere\\");
    FolderNode* under = AddFolder(docs, L"Deep", L"F:\\");

    EXPECT_EQ(FolderPath(profile.root), L"");
    EXPECT_EQ(FolderPath(*pictures), L"Pictures\\");
    EXPECT_EQ(FolderPath(*photos), L"Pictures\\Photos\\");
    EXPECT_EQ(FolderPath(*old), L"E:\\Archive\\Old");
    EXPECT_EQ(FolderPath(*docs), L"E:\\Archive\\Old\\Docs\\");
    EXPECT_EQ(FolderPath(*relative), L"Rel\\") << "relative locations play no part";
    EXPECT_EQ(FolderPath(*under), L"F:\\Deep");

    std::vector<std::wstring> folders = CollectFolders(profile, L"C:\\Base");
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"C:\\Base\\Pictures", L"C:\\Base\\Pictures\\Photos",
                                                  L"C:\\Base\\Rel", L"E:\\Archive\\Old",
                                                  L"E:\\Archive\\Old\\Docs", L"F:\\Deep"}));
}

TEST(Planner, FirstFolderInPreOrderWinsAndExtensionsBeatSpecials) {
    MethodProfile profile(ModelMethod::Type);
    FolderNode* documents = AddFolder(&profile.root, L"Documents");
    AddExtension(documents, L".txt");
    FolderNode* notes = AddFolder(documents, L"Notes");
    AddExtension(notes, L".txt");
    AddExtension(notes, L".md");
    FolderNode* other = AddFolder(&profile.root, L"Other");
    AddTypeSpecial(other, kTypeOtherFiles);
    FolderNode* markdown = AddFolder(&profile.root, L"Markdown");
    AddExtension(markdown, L".md");

    struct Case { const wchar_t* file; const wchar_t* expected; };
    const Case cases[] = {
        {L"C:\\t\\a.txt", L"C:\\t\\Documents"},
        {L"C:\\t\\b.md", L"C:\\t\\Documents\\Notes"},
        {L"C:\\t\\c.bin", L"C:\\t\\Other"},
    };
    for (const Case& c : cases) {
        std::wstring destination;
        ASSERT_TRUE(FindDestination(profile, FileItem(c.file), L"C:\\t", &destination)) << Narrow(c.file);
        EXPECT_EQ(destination, c.expected);
    }
    ShellItem computer;
    StoreText(computer.name, L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
    computer.isVirtual = true;
    computer.attributes = kAttrFolder;
    std::wstring destination;
    EXPECT_FALSE(FindDestination(profile, computer, L"C:\\t", &destination));
}

TEST(Planner, NameRegularExpressionsRunBeforeRanges) {
    MethodProfile profile(ModelMethod::Name);
    FolderNode* letters = AddFolder(&profile.root, L"Letters");
    NameEntry range;
    range.kind = kNameRange;
    range.first = L'A';
    range.last = L'Z';
    letters->rule->Add(&range);
    FolderNode* reports = AddFolder(&profile.root, L"Reports");
    NameEntry expression;
    expression.kind = kNameRegExp;
    StoreText(expression.pattern, L"^Report");
    reports->rule->Add(&expression);

    std::wstring destination;
    ASSERT_TRUE(FindDestination(profile, FileItem(L"C:\\t\\Report 1.doc"), L"C:\\t", &destination));
    EXPECT_EQ(destination, L"C:\\t\\Reports");
    ASSERT_TRUE(FindDestination(profile, FileItem(L"C:\\t\\Apple.doc"), L"C:\\t", &destination));
    EXPECT_EQ(destination, L"C:\\t\\Letters");
}

namespace {

// A target folder on disk with a profile written to profile.xml.
class PlanFixture : public ::testing::Test {
protected:
    void SetUp() override {
        target = dir / L"Target";
        ASSERT_TRUE(MakeFolder(target));
        StoreText(context.settings.profileFile, dir / L"profile.xml");
        job.target = static_cast<int32_t>(TidyTarget::Folder);
        StoreText(job.folder, target);
    }
    void WriteProfile(const std::string& folders) {
        ASSERT_TRUE(WriteText(dir / L"profile.xml",
                              "<Ordvale><TypeProfiles default=\"T\"><TypeConfigure id=\"T\">" + folders +
                                  "</TypeConfigure></TypeProfiles></Ordvale>"));
    }
    void Plan() {
        InitializeFromJob(&context, &job);
        PlanOperations(&context);
    }
    std::vector<std::wstring> Listing() const {
        std::vector<std::wstring> out;
        for (const auto& op : context.operations) {
            std::wstring line = Is(*op, OperationKind::CreateDirectory) ? L"mkdir " : L"move ";
            line += op->source.path;
            if (op->destination.path[0]) line += std::wstring(L" -> ") + op->destination.path.str();
            out.push_back(line);
            EXPECT_TRUE(Is(*op, OperationStatus::Unknown));
        }
        return out;
    }

    TempDir dir;
    std::wstring target;
    EngineContext context;
    TidyJob job;
};

}  // namespace

TEST_F(PlanFixture, CreatesMissingFolderOncePerItemThenMoves) {
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
    ASSERT_TRUE(WriteText(target + L"\\b.jpg", "b"));
    ASSERT_TRUE(WriteText(target + L"\\c.txt", "c"));
    Plan();
    std::vector<std::wstring> listing = Listing();
    std::sort(listing.begin(), listing.end());  // the shell's listing order is its own
    const std::wstring pictures = target + L"\\Pictures";
    EXPECT_EQ(listing, (std::vector<std::wstring>{L"mkdir " + pictures, L"mkdir " + pictures,
                                                  L"move " + target + L"\\a.jpg -> " + pictures,
                                                  L"move " + target + L"\\b.jpg -> " + pictures}));
    // Each Create Directory stands right before its Move.
    ASSERT_EQ(context.operations.size(), 4u);
    EXPECT_TRUE(Is(*context.operations[0], OperationKind::CreateDirectory));
    EXPECT_TRUE(Is(*context.operations[1], OperationKind::Move));
}

// A folder of many items plans two operations for each: they act on the
// listed items themselves and on one record of their folder, so that the
// plan of a large folder holds no copy of a path per operation.
TEST_F(PlanFixture, OperationsReferToTheListedItemsAndOneFolderRecord) {
    WriteProfile("<Folder displayname=\"Text\"><Ext t=\".txt\"/></Folder>");
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"})
        ASSERT_TRUE(WriteText(target + L"\\" + name, "x"));
    Plan();
    ASSERT_EQ(context.target.children.size(), 3u);
    ASSERT_EQ(context.operations.size(), 6u);
    const ShellItem* folder = &context.operations[1]->destination;
    for (std::size_t i = 0; i < 3; ++i) {
        const Operation& create = *context.operations[2 * i];
        const Operation& move = *context.operations[2 * i + 1];
        EXPECT_TRUE(Is(create, OperationKind::CreateDirectory));
        EXPECT_EQ(&create.source, folder);
        EXPECT_TRUE(create.destination.path.empty());
        EXPECT_TRUE(Is(move, OperationKind::Move));
        EXPECT_EQ(&move.source, context.target.children[i].get());
        EXPECT_EQ(&move.destination, folder);
    }
    EXPECT_EQ(folder->path.str(), target + L"\\Text");
    // What the executor learns of the folder it learns for every operation.
    Refresh(&context.operations[1]->destination);
    EXPECT_EQ(context.operations[0]->source.attributes, context.operations[5]->destination.attributes);
}

TEST_F(PlanFixture, ExistingFolderNeedsOnlyTheMoveAndStaysPut) {
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder><Ext ti=\"1\"/>"
                 "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>");
    ASSERT_TRUE(MakeFolder(target + L"\\Pictures"));
    ASSERT_TRUE(MakeFolder(target + L"\\Stuff"));
    ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
    Plan();
    // Pictures is a destination of the profile; Stuff is taken by the root's
    // folder rule, so it is already where it belongs.
    EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"move " + target + L"\\a.jpg -> " + target + L"\\Pictures"}));
}

// Whether a folder of the profile inside the target must be made is read
// from what stands there, hidden items and other letter cases included;
// the listing of the target answers for a name it does not hold.
TEST_F(PlanFixture, WhatStandsAtADestinationInsideTheTargetDecidesItsCreation) {
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/>"
                 "<Folder displayname=\"Holiday\"><Ext t=\".png\"/></Folder></Folder>");
    struct Case {
        const char* what;
        const wchar_t* name;  // what stands in the target under Pictures' name, if anything
        bool folder;
        bool hidden;
        bool makesPictures;
    };
    const Case cases[] = {
        {"nothing", nullptr, false, false, true},
        {"the folder", L"Pictures", true, false, false},
        {"the folder in other letters", L"pICTURES", true, false, false},
        {"the folder, hidden", L"Pictures", true, true, false},
        {"a file of that name", L"Pictures", false, false, true},
        {"a hidden file of that name", L"Pictures", false, true, true},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target = dir / (L"Target " + std::to_wstring(++round));
        ASSERT_TRUE(MakeFolder(target));
        StoreText(job.folder, target);
        ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
        ASSERT_TRUE(WriteText(target + L"\\b.png", "b"));
        if (c.name) {
            const std::wstring standing = target + L"\\" + c.name;
            ASSERT_TRUE(c.folder ? MakeFolder(standing) : WriteText(standing, "x"));
            if (c.hidden) ASSERT_TRUE(SetFileAttributesW(standing.c_str(), FILE_ATTRIBUTE_HIDDEN));
        }
        context.operations.clear();
        Plan();
        const std::wstring pictures = target + L"\\Pictures", holiday = pictures + L"\\Holiday";
        std::vector<std::wstring> expected;
        for (const auto& [item, folder] : {std::pair{L"a.jpg", pictures}, std::pair{L"b.png", holiday}}) {
            // Holiday is missing whenever Pictures is, and when Pictures is a folder without it.
            if (folder == pictures ? c.makesPictures : true) expected.push_back(L"mkdir " + folder);
            expected.push_back(L"move " + target + L"\\" + item + L" -> " + folder);
        }
        std::vector<std::wstring> listing = Listing();
        std::sort(listing.begin(), listing.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listing, expected);
    }
}

TEST_F(PlanFixture, JobDestinationReplacesTheProfileRoot) {
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
    const std::wstring tidy = dir / L"Tidy";
    ASSERT_TRUE(MakeFolder(tidy));
    // Blanks around the text the user typed are not part of the path.
    for (std::wstring destination : {tidy, tidy + L"\\", L" " + tidy, L"\t " + tidy + L"\\ \t"}) {
        SCOPED_TRACE(Narrow(destination));
        context.operations.clear();
        StoreText(job.destination, destination);
        Plan();
        EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"mkdir " + tidy + L"\\Pictures",
                                                        L"move " + target + L"\\a.jpg -> " + tidy + L"\\Pictures"}));
    }
}

// The job's destination inside the tidied folder, and a folder of the
// profile placed inside it by an absolute location, are never planned as
// items, not even by a rule for folders; nor is any folder that holds one.
TEST_F(PlanFixture, DestinationsInsideTheTargetStayPut) {
    const std::wstring archive = target + L"\\Archive";
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
                 "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>"
                 "<Folder displayname=\"Old\" location=\"" + Narrow(archive) + "\"><Ext t=\".log\"/></Folder>");
    for (const std::wstring& folder : {target + L"\\Tidy", target + L"\\Tidy\\Pictures", archive,
                                       archive + L"\\Old", target + L"\\Project"})
        ASSERT_TRUE(MakeFolder(folder));
    for (const std::wstring& destination : {target + L"\\Tidy", target + L"\\Tidy\\Inner"}) {
        SCOPED_TRACE(Narrow(destination));
        context.operations.clear();
        StoreText(job.destination, destination);
        Plan();
        const std::wstring folders = destination + L"\\Folders";
        EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"mkdir " + folders,
                                                        L"move " + target + L"\\Project -> " + folders}));
    }
}

// The same when the destination is given by another name of the target or
// of a folder inside it: a link, a short name, a mapped drive. The folders
// it leads to stay, and nothing is planned into itself.
TEST_F(PlanFixture, DestinationsReachedByOtherNamesStayPut) {
    target = dir / L"Tidied Target";
    ASSERT_TRUE(MakeFolder(target));
    StoreText(job.folder, target);
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
                 "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>");
    const std::wstring inner = target + L"\\Tidied Items";
    for (const std::wstring& folder : {inner, inner + L"\\Pictures", target + L"\\Pictures", target + L"\\Project"})
        ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
    struct Case {
        const char* what;
        std::wstring leadsTo;
        std::vector<std::wstring> moved;  // names of the target's items planned to move, sorted
    };
    const Case cases[] = {
        // Pictures is the destination's own Pictures folder.
        {"the target itself", target, {L"Project", L"Tidied Items", L"a.jpg"}},
        {"a folder inside the target", inner, {L"Pictures", L"Project", L"a.jpg"}},
    };
    int link = 0;
    for (const Case& c : cases) {
        for (const OtherName& name : OtherNamesOf(c.leadsTo, dir / (L"Link" + std::to_wstring(++link)))) {
            SCOPED_TRACE(std::string(c.what) + " by " + name.way);
            if (name.path.empty()) {
                std::printf("[ SKIPPED  ] %s by %s: %s\n", c.what, name.way.c_str(), name.why.c_str());
                continue;
            }
            context.operations.clear();
            StoreText(job.destination, name.path);
            Plan();
            std::vector<std::wstring> moved;
            for (const auto& op : context.operations)
                if (Is(*op, OperationKind::Move)) moved.push_back(path::LastComponent(op->source.path.str()));
            std::sort(moved.begin(), moved.end());
            EXPECT_EQ(moved, c.moved) << Narrow(name.path);
        }
    }
}

TEST_F(PlanFixture, UnloadableProfilePlansNothing) {
    ASSERT_TRUE(WriteText(target + L"\\a.jpg", "a"));
    StoreText(job.profileId, L"Missing");
    WriteProfile("<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    Plan();
    EXPECT_TRUE(context.operations.empty());
    job.method = 9;
    Plan();
    EXPECT_TRUE(context.operations.empty());
}

TEST_F(PlanFixture, SelectionPlacesUnderTheLastEntrysFolder) {
    WriteProfile("<Folder displayname=\"Text\"><Ext t=\".txt\"/></Folder>");
    ASSERT_TRUE(MakeFolder(target + L"\\sub"));
    ASSERT_TRUE(WriteText(target + L"\\one.txt", "1"));
    ASSERT_TRUE(WriteText(target + L"\\sub\\two.txt", "2"));
    job.target = static_cast<int32_t>(TidyTarget::Selection);
    AddItem(&job, (target + L"\\one.txt").c_str());
    AddItem(&job, (target + L"\\sub\\two.txt").c_str());
    Plan();
    const std::wstring text = target + L"\\sub\\Text";
    EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"mkdir " + text, L"move " + target + L"\\one.txt -> " + text,
                                                    L"mkdir " + text, L"move " + target + L"\\sub\\two.txt -> " + text}));
}

TEST_F(PlanFixture, AnItemWhosePathWasCutIsMarked) {
    WriteProfile("<Folder displayname=\"Text\"><Ext t=\".txt\"/></Folder>");
    const std::wstring longName = std::wstring(240, L'n') + L".txt";
    ASSERT_GT(target.size() + 1 + longName.size(), 259u);
    HANDLE h = CreateFileW((L"\\\\?\\" + target + L"\\" + longName).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ASSERT_TRUE(WriteText(target + L"\\short.txt", "s"));
    Plan();
    int cut = 0;
    for (const auto& op : context.operations) {
        if (!Is(*op, OperationKind::Move)) continue;
        if (op->source.pathCut) {
            ++cut;
            EXPECT_STREQ(op->source.name, CutToField(longName).c_str());
        } else {
            EXPECT_EQ(std::wstring(op->source.path), target + L"\\short.txt");
        }
    }
    EXPECT_EQ(cut, 1);
    DeleteFileW((L"\\\\?\\" + target + L"\\" + longName).c_str());
}
