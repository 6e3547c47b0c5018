#include "ConfigureType.h"

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

namespace {

template <std::size_t N>
std::wstring FieldText(const wchar_t (&field)[N]) {
    return std::wstring(field, BoundedLength(field, N));
}

// A limit of 0 leaves that end open; the upper limit itself is outside.
bool InSpan(int64_t x, int64_t lower, int64_t upper) {
    return (lower == 0 || x >= lower) && (upper == 0 || x < upper);
}

}  // namespace

CConfigureTypeSize::CConfigureTypeSize() {
    StoreText(methodWord, doc::kMethodSize);
    passOrder = {0, 1};
}

void CConfigureTypeSize::LoadEntries(NodeXml::CXmlDocument*, const NodeXml::CXmlNodePtr& element) {
    if (!element || element->IsNull()) return;
    NodeXml::CXmlNodesPtr nodes = element->SelectNodes(doc::ChildRulesXPath(doc::kSizeRuleElement));
    if (!nodes) return;
    for (int32_t i = 0; i < nodes->GetLength(); ++i) {
        NodeXml::CXmlNodePtr node = nodes->GetItem(i);
        if (!node || node->IsNull()) continue;
        SizeEntry entry;
        entry.kind = ParseKindText(node->GetAttribute(doc::kAttrSizeKind, doc::kDefaultKind));
        entry.lower = ParseInt64Prefix(node->GetAttribute(doc::kAttrLower, doc::kDefaultSize));
        entry.upper = ParseInt64Prefix(node->GetAttribute(doc::kAttrUpper, doc::kDefaultSize));
        entries.push_back(entry);
    }
}

bool CConfigureTypeSize::SaveEntries(const NodeXml::CXmlNodePtr& element) {
    if (!element || element->IsNull()) return false;
    for (const SizeEntry& entry : entries) {
        NodeXml::CXmlNodePtr child = element->NewChild(doc::kSizeRuleElement);
        if (!child || child->IsNull()) return false;
        const bool written =
            entry.kind == kSizeRange
                ? child->SetAttribute(doc::kAttrLower, IntToText(entry.lower)) &&
                      child->SetAttribute(doc::kAttrUpper, IntToText(entry.upper))
                : child->SetAttribute(doc::kAttrSizeKind, entry.kind);
        if (!written) return false;
    }
    return true;
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
