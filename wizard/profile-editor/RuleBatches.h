// Batches of type and name rules, without windows: the extensions of one
// typed line, a character range divided into parts, and placing a whole
// batch in a folder with one PlacementMode, so that "Yes to all" and
// "Cancel" carry from rule to rule.
#pragma once
#include <string>
#include <vector>

#include "Placement.h"
#include "common/MethodProfile.h"

namespace ordvale::editor {

// ---- File type rules ----

// The extensions typed on one line, separated by blanks, each normalised
// (".txt", "doc" as ".doc"); pieces that are no extension ("abc.") are
// dropped. In the order typed, repeats included.
std::vector<std::wstring> SplitBatchExtensions(const std::wstring& input);

// Places the extensions in order in the folder (PlaceAskEach). The first
// that fails is reported ("Failed creating file type rule for ...") and
// ends the batch. Returns how many placements succeeded before it.
int PlaceTypeRuleBatch(PlacementHost& host, FolderNode* folder, const std::vector<std::wstring>& extensions);

// ---- Character ranges of name rules ----

struct CharRange {
    wchar_t first;
    wchar_t last;
    bool operator==(const CharRange& other) const { return first == other.first && last == other.last; }
};

// The most rules one batch makes.
constexpr int kMaxBatchRules = 1000;

// first to last (in order) cut into consecutive ranges of equal width, the
// width being the number of characters divided by `parts`, rounded up (0
// parts count as one). The last part ends at `last`; when the ranges run
// out before `parts` of them are made, there are fewer: never more ranges
// than characters. False, with no ranges, when there would be more than
// kMaxBatchRules of them.
bool DivideCharRange(wchar_t first, wchar_t last, int parts, std::vector<CharRange>* ranges);

// "%c - %c": the folder a batch makes for a range.
std::wstring RangeFolderName(const CharRange& range);

// The batch command's work after its dialog: divides the range (swapped
// when given backwards) and places one character-range rule per part in the
// folder, or, with createFolders, in a new subfolder per part named by its
// range. Every folder name is checked before the first folder is made. A
// failure on the way ends the batch with "Operations Aborted!..."; what was
// made before it stays. True when the batch ran to its end.
bool PlaceNameRangeBatch(PlacementHost& host, FolderNode* folder, wchar_t first, wchar_t last, int parts,
                         bool createFolders);

}  // namespace ordvale::editor
