#include <gtest/gtest.h>

#include <regex>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Text.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// An application-data folder with the settings folder, and a wizard folder
// whose qz.exe only records its command line.
class HandOffFixture : public ::testing::Test {
protected:
    void SetUp() override {
        appData = dir / L"AppData";
        wizardFolder = dir / L"Program";
        ASSERT_TRUE(MakeFolder(appData));
        ASSERT_TRUE(MakeFolder(appData + L"\\Pelvantor"));
        ASSERT_TRUE(MakeFolder(appData + L"\\Pelvantor\\Ordvale"));
        ASSERT_TRUE(MakeFolder(wizardFolder));
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\record_args.exe").c_str(),
                              (wizardFolder + L"\\qz.exe").c_str(), FALSE));
        job.method = 2;
        StoreText(job.profileId, L"Time1");
    }

    std::string WaitForRunnerArgs() {
        for (int i = 0; i < 200; ++i) {
            if (FileExists(wizardFolder + L"\\args.txt")) return ReadUtf8(wizardFolder + L"\\args.txt");
            Sleep(50);
        }
        return std::string();
    }

    TempDir dir;
    std::wstring appData, wizardFolder;
    TidyJob job;
};

std::wstring FileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

}  // namespace

TEST(JobName, IsABracedUpperCaseGuidAndNewEachTime) {
    std::wstring a = NewJobName(), b = NewJobName();
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::regex_match(Narrow(a), std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << Narrow(a);
    GUID g = {0x0102A0B0, 0x0304, 0xC506, {0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0xDD, 0xEE}};
    EXPECT_EQ(FormatJobName(g), L"{0102A0B0-0304-C506-0708-090A0B0CDDEE}");
}

TEST(JobName, RunnerAcceptsOnlyJobNames) {
    struct Case { const wchar_t* text; bool ok; };
    const Case cases[] = {
        {L"{0102A0B0-0304-C506-0708-090A0B0CDDEE}", true},
        {L"{0102a0b0-0304-c506-0708-090a0b0cddee}", true},
        {L"0102A0B0-0304-C506-0708-090A0B0CDDEE", false},
        {L"{0102A0B0-0304-C506-0708-090A0B0CDDEE}x", false},
        {L"..\\settings.ini", false},
        {L"{0102A0B0-0304-C506-0708-090A0B0C\\..}", false},
        {L"{0102A0B0-0304-C506-0708-090A0B0CDDEG}", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsJobName(c.text), c.ok) << Narrow(c.text);
}

TEST(JobName, RunnerFindsTheJobNameEvenInAFolderWithSpaces) {
    struct Case { const wchar_t* line; const wchar_t* name; };
    const Case cases[] = {
        {L"C:\\Ordvale\\qz.exe /s {X}", L"{X}"},
        {L"C:\\Program Files\\Ordvale\\qz.exe /s {X}", L"{X}"},
        {L"\"C:\\Program Files\\Ordvale\\qz.exe\" /S {X}", L"{X}"},
        {L"qz.exe /s", nullptr},
        {L"qz.exe {X}", nullptr},
        {L"qz.exe /x {X}", nullptr},
        {L"qz.exe /s {X} extra", nullptr},
        {L"", nullptr},
    };
    for (const Case& c : cases) {
        std::wstring name;
        EXPECT_EQ(RunnerJobName(c.line, &name), c.name != nullptr) << Narrow(c.line);
        if (c.name) {
            EXPECT_EQ(name, c.name) << Narrow(c.line);
        }
    }
}

TEST(JobName, RunnerFindsTheRunToTakeBack) {
    struct Case { const wchar_t* line; const wchar_t* which; };
    const Case cases[] = {
        {L"C:\\Ordvale\\qz.exe /undo last", L"last"},
        {L"C:\\Program Files\\Ordvale\\qz.exe /UNDO 20261209-101500-042", L"20261209-101500-042"},
        {L"qz.exe /undo", nullptr},
        {L"qz.exe /s {X}", nullptr},
        {L"qz.exe /undo last extra", nullptr},
    };
    for (const Case& c : cases) {
        std::wstring which;
        EXPECT_EQ(RunnerUndoRun(c.line, &which), c.which != nullptr) << Narrow(c.line);
        if (c.which) {
            EXPECT_EQ(which, c.which) << Narrow(c.line);
        }
    }
}

TEST(JobName, RunnerCommandLine) {
    EXPECT_EQ(RunnerCommandLine(L"C:\\Program Files\\Ordvale", L"{X}"),
              L"C:\\Program Files\\Ordvale\\qz.exe /s {X}");
}

TEST_F(HandOffFixture, WritesTheJobFileAndStartsTheRunner) {
    std::wstring jobFile;
    ASSERT_EQ(HandOffJob(&job, wizardFolder.c_str(), appData, &jobFile), 0);

    const std::wstring jobName = FileName(jobFile);
    EXPECT_TRUE(IsJobName(jobName)) << Narrow(jobName);
    EXPECT_EQ(ParentFolder(jobFile), appData + L"\\Pelvantor\\Ordvale");

    std::vector<unsigned char> expected;
    AppendInt32(&expected, 0);
    AppendInt32(&expected, 2);
    AppendText(&expected, L"Time1");
    AppendText(&expected, L"");
    EXPECT_EQ(ReadBytes(jobFile), expected);

    // The mapping existed only while the job was written.
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, jobName.c_str());
    EXPECT_EQ(mapping, nullptr);
    if (mapping) CloseHandle(mapping);

    EXPECT_EQ(WaitForRunnerArgs(), Narrow(wizardFolder + L"\\qz.exe /s " + jobName));
}

TEST_F(HandOffFixture, TwoHandOffsGiveTwoJobFiles) {
    std::wstring first, second;
    ASSERT_EQ(HandOffJob(&job, wizardFolder.c_str(), appData, &first), 0);
    ASSERT_EQ(HandOffJob(&job, wizardFolder.c_str(), appData, &second), 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
}

TEST_F(HandOffFixture, ResultCodes) {
    EXPECT_EQ(HandOffJob(nullptr, wizardFolder.c_str(), appData), -1) << "no job";
    EXPECT_EQ(HandOffJob(&job, wizardFolder.c_str(), L""), -1) << "no application-data folder";

    std::wstring jobFile;
    EXPECT_EQ(HandOffJob(&job, wizardFolder.c_str(), dir / L"Elsewhere", &jobFile),
              ERROR_PATH_NOT_FOUND) << "settings folder missing";
    EXPECT_FALSE(FileExists(jobFile));

    // Runner missing: the complete job file stays behind.
    ASSERT_TRUE(MakeFolder(dir / L"NoRunner"));
    EXPECT_EQ(HandOffJob(&job, (dir / L"NoRunner").c_str(), appData, &jobFile), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadBytes(jobFile).size(), 4u + 4u + 12u + 2u);
}

TEST(LaunchThread, WithoutAJobReportsMinusOneAndSignalsTheEvent) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, kHandOffEventName);
    ASSERT_NE(event, nullptr);
    LaunchParams params = {};
    params.result = 12345;
    EXPECT_EQ(LaunchThread(&params), 0u);
    EXPECT_EQ(params.result, -1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}
