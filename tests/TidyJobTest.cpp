#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "common/Text.h"
#include "common/TidyJob.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

std::vector<unsigned char> Serialize(const TidyJob& job) {
    uint32_t size = 0;
    EXPECT_EQ(SerializeTidyJob(&job, nullptr, &size), 2);
    std::vector<unsigned char> out(size, 0xCD);
    uint32_t inout = size;
    EXPECT_EQ(SerializeTidyJob(&job, out.data(), &inout), 0);
    EXPECT_EQ(inout, size);
    return out;
}

void SetTarget(TidyJob* job, TidyTarget t) { job->target = static_cast<int32_t>(t); }

}  // namespace

TEST(TidyJob, StartsAsADesktopJobByType) {
    TidyJob job;
    EXPECT_EQ(job.method, 1);
    EXPECT_EQ(job.target, 0);
    EXPECT_EQ(job.itemCount, 0);
    EXPECT_STREQ(job.folder, L"");
    EXPECT_STREQ(job.profileId, L"");
    EXPECT_STREQ(job.destination, L"");
}

TEST(TidyJobSerialize, SmallestJobsAreTwelveAndFourteenBytes) {
    TidyJob job;
    EXPECT_EQ(Serialize(job), (std::vector<unsigned char>{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));

    job.method = 4;
    StoreText(job.profileId, L"N");
    EXPECT_EQ(Serialize(job),
              (std::vector<unsigned char>{0, 0, 0, 0, 4, 0, 0, 0, 'N', 0, 0, 0, 0, 0}));
}

TEST(TidyJobSerialize, LayoutPerTarget) {
    struct Case {
        const char* what;
        TidyTarget target;
        std::wstring folder;
        std::vector<std::wstring> items;
        std::vector<unsigned char> targetData;
    };
    std::vector<unsigned char> tenChars;
    AppendText(&tenChars, L"C:\\abc.txt");
    tenChars.push_back(0);
    tenChars.push_back(0);
    std::vector<unsigned char> twoItems;
    AppendText(&twoItems, L"C:\\a");
    AppendText(&twoItems, L"D:\\b c");
    twoItems.push_back(0);
    twoItems.push_back(0);
    std::vector<unsigned char> folderOnly;
    AppendText(&folderOnly, L"C:\\Work");

    const Case cases[] = {
        {"empty selection", TidyTarget::Selection, L"", {}, {0, 0}},
        {"one ten-character entry", TidyTarget::Selection, L"", {L"C:\\abc.txt"}, tenChars},
        {"two entries in order", TidyTarget::Selection, L"C:\\ignored", {L"C:\\a", L"D:\\b c"}, twoItems},
        {"folder with stale items", TidyTarget::Folder, L"C:\\Work", {L"C:\\stale"}, folderOnly},
        {"desktop with stale folder and items", TidyTarget::Desktop, L"C:\\x", {L"C:\\y"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TidyJob job;
        SetTarget(&job, c.target);
        job.method = 3;
        StoreText(job.folder, c.folder);
        for (const auto& item : c.items) AppendItemUnchecked(&job, item.c_str());
        StoreText(job.profileId, L"Size1");
        StoreText(job.destination, L"E:\\Out");

        std::vector<unsigned char> expected;
        AppendInt32(&expected, static_cast<int32_t>(c.target));
        expected.insert(expected.end(), c.targetData.begin(), c.targetData.end());
        AppendInt32(&expected, 3);
        AppendText(&expected, L"Size1");
        AppendText(&expected, L"E:\\Out");
        EXPECT_EQ(Serialize(job), expected);
        if (c.target == TidyTarget::Selection && c.items.size() == 1) {
            EXPECT_EQ(c.targetData.size(), 24u);
        }
    }
}

TEST(TidyJobSerialize, TooSmallBufferReportsSizeAndWritesNothing) {
    TidyJob job;
    StoreText(job.profileId, L"Type1");
    uint32_t size = 0;
    ASSERT_EQ(SerializeTidyJob(&job, nullptr, &size), 2);
    ASSERT_EQ(size, 4u + 4u + 12u + 2u);

    std::vector<unsigned char> buffer(size, 0xAB);
    uint32_t tooSmall = size - 1;
    EXPECT_EQ(SerializeTidyJob(&job, buffer.data(), &tooSmall), 2);
    EXPECT_EQ(tooSmall, size);
    EXPECT_EQ(buffer, std::vector<unsigned char>(size, 0xAB));
}

TEST(TidyJobSerialize, OverLongTextsAreCutTo259) {
    TidyJob job;
    std::wstring longId(400, L'x');
    StoreText(job.profileId, longId);
    EXPECT_EQ(std::wstring(job.profileId).size(), 259u);
    EXPECT_EQ(Serialize(job).size(), 4u + 4u + 2u * 260u + 2u);
}

TEST(TidyJobRead, RoundTripsEveryTarget) {
    TidyJob folderJob;
    SetTarget(&folderJob, TidyTarget::Folder);
    folderJob.method = 2;
    StoreText(folderJob.folder, L"C:\\Users\\u\\Downloads");
    StoreText(folderJob.profileId, L"Time7");

    TidyJob selection;
    SetTarget(&selection, TidyTarget::Selection);
    selection.method = 4;
    for (int i = 0; i < 40; ++i)
        AppendItemUnchecked(&selection, (L"C:\\dir\\\u00e9l\u00e8ve " + std::to_wstring(i)).c_str());
    StoreText(selection.destination, L"D:\\Sorted");

    TidyJob desktop;

    for (const TidyJob* original : {&folderJob, &selection, &desktop}) {
        std::vector<unsigned char> bytes = Serialize(*original);
        TidyJob back;
        ASSERT_EQ(DeserializeTidyJob(bytes.data(), bytes.size(), &back), JobFileStatus::Ok);
        EXPECT_EQ(back.method, original->method);
        EXPECT_EQ(back.target, original->target);
        EXPECT_STREQ(back.profileId, original->profileId);
        EXPECT_STREQ(back.destination, original->destination);
        if (original->target == 1) {
            EXPECT_STREQ(back.folder, original->folder);
        }
        if (original->target == 2) {
            ASSERT_EQ(back.itemCount, original->itemCount);
            for (int i = 0; i < back.itemCount; ++i)
                EXPECT_STREQ(back.items[i].text, original->items[i].text);
        }
        EXPECT_EQ(Serialize(back), bytes);
    }
}

TEST(TidyJobRead, RejectsMalformedData) {
    std::vector<unsigned char> good;
    AppendInt32(&good, 2);
    AppendText(&good, L"C:\\a");
    good.push_back(0);
    good.push_back(0);
    AppendInt32(&good, 1);
    AppendText(&good, L"Type1");
    AppendText(&good, L"");

    std::vector<unsigned char> unterminated;
    AppendInt32(&unterminated, 1);
    for (int i = 0; i < 300; ++i) {
        unterminated.push_back('a');
        unterminated.push_back(0);
    }
    std::vector<unsigned char> exactly260;  // 260 units with no NUL among them
    AppendInt32(&exactly260, 0);
    AppendInt32(&exactly260, 1);
    for (int i = 0; i < 260; ++i) {
        exactly260.push_back('p');
        exactly260.push_back(0);
    }
    exactly260.push_back(0);
    exactly260.push_back(0);
    std::vector<unsigned char> badTarget;
    AppendInt32(&badTarget, 3);
    AppendInt32(&badTarget, 1);
    AppendText(&badTarget, L"");
    AppendText(&badTarget, L"");
    std::vector<unsigned char> negativeTarget(badTarget);
    negativeTarget[0] = negativeTarget[1] = negativeTarget[2] = negativeTarget[3] = 0xFF;

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        JobFileStatus expected;
    };
    std::vector<Case> cases = {
        {"valid", good, JobFileStatus::Ok},
        {"empty", {}, JobFileStatus::Truncated},
        {"half a target", {0, 0}, JobFileStatus::Truncated},
        {"no destination", std::vector<unsigned char>(good.begin(), good.end() - 2), JobFileStatus::Truncated},
        {"odd byte count", std::vector<unsigned char>(good.begin(), good.end() - 1), JobFileStatus::Truncated},
        {"selection without its end mark", std::vector<unsigned char>(good.begin(), good.begin() + 14), JobFileStatus::Truncated},
        {"one trailing byte", [&] { auto b = good; b.push_back(0); return b; }(), JobFileStatus::TrailingBytes},
        {"a second job behind", [&] { auto b = good; b.insert(b.end(), good.begin(), good.end()); return b; }(), JobFileStatus::TrailingBytes},
        {"folder without NUL within 260 units", unterminated, JobFileStatus::Unterminated},
        {"profile id of 260 characters", exactly260, JobFileStatus::Unterminated},
        {"target 3", badTarget, JobFileStatus::BadTarget},
        {"target -1", negativeTarget, JobFileStatus::BadTarget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TidyJob job;
        // Every byte is read through a copy of exactly this size, so any read
        // past the end would be visible to memory checkers.
        std::unique_ptr<unsigned char[]> exact(new unsigned char[c.bytes.size() + 1]);
        std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
        EXPECT_EQ(DeserializeTidyJob(exact.get(), c.bytes.size(), &job), c.expected);
        if (c.expected != JobFileStatus::Ok) {
            EXPECT_EQ(job.itemCount, 0);
            EXPECT_EQ(job.target, 0);
        }
    }
}

TEST(TidyJobRead, ReadsFilesAndReportsMissingOnes) {
    TempDir dir;
    TidyJob job;
    SetTarget(&job, TidyTarget::Folder);
    StoreText(job.folder, L"C:\\x");
    ASSERT_TRUE(WriteBytes(dir / L"job", Serialize(job)));
    TidyJob back;
    EXPECT_EQ(ReadTidyJobFile((dir / L"job").c_str(), &back), JobFileStatus::Ok);
    EXPECT_STREQ(back.folder, L"C:\\x");
    EXPECT_EQ(ReadTidyJobFile((dir / L"missing").c_str(), &back), JobFileStatus::Unreadable);
}

TEST(TidyJobItems, AddItemKeepsExistingUniquePathsInOrder) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"b.txt", "x"));
    ASSERT_TRUE(MakeFolder(dir / L"Photos"));
    TidyJob job;
    EXPECT_TRUE(AddItem(&job, (dir / L"b.txt").c_str()));
    EXPECT_TRUE(AddItem(&job, (dir / L"Photos").c_str()));
    EXPECT_FALSE(AddItem(&job, (dir / L"B.TXT").c_str())) << "same path in other letter case";
    EXPECT_FALSE(AddItem(&job, (dir / L"missing.txt").c_str()));
    EXPECT_FALSE(AddItem(&job, nullptr));
    ASSERT_EQ(job.itemCount, 2);
    EXPECT_EQ(std::wstring(job.items[0].text), dir / L"b.txt");
    EXPECT_EQ(std::wstring(job.items[1].text), dir / L"Photos");
}

// Entries keep 259 characters: a longer path is compared by what is kept of
// it, so adding it again (in any letter case) adds nothing.
TEST(TidyJobItems, AddItemComparesALongPathByItsKeptPart) {
    TempDir dir;
    std::wstring folder = dir.Path();
    while (folder.size() < 300) {
        folder += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(MakeFolder(folder));
    }
    const std::wstring file = folder + L"\\long.txt";
    ASSERT_TRUE(WriteText(file, "x"));
    ASSERT_GT(file.size(), 259u);
    std::wstring upper = file;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));

    TidyJob job;
    ASSERT_TRUE(AddItem(&job, file.c_str()));
    EXPECT_EQ(std::wstring(job.items[0].text), file.substr(0, 259));
    EXPECT_FALSE(AddItem(&job, file.c_str()));
    EXPECT_FALSE(AddItem(&job, upper.c_str()));
    EXPECT_EQ(job.itemCount, 1);
}

TEST(TidyJobItems, GrowsPastItsFirstBlock) {
    TidyJob job;
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(AppendItemUnchecked(&job, (L"C:\\f" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(job.itemCount, 1000);
    EXPECT_STREQ(job.items[999].text, L"C:\\f999");
    ClearItems(&job);
    EXPECT_EQ(job.itemCount, 0);
    EXPECT_EQ(job.items, nullptr);
}

TEST(TidyJobDestination, DefaultPerTarget) {
    TidyJob job;
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, 0x0010 /* CSIDL_DESKTOPDIRECTORY */, nullptr, 0, desktop)));
    EXPECT_EQ(DefaultDestination(&job), desktop);

    SetTarget(&job, TidyTarget::Folder);
    StoreText(job.folder, L"C:\\Work");
    EXPECT_EQ(DefaultDestination(&job), L"C:\\Work");

    SetTarget(&job, TidyTarget::Selection);
    EXPECT_EQ(DefaultDestination(&job), L"") << "empty selection";
    AppendItemUnchecked(&job, L"C:\\x\\first.txt");
    AppendItemUnchecked(&job, L"C:\\a\\b.txt");
    EXPECT_EQ(DefaultDestination(&job), L"C:\\a") << "folder of the last entry";
    AppendItemUnchecked(&job, L"D:\\photos");
    EXPECT_EQ(DefaultDestination(&job), L"D:\\");

    job.target = 7;
    EXPECT_EQ(DefaultDestination(&job), L"");
}
