// Whole runs: settings.ini, profile.xml and a job file are written, qz.exe is
// started, and the files on disk are checked afterwards. The runner's windows
// are answered like a person would.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/Handle.h"
#include "EndToEndFixture.h"
#include "TestSupport.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace testing_support;

TEST_F(EndToEnd, ByTypeSortsAFolder) {
    WriteProfile("Type", kTypeProfile);
    File(target + L"\\a.jpg");
    File(target + L"\\notes.txt");
    File(target + L"\\table.csv");
    File(target + L"\\tool.bin");
    ASSERT_TRUE(MakeFolder(target + L"\\Project"));
    File(target + L"\\Project\\inside.jpg");
    EXPECT_EQ(RunJob(), 0u);
    for (const wchar_t* moved : {L"\\Pictures\\a.jpg", L"\\Documents\\notes.txt", L"\\Documents\\Sheets\\table.csv",
                                 L"\\Others\\tool.bin", L"\\Folders\\Project\\inside.jpg"})
        EXPECT_TRUE(FileExists(target + moved)) << Narrow(moved);
    for (const wchar_t* gone : {L"\\a.jpg", L"\\notes.txt", L"\\table.csv", L"\\tool.bin"})
        EXPECT_FALSE(FileExists(target + gone)) << Narrow(gone);
    EXPECT_FALSE(FolderExists(target + L"\\Shortcuts")) << "no folder is made for nothing";
}

TEST_F(EndToEnd, EveryMethod) {
    struct Case {
        const char* method;
        std::string body;
        std::vector<std::pair<std::wstring, std::wstring>> files;  // name, folder it ends in
    };
    const Case cases[] = {
        {"Size", "<Folder displayname=\"Small\"><Size lower=\"0\" upper=\"10\"/></Folder>"
                 "<Folder displayname=\"Large\"><Size lower=\"10\"/></Folder>",
         {{L"tiny.dat", L"Small"}, {L"big.dat", L"Large"}}},
        {"Name", "<Folder displayname=\"Reports\"><Name ni=\"1\" regexp=\"^report\"/></Folder>"
                 "<Folder displayname=\"A-M\"><Name from=\"a\" to=\"m\"/></Folder>",
         {{L"report 1.txt", L"Reports"}, {L"apple.txt", L"A-M"}, {L"zebra.txt", L""}}},
        {"Time", "<Folder displayname=\"Old\"><Time begin=\"1601-01-01 00:00:00\" end=\"2000-12-31 00:00:00\"/></Folder>"
                 "<Folder displayname=\"Recent\"><Time begin=\"2001-01-01 00:00:00\"/></Folder>",
         {{L"new.txt", L"Recent"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        int method = std::string(c.method) == "Size" ? 3 : std::string(c.method) == "Name" ? 4 : 2;
        job.method = method;
        RemoveTree(target);
        ASSERT_TRUE(MakeFolder(target));
        WriteProfile(c.method, c.body);
        for (const auto& f : c.files) File(target + L"\\" + f.first, f.first == L"big.dat" ? std::string(100, 'b') : "x");
        EXPECT_EQ(RunJob(), 0u);
        for (const auto& f : c.files) {
            std::wstring where = f.second.empty() ? target : target + L"\\" + f.second;
            EXPECT_TRUE(FileExists(where + L"\\" + f.first)) << Narrow(f.first);
        }
    }
}

TEST_F(EndToEnd, DestinationsAbsoluteLocationsAndSelections) {
    const std::wstring tidy = dir / L"Tidy";
    const std::wstring archive = dir / L"Archive";
    ASSERT_TRUE(MakeFolder(tidy));
    WriteProfile("Type", "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
                         "<Folder displayname=\"Old\" location=\"" + Narrow(archive) + "\"><Ext t=\".log\"/>"
                         "<Folder displayname=\"Docs\"><Ext t=\".doc\"/></Folder></Folder>");
    ASSERT_TRUE(MakeFolder(target + L"\\sub"));
    File(target + L"\\a.jpg");
    File(target + L"\\sub\\b.log");
    File(target + L"\\sub\\c.doc");
    File(target + L"\\left.jpg");

    job.target = static_cast<int32_t>(TidyTarget::Selection);
    AddItem(&job, (target + L"\\a.jpg").c_str());
    AddItem(&job, (target + L"\\sub\\b.log").c_str());
    AddItem(&job, (target + L"\\sub\\c.doc").c_str());
    StoreText(job.destination, tidy + L"\\");
    EXPECT_EQ(RunJob(), 0u);
    EXPECT_TRUE(FileExists(tidy + L"\\Pictures\\a.jpg"));
    EXPECT_TRUE(FileExists(archive + L"\\Old\\b.log"));
    EXPECT_TRUE(FileExists(archive + L"\\Old\\Docs\\c.doc"));
    EXPECT_TRUE(FileExists(target + L"\\left.jpg")) << "not selected";
}

TEST_F(EndToEnd, DesktopIsTidiedInThePrefix) {
    wchar_t desktopBuf[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktopBuf)));
    const std::wstring desktop = desktopBuf;
    WriteProfile("Type", kTypeProfile);
    File(desktop + L"\\holiday.jpg");
    File(desktop + L"\\todo.txt");
    File(desktop + L"\\.hidden.jpg");
    SetFileAttributesW((desktop + L"\\.hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    job.target = static_cast<int32_t>(TidyTarget::Desktop);
    EXPECT_EQ(RunJob(), 0u);
    EXPECT_TRUE(FileExists(desktop + L"\\Pictures\\holiday.jpg"));
    EXPECT_TRUE(FileExists(desktop + L"\\Documents\\todo.txt"));
    EXPECT_TRUE(FileExists(desktop + L"\\.hidden.jpg")) << "hidden items are never tidied";
    for (const wchar_t* name : {L"\\Pictures", L"\\Documents", L"\\.hidden.jpg"}) RemoveTree(desktop + name);
}

// The desktop is listed through the shell, which reads no time of a file
// another program holds open: a log written with delete sharing, which a
// move would not be refused, stays where its writer has it.
TEST_F(EndToEnd, DesktopFileHeldOpenForWritingIsLeft) {
    wchar_t desktopBuf[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktopBuf)));
    const std::wstring desktop = desktopBuf;
    WriteProfile("Type", kTypeProfile);
    File(desktop + L"\\server.txt", "first lines");
    File(desktop + L"\\notes.txt");
    win::UniqueHandle writer(CreateFileW((desktop + L"\\server.txt").c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    job.target = static_cast<int32_t>(TidyTarget::Desktop);
    EXPECT_EQ(RunJob(), 0u);
    EXPECT_TRUE(FileExists(desktop + L"\\server.txt")) << "left while it is written";
    EXPECT_FALSE(FileExists(desktop + L"\\Documents\\server.txt"));
    EXPECT_TRUE(FileExists(desktop + L"\\Documents\\notes.txt")) << "the rest is tidied";
    writer.Reset();
    for (const wchar_t* name : {L"\\Documents", L"\\server.txt"}) RemoveTree(desktop + name);
}

TEST_F(EndToEnd, ConflictPolicies) {
    WriteProfile("Type", "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
                         "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>");
    struct Case {
        const char* what;
        int file, folder;
        std::vector<std::pair<std::wstring, std::string>> expected;  // path under target, content
    };
    const Case cases[] = {
        {"rename", 0, 0, {{L"Pictures\\a.jpg", "old"}, {L"Pictures\\a (2).jpg", "new"},
                          {L"Folders\\F\\in.txt", "old"}, {L"Folders\\F (2)\\in.txt", "new"}}},
        {"overwrite and merge", 1, 1, {{L"Pictures\\a.jpg", "new"}, {L"Folders\\F\\in.txt", "new"},
                                        {L"Folders\\F\\only-there.txt", "old"}, {L"Folders\\F\\only-here.txt", "new"}}},
        // The defaults: folders merge, and a file inside that meets a file
        // keeps both.
        {"default policies merge and keep both", 0, 3,
         {{L"Pictures\\a.jpg", "old"}, {L"Pictures\\a (2).jpg", "new"}, {L"Folders\\F\\in.txt", "old"},
          {L"Folders\\F\\in (2).txt", "new"}, {L"Folders\\F\\only-there.txt", "old"},
          {L"Folders\\F\\only-here.txt", "new"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(target);
        ASSERT_TRUE(MakeFolder(target));
        ASSERT_TRUE(MakeFolder(target + L"\\Pictures"));
        ASSERT_TRUE(MakeFolder(target + L"\\Folders"));
        ASSERT_TRUE(MakeFolder(target + L"\\Folders\\F"));
        ASSERT_TRUE(MakeFolder(target + L"\\F"));
        File(target + L"\\Pictures\\a.jpg", "old");
        File(target + L"\\a.jpg", "new");
        File(target + L"\\Folders\\F\\in.txt", "old");
        File(target + L"\\Folders\\F\\only-there.txt", "old");
        File(target + L"\\F\\in.txt", "new");
        File(target + L"\\F\\only-here.txt", "new");
        SetSettings(c.file, c.folder);
        EXPECT_EQ(RunJob(), 0u);
        for (const auto& e : c.expected)
            EXPECT_EQ(ReadUtf8(target + L"\\" + e.first), e.second) << Narrow(e.first);
        EXPECT_FALSE(FileExists(target + L"\\a.jpg"));
        EXPECT_FALSE(FolderExists(target + L"\\F"));
    }
}

TEST_F(EndToEnd, AskShowsTheEnginesQuestion) {
    WriteProfile("Type", "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    ASSERT_TRUE(MakeFolder(target + L"\\Pictures"));
    File(target + L"\\Pictures\\a.jpg", "old");
    File(target + L"\\Pictures\\b.jpg", "old");
    File(target + L"\\a.jpg", "new");
    File(target + L"\\b.jpg", "new");
    SetSettings(2, 2);
    std::wstring question;
    EXPECT_EQ(RunJob([&](DWORD pid) {
        HWND conflict = WaitForWindow(pid, L"Name Conflict");
        ASSERT_NE(conflict, nullptr);
        question = Text(conflict, 1102);
        Click(GetDlgItem(conflict, 1105));         // for all conflicts
        ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(conflict, 1105) == BST_CHECKED; }));
        Click(conflict, 1107);                           // Keep both
    }), 0u);
    EXPECT_NE(question.find(L".jpg"), std::wstring::npos) << Narrow(question);
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\a.jpg"), "old");
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\a (2).jpg"), "new");
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\b (2).jpg"), "new") << "asked once for both";
}

TEST_F(EndToEnd, InUseFileIsOfferedForRetry) {
    WriteProfile("Type", "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    File(target + L"\\busy.jpg");
    File(target + L"\\free.jpg");
    HANDLE held = CreateFileW((target + L"\\busy.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunJob([&](DWORD pid) {
        HWND uncompleted = WaitForWindow(pid, L"Uncompleted Operations");
        ASSERT_NE(uncompleted, nullptr);
        EXPECT_TRUE(FileExists(target + L"\\busy.jpg")) << "untouched while in use";
        EXPECT_TRUE(FileExists(target + L"\\Pictures\\free.jpg"));
        HWND list = GetDlgItem(uncompleted, 1016);
        EXPECT_EQ(SendMessageW(list, 0x1004 /* LVM_GETITEMCOUNT */, 0, 0), 1);
        CloseHandle(held);
        Click(uncompleted, IDRETRY);
    }), 0u);
    EXPECT_TRUE(FileExists(target + L"\\Pictures\\busy.jpg"));
    EXPECT_FALSE(FileExists(target + L"\\busy.jpg"));
}

TEST_F(EndToEnd, CancelLeavesTheRestUndone) {
    WriteProfile("Type", "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>");
    ASSERT_TRUE(MakeFolder(target + L"\\Pictures"));
    File(target + L"\\Pictures\\a.jpg", "old");
    File(target + L"\\a.jpg", "new");
    SetSettings(2, 2);
    std::wstring continueQuestion;
    EXPECT_EQ(RunJob([&](DWORD pid) {
        HWND conflict = WaitForWindow(pid, L"Name Conflict");
        ASSERT_NE(conflict, nullptr);
        Click(conflict, IDCANCEL);
        HWND box = WaitForMessageBox(pid);
        ASSERT_NE(box, nullptr);
        continueQuestion = MessageBoxText(box);
        Click(box, IDNO);
    }), 0u);
    EXPECT_NE(continueQuestion.find(L"continue"), std::wstring::npos) << Narrow(continueQuestion);
    EXPECT_EQ(ReadUtf8(target + L"\\a.jpg"), "new");
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\a.jpg"), "old");
}

TEST_F(EndToEnd, RunnerRefusesBadInvocations) {
    struct Case { std::wstring arguments; const wchar_t* mentions; };
    std::wstring truncated = NewJobName();
    ASSERT_TRUE(WriteBytes(JobFileIn(appData, truncated), {0, 0, 0}));
    const Case cases[] = {
        {L"", L"Usage"},
        {L"/x " + NewJobName(), L"Usage"},
        {L"/s ..\\settings.ini", L"not a job name"},
        {L"/s " + NewJobName(), L"cannot be read"},
        {L"/s " + truncated, L"ends too early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        Program runner(Runner() + L" " + c.arguments);
        HWND box = WaitForMessageBox(runner.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_NE(MessageBoxText(box).find(c.mentions), std::wstring::npos) << Narrow(MessageBoxText(box));
        Click(box, IDOK);
        EXPECT_NE(runner.Wait(), 0u);
    }
}

// When the engine reports that no run took place (it has told the user
// why), the runner keeps the job file, so the job is not lost, and ends
// with the engine's result.
TEST_F(EndToEnd, RunnerKeepsTheJobWhenNoRunTookPlace) {
    const std::wstring programs = dir / L"programs";
    ASSERT_TRUE(MakeFolder(programs));
    ASSERT_TRUE(CopyFileW(Runner().c_str(), (programs + L"\\qz.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\stub_engine.dll").c_str(),
                          (programs + L"\\zelk.dll").c_str(), FALSE));
    const std::wstring name = WriteJob();
    Program runner(programs + L"\\qz.exe /s " + name);
    ASSERT_TRUE(runner.Started());
    EXPECT_EQ(runner.Wait(), static_cast<DWORD>(IDOK));
    EXPECT_TRUE(FileExists(JobFileIn(appData, name)));
    DeleteFileW(JobFileIn(appData, name).c_str());
}
