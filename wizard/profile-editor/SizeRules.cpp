#include "SizeRules.h"

#include "FieldFormats.h"
#include "RuleBatches.h"
#include "common/ConfigureType.h"
#include "common/Text.h"

namespace ordvale::editor {

int CheckSizeRange(bool lowerRead, int64_t lower, bool upperRead, int64_t upper) {
    if (!lowerRead) return kSizeLowerUnreadable;
    if (!upperRead) return kSizeUpperUnreadable;
    if (upper != 0 && lower > upper) return kSizeLowerAboveUpper;
    return kSizeRangeOk;
}

uint64_t SizeBatchCount(int64_t from, int64_t to, int64_t step) {
    if (from < 0 || to <= from || step <= 0) return 0;
    const uint64_t span = static_cast<uint64_t>(to) - static_cast<uint64_t>(from);
    return (span - 1) / static_cast<uint64_t>(step) + 1;
}

std::vector<SizeRange> SizeBatchSteps(int64_t from, int64_t to, int64_t step) {
    std::vector<SizeRange> ranges;
    if (SizeBatchCount(from, to, step) == 0) return ranges;
    for (int64_t lower = from; lower < to;) {
        // Never past `to`, and no sum that could overflow on the way.
        const int64_t upper = step >= to - lower ? to : lower + step;
        ranges.push_back({lower, upper});
        lower = upper;
    }
    return ranges;
}

int CheckSizeBatch(int64_t from, int64_t to, int64_t step) {
    if (step == 0) return kSizeBatchStepZero;
    if (from == to) return kSizeBatchEqual;
    const int64_t low = from < to ? from : to, high = from < to ? to : from;
    if (SizeBatchCount(low, high, step) > static_cast<uint64_t>(kMaxBatchRules)) return kSizeBatchTooMany;
    return kSizeBatchOk;
}

std::wstring SizeRangeName(const TextSource& texts, const SizeRange& range) {
    return CutToField(SizeBoundText(texts, range.lower) + L" ~ " + SizeBoundText(texts, range.upper));
}

bool PlaceSizeBatch(PlacementHost& host, FolderNode* folder, const std::vector<SizeRange>& ranges,
                    bool makeFolders) {
    std::vector<BatchRule> rules;
    rules.reserve(ranges.size());
    for (const SizeRange& range : ranges) {
        rules.push_back({SizeRangeName(host, range), [&host, range](PlacementMode* mode, FolderNode* target) {
                             return PlaceSizeRule(host, mode, target, kSizeRange, &range.lower, &range.upper);
                         }});
    }
    return PlaceRuleBatch(host, folder, rules, makeFolders);
}

}  // namespace ordvale::editor
