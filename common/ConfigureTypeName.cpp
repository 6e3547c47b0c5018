#include "ConfigureType.h"

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

namespace {

// First characters are compared as unsigned 16-bit code units.
bool InRange(wchar_t c, wchar_t first, wchar_t last) {
    const auto unit = static_cast<uint16_t>(c);
    return static_cast<uint16_t>(first) <= unit && unit <= static_cast<uint16_t>(last);
}

}  // namespace

CConfigureTypeName::CConfigureTypeName() {
    StoreText(methodWord, doc::kMethodName);
    passOrder = {1, 0, 2};
}

NameEntry CConfigureTypeName::ReadEntry(const NodeXml::CXmlNode& node) const {
    NameEntry entry;
    entry.kind = ParseKindText(node.GetAttribute(doc::kAttrNameKind, doc::kDefaultKind));
    if (entry.kind == kNameRange) {
        // A missing or empty attribute reads as its default, so both
        // texts have a first character.
        entry.first = node.GetAttribute(doc::kAttrFrom, doc::kDefaultFrom)[0];
        entry.last = node.GetAttribute(doc::kAttrTo, doc::kDefaultTo)[0];
    } else if (entry.kind == kNameRegExp) {
        StoreText(entry.pattern, node.GetAttribute(doc::kAttrRegExp, L""));
    }
    return entry;
}

bool CConfigureTypeName::WriteEntry(NodeXml::CXmlNode& node, const NameEntry& entry) const {
    bool written = false;
    if (entry.kind == kNameRange) {
        // The range kind is the default and is not written.
        written = node.SetAttribute(doc::kAttrFrom, std::wstring(1, entry.first)) &&
                  node.SetAttribute(doc::kAttrTo, std::wstring(1, entry.last));
    } else if (entry.kind == kNameRegExp) {
        written = node.SetAttribute(doc::kAttrNameKind, entry.kind) &&
                  node.SetAttribute(doc::kAttrRegExp, FieldText(entry.pattern));
    } else {
        written = node.SetAttribute(doc::kAttrNameKind, entry.kind);
    }
    return written;
}

bool CConfigureTypeName::Matches(const ShellItem* item, int pass) {
    if (!item || item->isVirtual) return false;
    if (pass == 0) {
        if (!item->name[0]) return false;
        for (const NameEntry& entry : entries) {
            if (entry.kind == kNameRange && InRange(item->name[0], entry.first, entry.last))
                return true;
        }
        return false;
    }
    if (pass == 1) {
        // Entries can be edited in place between calls, so the cached text is
        // compared every time (without copying it) and the expression rebuilt
        // when it differs.
        const std::size_t nameLength = BoundedLength(item->name, kTextUnits);
        if (nameLength >= kTextUnits) return false;
        compiled_.resize(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].kind != kNameRegExp) continue;
            CompiledPattern& slot = compiled_[i];
            const wchar_t* pattern = entries[i].pattern;
            const std::size_t length = BoundedLength(pattern, kTextUnits);
            if (!slot.compiled || slot.text.size() != length ||
                slot.text.compare(0, length, pattern, length) != 0) {
                slot.text.assign(pattern, length);
                slot.expression.Compile(slot.text.c_str());  // a bad pattern stays uncompiled
                slot.compiled = true;
            }
            if (slot.expression.Matches(item->name)) return true;
        }
    }
    return false;
}

void CConfigureTypeName::Dump() {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const NameEntry& entry = entries[i];
        std::wstring line = L"Ordvale Name[" + std::to_wstring(i) + L"] kind=" +
                            std::to_wstring(entry.kind);
        if (entry.kind == kNameRange) {
            line += L" from=U+" + std::to_wstring(static_cast<uint16_t>(entry.first)) +
                    L" to=U+" + std::to_wstring(static_cast<uint16_t>(entry.last));
        } else if (entry.kind == kNameRegExp) {
            line += L" regexp=\"" + FieldText(entry.pattern) + L"\"";
        }
        line += L" icon=" + std::to_wstring(entry.iconIndex) + L"\n";
        OutputDebugStringW(line.c_str());
    }
}

bool CConfigureTypeName::Equal(const NameEntry& a, const NameEntry& b) const {
    if (a.kind != b.kind) return false;
    if (a.kind == kNameRange) return a.first == b.first && a.last == b.last;
    if (a.kind == kNameRegExp) return EqualsNoCase(FieldText(a.pattern), FieldText(b.pattern));
    return true;
}

bool CConfigureTypeName::RemoveEqual(const NameEntry& a, const NameEntry& b) const {
    if (a.kind != b.kind) return false;
    if (a.kind == kNameRange) return a.first == b.first && a.last == b.last;
    if (a.kind == kNameRegExp) return FieldText(a.pattern) == FieldText(b.pattern);
    return true;
}

bool CConfigureTypeName::Overlaps(const NameEntry& entry, const NameEntry& given) const {
    if (entry.kind != kNameRange || given.kind != kNameRange) return false;
    return InRange(given.first, entry.first, entry.last) ||
           InRange(entry.first, given.first, given.last);
}

void CConfigureTypeName::Copy(NameEntry& target, const NameEntry& source) const {
    target.first = source.first;
    target.last = source.last;
    StoreText(target.pattern, FieldText(source.pattern));
    StoreText(target.displayName, FieldText(source.displayName));
    StoreText(target.description, FieldText(source.description));
    target.iconIndex = source.iconIndex;
}

}  // namespace ordvale
