// Size rules as the editor makes them: the checks of two typed bounds, the
// stepped batch and its limit, and the batch placed into a profile (folder
// names checked before anything is made).
#include <gtest/gtest.h>

#include "EditorScript.h"
#include "SizeRules.h"
#include "TestSupport.h"
#include "common/Text.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

std::string Ranges(const std::vector<SizeRange>& ranges) {
    std::string out;
    for (const SizeRange& range : ranges) {
        if (!out.empty()) out += " ";
        out += std::to_string(range.lower) + ".." + std::to_string(range.upper);
    }
    return out;
}

constexpr int64_t KB = 1024, MB = 1024 * KB;

}  // namespace

TEST(SizeRuleMaking, TypedRanges) {
    struct Case {
        bool lowerRead;
        int64_t lower;
        bool upperRead;
        int64_t upper;
        int check;
    };
    const Case cases[] = {
        {true, 10 * KB, true, 0, kSizeRangeOk},              // no upper limit
        {true, 2 * MB, true, 1 * MB, kSizeLowerAboveUpper},  // 2 MB to 1 MB
        {true, MB, true, MB, kSizeRangeOk},                  // equal bounds
        {true, 0, true, 0, kSizeRangeOk},                    // both unlimited
        {false, 0, true, 5, kSizeLowerUnreadable},
        {true, 5, false, 0, kSizeUpperUnreadable},
        {false, 0, false, 0, kSizeLowerUnreadable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckSizeRange(c.lowerRead, c.lower, c.upperRead, c.upper), c.check)
            << c.lower << " " << c.upper;
}

TEST(SizeRuleMaking, SteppedBatches) {
    struct Case {
        int64_t from, to, step;
        const char* ranges;
    };
    const Case cases[] = {
        {0, KB, 100,
         "0..100 100..200 200..300 300..400 400..500 500..600 600..700 700..800 800..900 900..1000 1000..1024"},
        {0, 1000, 100, "0..100 100..200 200..300 300..400 400..500 500..600 600..700 700..800 800..900 900..1000"},
        {0, 3 * MB / 2, 512 * KB, "0..524288 524288..1048576 1048576..1572864"},
        {5, 6, 100, "5..6"},
        {INT64_MAX - 10, INT64_MAX, 7, "9223372036854775797..9223372036854775804 9223372036854775804..9223372036854775807"},
        {0, INT64_MAX, INT64_MAX, "0..9223372036854775807"},
        {0, 100, 0, ""},
        {100, 100, 10, ""},
    };
    for (const Case& c : cases) {
        const std::vector<SizeRange> steps = SizeBatchSteps(c.from, c.to, c.step);
        EXPECT_EQ(Ranges(steps), c.ranges) << c.from << " " << c.to << " " << c.step;
        EXPECT_EQ(SizeBatchCount(c.from, c.to, c.step), steps.size()) << c.from << " " << c.to << " " << c.step;
    }
}

// The dialog's checks, in the order it makes them; the batch is counted
// before anything is made, so a tiny step over a large span cannot hang.
TEST(SizeRuleMaking, BatchChecks) {
    struct Case {
        int64_t from, to, step;
        int check;
    };
    const Case cases[] = {
        {0, KB, 100, kSizeBatchOk},
        {KB, 0, 100, kSizeBatchOk},  // swapped by the dialog
        {0, KB, 0, kSizeBatchStepZero},
        {KB, KB, 0, kSizeBatchStepZero},
        {KB, KB, 100, kSizeBatchEqual},
        {0, 1000, 1, kSizeBatchOk},          // exactly the limit
        {0, 1001, 1, kSizeBatchTooMany},
        {0, INT64_MAX, 1, kSizeBatchTooMany},
        {INT64_MAX, 0, 1, kSizeBatchTooMany},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckSizeBatch(c.from, c.to, c.step), c.check) << c.from << " " << c.to << " " << c.step;
}

TEST(SizeRuleMaking, BatchPlacement) {
    struct Case {
        const char* name;
        std::string body;
        std::vector<SizeRange> ranges;
        bool makeFolders;
        std::vector<int> answers;
        bool placed;
        std::vector<std::string> shown;
        std::string tree;
    };
    const std::vector<SizeRange> small = {{0, 100}, {100, 200}};
    const Case cases[] = {
        {"one folder a range", "", small, true, {}, true, {},
         ".[]{Unlimited ~ 100.00B[0..100] 100.00B ~ 200.00B[100..200]}"},
        {"into the folder shown", "", small, false, {}, true, {}, ".[0..100,100..200]"},
        {"a folder name taken: nothing is made",
         "<Folder displayname=\"100.00b ~ 200.00B\"/>", small, true, {}, false,
         {"! A Folder named \"100.00B ~ 200.00B\" already exists."}, ".[]{100.00b ~ 200.00B[]}"},
        {"two ranges with the same name: nothing is made", "", {{MB, MB + 1}, {MB + 1, MB + 2}}, true, {}, false,
         {"! A Folder named \"1.00MB ~ 1.00MB\" already exists."}, ".[]"},
        {"an overlap stops the batch; what was made stays", "<Size lower=\"150\" upper=\"160\"/>", small, false,
         {}, false, {"C File size rule \"100.00B ~ 200.00B\": | .\\#0"}, ".[150..160,0..100]"},
        {"Cancel in the move question: nothing more, no empty folders",
         "<Folder displayname=\"Old\"><Size lower=\"0\" upper=\"100\"/></Folder>", small, true, {IDCANCEL}, true,
         {"Q4 File size rule already exists."}, ".[]{Old[0..100] Unlimited ~ 100.00B[]}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::wstring file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, OneProfileDocument(3, c.body)));
        MethodProfile profile(ModelMethod::Size);
        ASSERT_TRUE(profile.Load(file.c_str(), nullptr));
        ScriptedUser user(c.answers);
        EXPECT_EQ(PlaceSizeBatch(user, &profile.root, c.ranges, c.makeFolders), c.placed);
        EXPECT_EQ(user.shown, c.shown);
        EXPECT_EQ(DumpTree(profile.root), c.tree);
    }
}
