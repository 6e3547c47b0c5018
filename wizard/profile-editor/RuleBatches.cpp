#include "RuleBatches.h"

#include <algorithm>

#include "FieldFormats.h"
#include "RuleDisplay.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::editor {

std::vector<std::wstring> SplitBatchExtensions(const std::wstring& input) {
    std::vector<std::wstring> extensions;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t start = input.find_first_not_of(L" \t", at);
        if (start == std::wstring::npos) break;
        std::size_t end = input.find_first_of(L" \t", start);
        if (end == std::wstring::npos) end = input.size();
        std::wstring extension;
        if (NormalizeExtension(input.substr(start, end - start), &extension) != kExtensionInvalid)
            extensions.push_back(extension);
        at = end;
    }
    return extensions;
}

int PlaceTypeRuleBatch(PlacementHost& host, FolderNode* folder, const std::vector<std::wstring>& extensions) {
    PlacementMode mode = PlaceAskEach;
    int placed = 0;
    for (const std::wstring& extension : extensions) {
        if (!PlaceTypeRule(host, folder, extension, &mode, kTypeExtension)) {
            host.Message(CutToField(FillTemplate(host.Text(IDS_FAILED_TYPE_RULE).c_str(), {extension.c_str()})),
                         MB_OK | MB_ICONERROR);
            break;
        }
        ++placed;
    }
    return placed;
}

bool DivideCharRange(wchar_t first, wchar_t last, int parts, std::vector<CharRange>* ranges) {
    std::vector<CharRange> made;
    if (first <= last) {
        const long long count = static_cast<long long>(last) - first + 1;
        const long long wanted = std::max(parts, 1);
        const long long width = (count + wanted - 1) / wanted;
        long long begin = first, end = first + width - 1;
        for (long long part = 1; begin <= last; ++part) {
            end = std::min<long long>(end, last);
            if (part == wanted) end = last;
            if (static_cast<int>(made.size()) == kMaxBatchRules) {
                made.clear();
                if (ranges) ranges->clear();
                return false;
            }
            made.push_back({static_cast<wchar_t>(begin), static_cast<wchar_t>(end)});
            if (part == wanted) break;
            begin = end + 1;
            end += width;
        }
    }
    if (ranges) *ranges = std::move(made);
    return true;
}

std::wstring RangeFolderName(const CharRange& range) {
    return CharText(range.first) + L" - " + CharText(range.last);
}

bool PlaceNameRangeBatch(PlacementHost& host, FolderNode* folder, wchar_t first, wchar_t last, int parts,
                         bool createFolders) {
    const auto abort = [&host] {
        host.Message(host.Text(IDS_BATCH_ABORTED), MB_OK | MB_ICONERROR);
        return false;
    };
    if (!folder || folder->Method() != ModelMethod::Name) return abort();
    if (last < first) std::swap(first, last);
    std::vector<CharRange> ranges;
    if (!DivideCharRange(first, last, parts, &ranges)) {
        const std::wstring limit = IntToText(kMaxBatchRules);
        host.Message(FillTemplate(host.Text(IDS_TOO_MANY_RULES).c_str(), {limit.c_str()}), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::vector<BatchRule> rules;
    for (const CharRange& range : ranges) {
        rules.push_back({RangeFolderName(range), [&host, range](PlacementMode* mode, FolderNode* target) {
                             return PlaceNameRule(host, mode, target, kNameRange, range.first, range.last, nullptr);
                         }});
    }
    return PlaceRuleBatch(host, folder, rules, createFolders) || abort();
}

bool PlaceRuleBatch(PlacementHost& host, FolderNode* folder, const std::vector<BatchRule>& rules,
                    bool makeFolders) {
    if (!folder) return false;
    if (makeFolders) {
        std::vector<std::wstring> names;
        names.reserve(rules.size());
        for (const BatchRule& rule : rules) names.push_back(rule.folderName);
        if (!CheckNewFolderNames(host, folder, names)) return false;
    }
    PlacementMode mode = PlaceAskEach;
    for (const BatchRule& rule : rules) {
        // "Cancel" in the question about a rule found elsewhere places no
        // further rules, and makes no further folders for them either.
        if (mode == PlaceCancelled) break;
        FolderNode* target = folder;
        if (makeFolders) {
            target = AddFolder(host, folder, rule.folderName, std::wstring());
            if (!target) return false;
        }
        if (!rule.place(&mode, target)) return false;
    }
    return true;
}

}  // namespace ordvale::editor
