#include "ConfigureType.h"

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

namespace {

// A limit of 0 leaves that end open; the upper limit itself is outside.
bool InSpan(int64_t x, int64_t lower, int64_t upper) {
    return (lower == 0 || x >= lower) && (upper == 0 || x < upper);
}

}  // namespace

CConfigureTypeSize::CConfigureTypeSize() {
    StoreText(methodWord, doc::kMethodSize);
    passOrder = {0, 1};
}

SizeEntry CConfigureTypeSize::ReadEntry(const NodeXml::CXmlNode& node) const {
    SizeEntry entry;
    entry.kind = ParseKindText(node.GetAttribute(doc::kAttrSizeKind, doc::kDefaultKind));
    entry.lower = ParseInt64Prefix(node.GetAttribute(doc::kAttrLower, doc::kDefaultSize));
    entry.upper = ParseInt64Prefix(node.GetAttribute(doc::kAttrUpper, doc::kDefaultSize));
    return entry;
}

bool CConfigureTypeSize::WriteEntry(NodeXml::CXmlNode& node, const SizeEntry& entry) const {
    return entry.kind == kSizeRange
               ? node.SetAttribute(doc::kAttrLower, IntToText(entry.lower)) &&
                     node.SetAttribute(doc::kAttrUpper, IntToText(entry.upper))
               : node.SetAttribute(doc::kAttrSizeKind, entry.kind);
}

bool CConfigureTypeSize::Matches(const ShellItem* item, int pass) {
    if (!item) return false;
    if (pass == 0) {
        if (item->isVirtual || !IsFile(*item)) return false;
        const auto size = static_cast<int64_t>(item->size);
        for (const SizeEntry& entry : entries) {
            if (entry.kind == kSizeRange && entry.lower < size &&
                (entry.upper == 0 || size <= entry.upper))
                return true;
        }
        return false;
    }
    if (pass == 1) {
        if (!IsFolder(*item) || IsFile(*item)) return false;
        for (const SizeEntry& entry : entries) {
            if (entry.kind == kSizeFolders) return true;
        }
    }
    return false;
}

void CConfigureTypeSize::Dump() {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SizeEntry& entry = entries[i];
        std::wstring line = L"Ordvale Size[" + std::to_wstring(i) + L"] kind=" +
                            std::to_wstring(entry.kind) + L" lower=" + IntToText(entry.lower) +
                            L" upper=" + IntToText(entry.upper) + L" icon=" +
                            std::to_wstring(entry.iconIndex) + L"\n";
        OutputDebugStringW(line.c_str());
    }
}

bool CConfigureTypeSize::Equal(const SizeEntry& a, const SizeEntry& b) const {
    if (a.kind != b.kind) return false;
    if (a.kind == kSizeRange) return a.lower == b.lower && a.upper == b.upper;
    return true;
}

bool CConfigureTypeSize::Overlaps(const SizeEntry& entry, const SizeEntry& given) const {
    if (entry.kind != kSizeRange || given.kind != kSizeRange) return false;
    return InSpan(given.lower, entry.lower, entry.upper) ||
           InSpan(entry.lower, given.lower, given.upper);
}

void CConfigureTypeSize::Copy(SizeEntry& target, const SizeEntry& source) const {
    target.upper = source.upper;
    target.lower = source.lower;
    StoreText(target.displayName, FieldText(source.displayName));
    StoreText(target.description, FieldText(source.description));
    target.iconIndex = source.iconIndex;
}

}  // namespace ordvale
