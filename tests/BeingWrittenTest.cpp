// Which files a tidy must leave alone because another program is still
// writing them.
#include <gtest/gtest.h>

#include "common/BeingWritten.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {
constexpr uint64_t kSecond = 10000000ull;
constexpr uint64_t kNow = 134000000000000000ull;
constexpr uint64_t kLongAgo = kNow - 3600 * kSecond;
}  // namespace

TEST(BeingWritten, DownloadNames) {
    struct Case {
        const wchar_t* name;
        bool download;
    };
    const Case cases[] = {
        {L"Unconfirmed 123.crdownload", true}, {L"movie.mkv.part", true},  {L"movie.mkv.PART", true},
        {L"a.partial", true},                   {L"a.download", true},      {L"a.opdownload", true},
        {L"linux.iso.!ut", true},               {L"linux.iso.!qb", true},   {L"x.Crdownload", true},
        {L"a.tmp", false},                      {L"part", false},           {L".part", false},
        {L"a.parts", false},                    {L"a.part.txt", false},     {L"report.pdf", false},
        {L"chapter-part", false},               {L"a.downloaded", false},   {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(HasDownloadSuffix(c.name), c.download) << Narrow(c.name);
}

TEST(BeingWritten, RecentWrites) {
    struct Case {
        const char* what;
        uint64_t lastWrite;
        bool recent;
    };
    const Case cases[] = {
        {"now", kNow, true},
        {"a second ago", kNow - kSecond, true},
        {"just inside the window", kNow - kSettleTime + 1, true},
        {"exactly the window ago", kNow - kSettleTime, false},
        {"an hour ago", kLongAgo, false},
        {"a second ahead of the clock", kNow + kSecond, true},
        {"a day ahead of the clock", kNow + 86400 * kSecond, false},
        // A file another program holds open shows no time: it may be
        // written this very moment, whatever the settle time.
        {"no time known", kUnknownTime, true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRecentlyWritten(c.lastWrite, kNow), c.recent) << c.what;
    EXPECT_TRUE(IsRecentlyWritten(kUnknownTime, kNow, 0)) << "no time known, no settle time";
    EXPECT_FALSE(IsRecentlyWritten(kNow, kNow, 0)) << "a known time, no settle time";
}

// One listing: the state of each item, with ".tmp" files judged by the
// files of the same stem beside them.
TEST(BeingWritten, StatesOfAListing) {
    struct Row {
        const wchar_t* path;
        bool isFile;
        uint64_t lastWrite;
        WriteState state;
    };
    const Row rows[] = {
        {L"C:\\D\\holiday.jpg", true, kLongAgo, WriteState::Settled},
        {L"C:\\D\\movie.mkv.crdownload", true, kLongAgo, WriteState::Downloading},
        {L"C:\\D\\fresh.txt", true, kNow - kSecond, WriteState::RecentlyWritten},
        {L"C:\\D\\fresh.tmp", true, kLongAgo, WriteState::Downloading},          // stem of fresh.txt
        {L"C:\\D\\setup.exe", true, kNow, WriteState::RecentlyWritten},
        {L"C:\\D\\setup.exe.tmp", true, kLongAgo, WriteState::Downloading},      // the name itself
        {L"C:\\D\\SETUP.TMP", true, kLongAgo, WriteState::Downloading},          // letter case aside
        {L"C:\\D\\old.tmp", true, kLongAgo, WriteState::Settled},                // nothing called old is written
        {L"C:\\D\\holiday.tmp", true, kLongAgo, WriteState::Settled},            // holiday.jpg is settled
        {L"C:\\E\\fresh.tmp", true, kLongAgo, WriteState::Settled},              // another folder
        {L"C:\\D\\New folder", false, kNow, WriteState::Settled},                // folders are never left
        {L"C:\\D\\album.part", false, kLongAgo, WriteState::Settled},
        {L"C:\\D\\notes.TMP", true, kNow, WriteState::RecentlyWritten},
        {L"C:\\D\\server.log", true, kUnknownTime, WriteState::RecentlyWritten},  // held open elsewhere
        {L"C:\\D\\server.tmp", true, kLongAgo, WriteState::Downloading},         // beside it
    };
    std::vector<ListedItem> items;
    for (const Row& r : rows) items.push_back(ListedItem{r.path, r.isFile, r.lastWrite});
    const std::vector<WriteState> states = FindBeingWritten(items, kNow);
    ASSERT_EQ(states.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(static_cast<int>(states[i]), static_cast<int>(rows[i].state)) << Narrow(rows[i].path);
}
