// The settings editor's watched folders apart from the window: the state
// each folder shows, and the checks of a folder being added.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "configure/WatchedFolderList.h"
#include "configure/resource.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

ProfileEntry Profile(const wchar_t* id) {
    ProfileEntry entry;
    StoreText(entry.id, id);
    StoreText(entry.displayName, id);
    return entry;
}

WatchedFolder Folder(const std::wstring& path, int method, const wchar_t* profile, bool paused = false) {
    WatchedFolder w;
    w.folder = path;
    w.method = method;
    w.profileId = profile;
    w.paused = paused;
    return w;
}

}  // namespace

TEST(WatchedFolderState, WhatEachFolderShows) {
    const std::vector<ProfileEntry> types = {Profile(L"Type1"), Profile(L"Type2")};
    struct Case {
        const char* what;
        WatchedFolder folder;
        WatchedFolderFacts facts;
        WatchedFolderState state;
        WatchedFolderProblem problem;
    } cases[] = {
        {"watching", Folder(L"C:\\d", 1, L"Type2"), {true, true, types}, WatchedFolderState::Watching,
         WatchedFolderProblem::None},
        {"profile id in another case", Folder(L"C:\\d", 1, L"type1"), {true, true, types},
         WatchedFolderState::Watching, WatchedFolderProblem::None},
        {"paused", Folder(L"C:\\d", 1, L"Type1", true), {true, true, types}, WatchedFolderState::Paused,
         WatchedFolderProblem::None},
        {"folder gone", Folder(L"C:\\d", 1, L"Type1"), {false, true, types}, WatchedFolderState::FolderMissing,
         WatchedFolderProblem::FolderMissing},
        {"folder gone while paused: the reason shows", Folder(L"C:\\d", 1, L"Type1", true), {false, true, types},
         WatchedFolderState::FolderMissing, WatchedFolderProblem::FolderMissing},
        {"no such profile", Folder(L"C:\\d", 1, L"Type9"), {true, true, types}, WatchedFolderState::ProfileMissing,
         WatchedFolderProblem::ProfileNotFound},
        {"no profiles of the method", Folder(L"C:\\d", 2, L"Time1"), {true, true, {}},
         WatchedFolderState::ProfileMissing, WatchedFolderProblem::ProfileNotFound},
        {"no profile document", Folder(L"C:\\d", 1, L"Type1"), {true, false, {}}, WatchedFolderState::ProfileMissing,
         WatchedFolderProblem::DocumentMissing},
        {"a method no job has", Folder(L"C:\\d", 7, L"Type1"), {true, true, types},
         WatchedFolderState::ProfileMissing, WatchedFolderProblem::MethodUnknown},
        {"paused with no such profile", Folder(L"C:\\d", 1, L"Gone", true), {true, true, types},
         WatchedFolderState::ProfileMissing, WatchedFolderProblem::ProfileNotFound},
    };
    for (const Case& c : cases) {
        const WatchedFolderStatus status = DecideWatchedFolderState(c.folder, c.facts);
        EXPECT_EQ(status.state, c.state) << c.what;
        EXPECT_EQ(status.problem, c.problem) << c.what;
    }
}

TEST(WatchedFolderState, ReadsTheFolderAndTheProfileDocument) {
    TempDir dir;
    const std::wstring document = dir / L"profile.xml";
    ASSERT_TRUE(WriteText(document,
                          "<Ordvale><TypeProfiles default=\"Type1\">"
                          "<TypeConfigure id=\"Type1\" displayname=\"Mine\" rootpath=\"\"/>"
                          "</TypeProfiles></Ordvale>"));
    auto state = [&](const WatchedFolder& w, const std::wstring& profileFile) {
        return DecideWatchedFolderState(w, ReadWatchedFolderFacts(w, profileFile)).problem;
    };
    EXPECT_EQ(state(Folder(dir.Path(), 1, L"Type1"), document), WatchedFolderProblem::None);
    EXPECT_EQ(state(Folder(dir / L"gone", 1, L"Type1"), document), WatchedFolderProblem::FolderMissing);
    EXPECT_EQ(state(Folder(dir.Path(), 1, L"Type2"), document), WatchedFolderProblem::ProfileNotFound);
    EXPECT_EQ(state(Folder(dir.Path(), 3, L"Size1"), document), WatchedFolderProblem::ProfileNotFound);
    EXPECT_EQ(state(Folder(dir.Path(), 1, L"Type1"), dir / L"none.xml"), WatchedFolderProblem::DocumentMissing);
    ASSERT_TRUE(WriteText(dir / L"broken.xml", "<Ordvale><TypeProfiles"));
    EXPECT_EQ(state(Folder(dir.Path(), 1, L"Type1"), dir / L"broken.xml"), WatchedFolderProblem::ProfileNotFound)
        << "a document that cannot be read has no profile";
}

TEST(WatchedFolderChecks, WhatAFolderBeingAddedNeeds) {
    TempDir dir;
    ASSERT_TRUE(MakeFolder(dir / L"Sorted"));
    ASSERT_TRUE(WriteText(dir / L"file.txt", "x"));
    const std::vector<WatchedFolder> existing = {Folder(dir / L"Sorted", 1, L"Type1")};
    auto with = [&](const std::wstring& folder, const wchar_t* profile, const std::wstring& destination) {
        WatchedFolder w = Folder(folder, 1, profile);
        w.destination = destination;
        return ValidateWatchedFolder(w, existing);
    };
    struct Case {
        const char* what;
        UINT expected;
        UINT got;
    } cases[] = {
        {"fine", 0u, with(dir.Path(), L"Type1", L"")},
        {"fine, spaces around", 0u, with(L"  " + dir.Path() + L"\t", L"Type1", L" ")},
        {"fine with a destination", 0u, with(dir.Path(), L"Type1", dir / L"Sorted")},
        {"no folder", IDS_WATCHED_FOLDER_EMPTY, with(L"  ", L"Type1", L"")},
        {"relative", IDS_WATCHED_FOLDER_NOT_FULL, with(L"Downloads", L"Type1", L"")},
        {"missing", IDS_WATCHED_FOLDER_MISSING, with(dir / L"gone", L"Type1", L"")},
        {"a file", IDS_WATCHED_FOLDER_MISSING, with(dir / L"file.txt", L"Type1", L"")},
        {"watched already", IDS_WATCHED_FOLDER_TWICE, with(dir / L"SORTED\\", L"Type1", L"")},
        {"no profile", IDS_WATCHED_NO_PROFILE, with(dir.Path(), L"", L"")},
        {"destination missing", IDS_WATCHED_DESTINATION_MISSING, with(dir.Path(), L"Type1", dir / L"gone")},
        {"destination relative", IDS_WATCHED_DESTINATION_MISSING, with(dir.Path(), L"Type1", L"Sorted")},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(WatchedFolderChecks, MethodListOrder) {
    for (int position = 0; position < 4; ++position)
        EXPECT_EQ(PositionOfMethod(MethodAtPosition(position)), position);
    EXPECT_EQ(MethodAtPosition(1), 2) << "Type, Time, Size, Name";
    EXPECT_EQ(PositionOfMethod(9), -1);
    EXPECT_EQ(MethodAtPosition(-1), 1);
}
