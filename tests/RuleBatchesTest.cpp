// Batches of type and name rules without windows: the extensions of a typed
// line, a character range divided into parts, and whole batches placed in a
// fixture profile with scripted answers.
#include <gtest/gtest.h>

#include <climits>

#include "EditorScript.h"
#include "RuleBatches.h"
#include "TestSupport.h"
#include "common/Text.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

// "A-G H-N ..." for a list of ranges.
std::string RangesText(const std::vector<CharRange>& ranges) {
    std::string text;
    for (const CharRange& range : ranges) {
        if (!text.empty()) text += " ";
        text += Narrow(std::wstring{range.first, L'-', range.last});
    }
    return text;
}

}  // namespace

TEST(NameBatches, DividesARangeIntoParts) {
    struct Case {
        wchar_t first, last;
        int parts;
        const char* ranges;
    };
    const Case cases[] = {
        {L'A', L'Z', 4, "A-G H-N O-U V-Z"},  // width 7, the last part clipped to Z
        {L'A', L'Z', 10, "A-C D-F G-I J-L M-O P-R S-U V-X Y-Z"},  // width 3: nine parts, no tenth
        {L'A', L'Z', 1, "A-Z"},
        {L'A', L'Z', 0, "A-Z"},  // no parts count as one
        {L'A', L'Z', 25, "A-B C-D E-F G-H I-J K-L M-N O-P Q-R S-T U-V W-X Y-Z"},
        {L'A', L'C', 10, "A-A B-B C-C"},  // never more parts than characters
        {L'A', L'C', INT_MAX, "A-A B-B C-C"},
        {L'0', L'9', 3, "0-3 4-7 8-9"},
        {L'x', L'x', 5, "x-x"},
        {L'Z', L'A', 4, ""},  // backwards: nothing
    };
    for (const Case& c : cases) {
        std::vector<CharRange> ranges;
        EXPECT_TRUE(DivideCharRange(c.first, c.last, c.parts, &ranges)) << c.parts;
        EXPECT_EQ(RangesText(ranges), c.ranges) << Narrow(std::wstring{c.first, L'-', c.last}) << " in " << c.parts;
    }

    std::vector<CharRange> each;
    ASSERT_TRUE(DivideCharRange(L'!', L'~', 94, &each));
    ASSERT_EQ(each.size(), 94u) << "one range per character";
    for (std::size_t i = 0; i < each.size(); ++i) EXPECT_EQ(each[i], (CharRange{wchar_t(33 + i), wchar_t(33 + i)}));
}

TEST(NameBatches, RefusesMoreThanAThousandRules) {
    struct Case {
        wchar_t first, last;
        int parts;
        bool ok;
        std::size_t count;
    };
    const Case cases[] = {
        {1, 0xFFFF, 5000, false, 0},   // width 14: 4,682 ranges
        {0, 0xFFFF, INT_MAX, false, 0},  // every character of the range
        {1, 0xFFFF, 1000, true, 993},  // width 66
        {1, 1000, 1000, true, 1000},
        {1, 1001, 1001, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<CharRange> ranges = {{L'a', L'b'}};
        EXPECT_EQ(DivideCharRange(c.first, c.last, c.parts, &ranges), c.ok) << c.parts;
        EXPECT_EQ(ranges.size(), c.count) << c.parts;
    }
}

TEST(NameBatches, FolderNames) {
    EXPECT_EQ(RangeFolderName({L'A', L'G'}), L"A - G");
    EXPECT_EQ(RangeFolderName({L'!', L'!'}), L"! - !");
}

namespace {

struct BatchCase {
    const char* name;
    const char* body;
    const wchar_t* folder;  // where the batch runs
    wchar_t first, last;
    int parts;
    bool createFolders;
    std::vector<int> answers;
    bool finished;
    const char* tree;
    std::vector<std::string> shown;
};

const char kAborted[] = "! Operations Aborted!";
// The first name of the batch that cannot be a folder's, a quotation mark's range.
const char kBadName[] = "! The batch would make a folder named \"\" - \"\".";

const BatchCase kNameBatches[] = {
    {"four parts, a folder each", "", L".\\", L'A', L'Z', 4, true, {}, true,
     ".[]{A - G[A-G] H - N[H-N] O - U[O-U] V - Z[V-Z]}", {}},
    {"four parts into the folder itself", "<Folder displayname='Names'/>", L".\\Names\\", L'A', L'Z', 4, false, {},
     true, ".[]{Names[A-G,H-N,O-U,V-Z]}", {}},
    {"backwards is swapped", "", L".\\", L'Z', L'A', 2, false, {}, true, ".[A-M,N-Z]", {}},
    // "/ - /", ":: - :" and the like cannot be folders: refused before anything is made.
    {"every character, a folder each", "", L".\\", L'!', L'~', 94, true, {}, false, ".[]", {kBadName, kAborted}},
    {"a folder of a range's name exists", "<Folder displayname='b - b'/>", L".\\", L'a', L'c', 3, true, {}, false,
     ".[]{b - b[]}", {"! A Folder named \"b - b\" already exists.", kAborted}},
    // a - a and A - A differ only in letter case: two such folders cannot be siblings.
    {"a folder in other letter case exists", "<Folder displayname='A - A'/>", L".\\", L'a', L'b', 2, true, {},
     false, ".[]{A - A[]}", {"! A Folder named \"a - a\" already exists.", kAborted}},
    {"a part collides: what came before stays", "<Folder displayname='Old'><Name from='J' to='K'/></Folder>",
     L".\\", L'A', L'Z', 4, false, {}, false, ".[A-G]{Old[J-K]}",
     {"C File name rule \"H - N\": | .\\Old\\#0", kAborted}},
    {"a part found elsewhere, Yes to all", "<Folder displayname='Old'><Name from='A' to='G'/><Name from='O' to='U'/></Folder>",
     L".\\", L'A', L'Z', 4, false, {kReplaceYesToAll}, true, ".[A-G,H-N,O-U,V-Z]{Old[]}",
     {"Q4 File name rule already exists."}},
    {"a part found elsewhere, No", "<Folder displayname='Old'><Name from='A' to='G'/></Folder>", L".\\", L'A', L'Z', 4,
     false, {kReplaceNo}, true, ".[H-N,O-U,V-Z]{Old[A-G]}", {"Q4 File name rule already exists."}},
    // Cancel places nothing more, and makes no more folders: the batch still ends well.
    {"a part found elsewhere, Cancel", "<Folder displayname='Old'><Name from='H' to='N'/></Folder>", L".\\", L'A',
     L'Z', 4, true, {kReplaceCancel}, true, ".[]{Old[H-N] A - G[A-G] H - N[]}", {"Q4 File name rule already exists."}},
    {"the same range in the folder", "<Name from='A' to='G'/>", L".\\", L'A', L'Z', 4, false, {}, true,
     ".[A-G,H-N,O-U,V-Z]", {"! The file name rule already exists under current folder."}},
};

class NameBatchPlacement : public ::testing::TestWithParam<BatchCase> {};

std::string BatchCaseName(const ::testing::TestParamInfo<BatchCase>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

}  // namespace

TEST_P(NameBatchPlacement, TreeAndMessages) {
    const BatchCase& c = GetParam();
    LoadedProfile profile(4, c.body);
    ScriptedUser user(c.answers);
    EXPECT_EQ(PlaceNameRangeBatch(user, FolderAt(profile.model.root, c.folder), c.first, c.last, c.parts,
                                  c.createFolders),
              c.finished);
    EXPECT_EQ(DumpTree(profile.model.root), c.tree);
    EXPECT_EQ(user.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Batches, NameBatchPlacement, ::testing::ValuesIn(kNameBatches), BatchCaseName);

TEST(NameBatches, OnlyIntoAFolderOfANameProfile) {
    LoadedProfile profile(1, "");
    ScriptedUser user;
    EXPECT_FALSE(PlaceNameRangeBatch(user, &profile.model.root, L'A', L'Z', 2, true));
    EXPECT_FALSE(PlaceNameRangeBatch(user, nullptr, L'A', L'Z', 2, true));
    EXPECT_EQ(user.shown, (std::vector<std::string>{kAborted, kAborted}));
    EXPECT_EQ(DumpTree(profile.model.root), ".[]");
}

TEST(TypeBatches, SplitsATypedLine) {
    struct Case {
        const wchar_t* input;
        std::vector<std::wstring> extensions;
    };
    const Case cases[] = {
        {L".txt  doc .exe", {L".txt", L".doc", L".exe"}},
        {L"\t.TXT\t.Doc ", {L".TXT", L".Doc"}},
        {L"abc. .gz .. file.tar.gz", {L".gz", L".gz"}},  // repeats are the dialog's to drop
        {L"   ", {}},
        {L"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitBatchExtensions(c.input), c.extensions) << Narrow(c.input);
}

TEST(TypeBatches, PlacesUntilTheFirstFailure) {
    struct Case {
        const char* name;
        std::vector<std::wstring> extensions;
        std::vector<int> answers;
        int placed;
        const char* tree;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"new ones", {L".mp3", L".ogg"}, {}, 2, ".[]{Docs[.txt] Music[.mp3,.ogg] Pics[.jpg]}", {}},
        {"yes to all moves the later ones too", {L".TXT", L".flac", L".jpg"}, {kReplaceYesToAll}, 3,
         ".[]{Docs[] Music[.txt,.flac,.jpg] Pics[]}", {"Q4 File type \".TXT\" already exists."}},
        {"cancel adds nothing more", {L".txt", L".flac"}, {kReplaceCancel}, 2, ".[]{Docs[.txt] Music[] Pics[.jpg]}",
         {"Q4 File type \".txt\" already exists."}},
        {"an empty extension fails and ends the batch", {L".wav", L"", L".ogg"}, {}, 1,
         ".[]{Docs[.txt] Music[.wav] Pics[.jpg]}", {"! Failed creating file type rule for \"\"."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedProfile profile(1, "<Folder displayname='Docs'><Ext t='.txt'/></Folder><Folder displayname='Music'/>"
                                 "<Folder displayname='Pics'><Ext t='.jpg'/></Folder>");
        ScriptedUser user(c.answers);
        EXPECT_EQ(PlaceTypeRuleBatch(user, FolderAt(profile.model.root, L".\\Music\\"), c.extensions), c.placed);
        EXPECT_EQ(DumpTree(profile.model.root), c.tree);
        EXPECT_EQ(user.shown, c.shown);
    }
}

// A long extension is cut to what a rule keeps; the failure message to what
// a message keeps.
TEST(TypeBatches, LongExtensions) {
    LoadedProfile profile(1, "");
    ScriptedUser user;
    const std::wstring longOne = L"." + std::wstring(300, L'x');
    EXPECT_EQ(PlaceTypeRuleBatch(user, &profile.model.root, {longOne}), 1);
    EXPECT_EQ(DumpTree(profile.model.root), ".[." + std::string(78, 'x') + "]");
    LoadedProfile time(2, "");
    EXPECT_EQ(PlaceTypeRuleBatch(user, &time.model.root, {longOne}), 0);
    ASSERT_EQ(user.fullTexts.size(), 1u);
    EXPECT_EQ(user.fullTexts[0].size(), 259u);
}
