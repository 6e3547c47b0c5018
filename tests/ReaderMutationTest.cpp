// The four readers of files that come from outside the program (a job file,
// settings.ini, profile.xml, a journal) meet thousands of inputs mutated
// from real ones, the same ones on every run: each is read or refused, and
// none crashes, throws, hangs, or writes anything.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/AppPaths.h"
#include "common/Journal.h"
#include "common/MethodProfile.h"
#include "common/Settings.h"
#include "common/TidyJob.h"
#include "common/UndoPlan.h"
#include "common/win/Com.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Mutations of the kinds that break readers: single bytes changed, bytes
// that mean something to a format put in, pieces cut out, doubled or
// repeated many times over, the end cut off. `unit` keeps UTF-16 text
// aligned now and then.
class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    Bytes Mutate(const Bytes& seed) {
        Bytes b = seed;
        const int rounds = 1 + Below(4);
        for (int i = 0; i < rounds; ++i) MutateOnce(&b);
        return b;
    }

private:
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(random_() % static_cast<uint32_t>(n)); }

    unsigned char Special() {
        static const unsigned char kBytes[] = {0,    0xFF, '\t', '\n', '\r', '<', '>', '"', '=', '&', '/',
                                               '\\', ':',  '9',  '0',  '-',  '[', ']', 0xEF, 0xBB, 0xBF,
                                               0xC0, 0x80, 0xED, 0xA0, 0xFE, '.', ' ', 'x'};
        return kBytes[Below(sizeof(kBytes))];
    }

    void MutateOnce(Bytes* b) {
        const int size = static_cast<int>(b->size());
        const int at = Below(size + 1);
        switch (Below(8)) {
            case 0:  // a bit flipped
                if (size) (*b)[Below(size)] ^= static_cast<unsigned char>(1u << Below(8));
                break;
            case 1:  // a byte that means something
                if (size) (*b)[Below(size)] = Special();
                break;
            case 2:  // bytes put in
                for (int n = 1 + Below(8); n > 0; --n) b->insert(b->begin() + at, Special());
                break;
            case 3: {  // a piece cut out
                const int n = Below(std::min(64, size - at) + 1);
                b->erase(b->begin() + at, b->begin() + at + n);
                break;
            }
            case 4: {  // a piece doubled
                const int n = Below(std::min(128, size - at) + 1);
                const Bytes piece(b->begin() + at, b->begin() + at + n);
                b->insert(b->begin() + at, piece.begin(), piece.end());
                break;
            }
            case 5: {  // a piece repeated many times over
                const int n = 1 + Below(std::min(16, size - at));
                if (at + n > size) break;
                const Bytes piece(b->begin() + at, b->begin() + at + n);
                for (int r = Below(2000); r > 0; --r) b->insert(b->end() - (size - at - n), piece.begin(), piece.end());
                break;
            }
            case 6:  // the end cut off
                b->resize(static_cast<std::size_t>(at));
                break;
            default: {  // a long run of digits: numbers past any range
                const int n = 1 + Below(40);
                b->insert(b->begin() + at, static_cast<std::size_t>(n), static_cast<unsigned char>('9'));
                break;
            }
        }
    }

    std::mt19937 random_;
};

// What a folder holds, file by file: a reader must leave it as it was.
std::map<std::wstring, Bytes> Contents(const std::wstring& folder) {
    std::map<std::wstring, Bytes> out;
    for (const auto& entry : FolderTree(folder)) out[entry.first] = BytesOf(entry.second);
    return out;
}

std::string JournalSeed() {
    return "Ordvale journal\t1\n"
           "Target\t1\tC:\\Users\\u\\Downloads\n"
           "Method\t1\n"
           "Planned\tCreateFolder\tC:\\Users\\u\\Downloads\\Pictures\t\t0\t0\n"
           "Planned\tMove\tC:\\Users\\u\\Downloads\\a.jpg\tC:\\Users\\u\\Downloads\\Pictures\\a.jpg\t5\t133779876543210000\n"
           "Planned\tMove\tC:\\Users\\u\\Downloads\\F\tC:\\Users\\u\\Downloads\\Folders\\F\t0\t133779876543210000\n"
           "Done\t0\t0\t133779876543210000\n"
           "Move\tC:\\Users\\u\\Downloads\\a.jpg\tC:\\Users\\u\\Downloads\\Pictures\\a (2).jpg\t5\t133779876543210000\n"
           "Move\tC:\\Users\\u\\Downloads\\F\\x.txt\tC:\\Users\\u\\Downloads\\Folders\\F\\x.txt\t3\t133779876543210000\n"
           "RemoveFolder\tC:\\Users\\u\\Downloads\\F\t\t0\t0\n"
           "Done\t2\t0\t133779876543210000\n"
           "End\n";
}

constexpr uint32_t kSeed = 20261210;

}  // namespace

TEST(ReaderMutation, JobFiles) {
    TidyJob job;
    job.method = 3;
    job.target = static_cast<int32_t>(TidyTarget::Selection);
    StoreText(job.folder, L"C:\\Users\\u\\Desktop");
    StoreText(job.profileId, L"Size1");
    StoreText(job.destination, L"D:\\Sorted");
    for (const wchar_t* item : {L"C:\\Users\\u\\Desktop\\a.jpg", L"C:\\Users\\u\\Desktop\\F", L"C:\\x\\\u00e9t\u00e9.txt"})
        ASSERT_TRUE(AppendItemUnchecked(&job, item));
    uint32_t size = 0;
    SerializeTidyJob(&job, nullptr, &size);
    Bytes seed(size);
    SerializeTidyJob(&job, seed.data(), &size);
    TidyJob check;
    ASSERT_EQ(DeserializeTidyJob(seed.data(), seed.size(), &check), JobFileStatus::Ok) << "the seed reads";
    Mutator mutator(kSeed);
    int read = 0;
    for (int i = 0; i < 3000; ++i) {
        const Bytes input = mutator.Mutate(seed);
        TidyJob out;
        if (DeserializeTidyJob(input.data(), input.size(), &out) != JobFileStatus::Ok) continue;
        ++read;
        ASSERT_LE(out.itemCount, out.itemCapacity) << "input " << i;
        for (int32_t k = 0; k < out.itemCount; ++k) ASSERT_LT(wcslen(out.items[k].text), 260u) << "input " << i;
    }
    EXPECT_GT(read, 0) << "some mutations still read";
}

TEST(ReaderMutation, Journals) {
    const Bytes seed = BytesOf(JournalSeed());
    const RunJournal real = ParseJournal(JournalSeed());
    ASSERT_EQ(real.entries.size(), 5u) << "the seed reads";
    ASSERT_EQ(real.skippedLines, 0u);
    Mutator mutator(kSeed + 1);
    TempDir dir;
    for (int i = 0; i < 3000; ++i) {
        const Bytes input = mutator.Mutate(seed);
        const RunJournal journal = ParseJournal(std::string(input.begin(), input.end()), L"20261210-101500-000");
        for (const JournalEntry& e : journal.entries) {
            ASSERT_TRUE(IsJournalPath(e.source)) << "input " << i;
            ASSERT_TRUE(e.destination.empty() || IsJournalPath(e.destination)) << "input " << i;
            ASSERT_TRUE(JournalKindIsWritten(e.kind)) << "input " << i;
        }
        ASSERT_TRUE(journal.undoneRunId.empty() || IsRunId(journal.undoneRunId)) << "input " << i;
        ASSERT_LE(journal.skippedSamples.size(), 20u);
        // Now and then through the file and the whole undo planning, which
        // looks at the disk and changes nothing.
        if (i % 50 == 0) {
            const std::wstring id = L"20261210-101500-" + std::to_wstring(100 + i / 50);
            ASSERT_TRUE(WriteBytes(JournalFileIn(dir.Path(), id), input));
            const auto before = Contents(dir.Path());
            RunJournal fromFile;
            ASSERT_TRUE(ReadJournalFile(dir.Path(), id, &fromFile));
            PlanUndo(fromFile);
            ASSERT_EQ(Contents(dir.Path()), before) << "input " << i;
        }
    }
}

TEST(ReaderMutation, SettingsFiles) {
    TempDir appData;
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData.Path()).c_str(), nullptr), ERROR_SUCCESS);
    const std::wstring file = SettingsFileIn(appData.Path());
    ASSERT_TRUE(WriteSettingsValue(file, kSectionProfile, kKeyFileName, L"C:\\Users\\u\\profile \u00e9.xml"));
    ASSERT_TRUE(WriteSettingsValue(file, kSectionFileOperation, kKeyFileConflict, L"1"));
    ASSERT_TRUE(WriteSettingsValue(file, kSectionFileOperation, kKeyFolderConflict, L"0"));
    ASSERT_TRUE(WriteSettingsValue(file, kSectionFileOperation, L"ShowSystemProgress", L"1"));
    const Bytes seed = ReadBytes(file);
    ASSERT_FALSE(seed.empty());
    Mutator mutator(kSeed + 2);
    for (int i = 0; i < 400; ++i) {
        const Bytes input = mutator.Mutate(seed);
        ASSERT_TRUE(WriteBytes(file, input));
        const auto before = Contents(appData.Path());
        OrdvaleSettings settings;
        LoadSettingsIn(appData.Path(), &settings);
        ASSERT_LT(wcslen(settings.profileFile), 260u) << "input " << i;
        const auto after = Contents(appData.Path());
        if (after == before) continue;
        // The one write a reading makes: the default profile path, put back
        // when the key is missing or empty. Nothing else changes.
        std::vector<std::wstring> namesBefore, namesAfter;
        for (const auto& e : before) namesBefore.push_back(e.first);
        for (const auto& e : after) namesAfter.push_back(e.first);
        ASSERT_EQ(namesAfter, namesBefore) << "input " << i;
        wchar_t written[260] = {};
        GetPrivateProfileStringW(kSectionProfile, kKeyFileName, L"", written, 260, file.c_str());
        ASSERT_EQ(std::wstring(written), std::wstring(settings.profileFile)) << "input " << i;
    }
}

TEST(ReaderMutation, ProfileDocuments) {
    win::ComInit com;
    TempDir dir;
    const std::wstring file = dir / L"profile.xml";
    const std::string seed =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ordvale>"
        "<TypeProfiles default=\"Type1\"><TypeConfigure id=\"Type1\" displayname=\"By kind\" rootpath=\"\">"
        "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/><Folder displayname=\"Raw\"><Ext t=\".nef\"/></Folder></Folder>"
        "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder><Folder displayname=\"Others\"><Ext ti=\"3\"/></Folder>"
        "</TypeConfigure></TypeProfiles>"
        "<TimeProfiles default=\"Time1\"><TimeConfigure id=\"Time1\" displayname=\"By year\" rootpath=\"D:\\\">"
        "<Folder displayname=\"2020\"><Time begin=\"2020-01-01 00:00:00\" end=\"2020-12-31 00:00:00\"/></Folder>"
        "</TimeConfigure></TimeProfiles>"
        "<SizeProfiles default=\"Size1\"><SizeConfigure id=\"Size1\" displayname=\"By size\" rootpath=\"\">"
        "<Folder displayname=\"Tiny\"><Size lower=\"0\" upper=\"102399\"/></Folder>"
        "<Folder displayname=\"Folders\"><Size si=\"1\"/></Folder></SizeConfigure></SizeProfiles>"
        "<NameProfiles default=\"Name1\"><NameConfigure id=\"Name1\" displayname=\"By letter\" rootpath=\"\">"
        "<Folder displayname=\"A-F\"><Name from=\"A\" to=\"F\"/><Name re=\"^(a|b)+$\"/></Folder>"
        "</NameConfigure></NameProfiles></Ordvale>\n";
    const struct {
        int method;
        const wchar_t* id;
    } profiles[] = {{1, L"Type1"}, {2, L"Time1"}, {3, L"Size1"}, {4, L"Name1"}};
    ASSERT_TRUE(WriteText(file, seed));
    for (const auto& p : profiles) {
        MethodProfile profile(ModelMethodOf(p.method));
        ASSERT_TRUE(profile.Load(file.c_str(), p.id)) << "the seed reads";
    }
    Mutator mutator(kSeed + 3);
    for (int i = 0; i < 400; ++i) {
        const Bytes input = mutator.Mutate(BytesOf(seed));
        ASSERT_TRUE(WriteBytes(file, input));
        const auto before = Contents(dir.Path());
        const auto& p = profiles[i % 4];
        MethodProfile profile(ModelMethodOf(p.method));
        profile.Load(file.c_str(), i % 8 < 4 ? p.id : nullptr);
        ASSERT_LT(wcslen(profile.rootPath), 260u);
        ASSERT_EQ(Contents(dir.Path()), before) << "input " << i << ": reading wrote";
    }
}
