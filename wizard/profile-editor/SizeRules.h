// Size rules as the editor makes them, without windows: the checks of a
// typed range (New File Size Rule and the size pane), the stepped batch of
// ranges and its folder names, and the batch placed into a folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "EditorTexts.h"
#include "Placement.h"

namespace ordvale::editor {

// What is wrong with two typed bounds (0 is unlimited).
enum SizeRangeCheck : int {
    kSizeRangeOk = 0,
    kSizeLowerUnreadable,  // "Invalid size value ...", the lower field
    kSizeUpperUnreadable,  // the same, the upper field
    kSizeLowerAboveUpper,  // "Invalid size range ...", the lower field
};
// Each bound is checked as read (false: the field does not read); equal
// bounds and an unlimited upper bound are fine.
int CheckSizeRange(bool lowerRead, int64_t lower, bool upperRead, int64_t upper);

struct SizeRange {
    int64_t lower;
    int64_t upper;
    bool operator==(const SizeRange& other) const { return lower == other.lower && upper == other.upper; }
};

// The stepped batch from `from` to `to` every `step` bytes (0 <= from < to,
// step > 0): from..from+step, then on, the last range ending at `to`.
// How many ranges it makes, without making them.
uint64_t SizeBatchCount(int64_t from, int64_t to, int64_t step);
std::vector<SizeRange> SizeBatchSteps(int64_t from, int64_t to, int64_t step);

// The batch dialog's checks, in order; the field to focus on a refusal.
enum SizeBatchCheck : int {
    kSizeBatchOk = 0,
    kSizeBatchStepZero,  // "File size interval can not be zero.", the Every field
    kSizeBatchEqual,     // "... the end size can not be equal to the start size.", the From field
    kSizeBatchTooMany,   // more than kMaxBatchRules ranges, the Every field
};
int CheckSizeBatch(int64_t from, int64_t to, int64_t step);

// "%s ~ %s" of the two bound texts, as the rule is named.
std::wstring SizeRangeName(const TextSource& texts, const SizeRange& range);

// Places the ranges into the folder, each in a folder of its own when asked.
bool PlaceSizeBatch(PlacementHost& host, FolderNode* folder, const std::vector<SizeRange>& ranges,
                    bool makeFolders);

}  // namespace ordvale::editor
