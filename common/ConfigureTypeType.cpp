#include "ConfigureType.h"

#include <cwchar>
#include <iterator>

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

namespace {

}  // namespace

CConfigureTypeType::CConfigureTypeType() {
    StoreText(methodWord, doc::kMethodType);
    passOrder = {0, 1};
}

TypeEntry CConfigureTypeType::ReadEntry(const NodeXml::CXmlNode& node) const {
    TypeEntry entry;
    entry.kind = ParseKindText(node.GetAttribute(doc::kAttrTypeKind, doc::kDefaultKind));
    StoreText(entry.extension, node.GetAttribute(doc::kAttrExtension, L""));
    return entry;
}

bool CConfigureTypeType::WriteEntry(NodeXml::CXmlNode& node, const TypeEntry& entry) const {
    // A special is known by its kind alone; its extension field only
    // holds the name the editor shows for it.
    return entry.kind != kTypeExtension
               ? node.SetAttribute(doc::kAttrTypeKind, entry.kind)
               : node.SetAttribute(doc::kAttrExtension, FieldText(entry.extension));
}

bool CConfigureTypeType::Matches(const ShellItem* item, int pass) {
    if (!item) return false;
    if (pass == 0) {
        if (!IsFile(*item)) return false;
        // Asked for every item of a folder that may hold a million, against
        // every extension of the profile: lengths are compared first, and
        // nothing is copied.
        const wchar_t* extension = item->extension.c_str();
        const std::size_t length = item->extension.size();
        for (const TypeEntry& entry : entries) {
            if (entry.kind != kTypeExtension) continue;
            const std::size_t entryLength = wcsnlen(entry.extension, std::size(entry.extension));
            if (EqualsNoCase(entry.extension, entryLength, extension, length)) return true;
        }
        return false;
    }
    if (pass == 1) {
        for (const TypeEntry& entry : entries) {
            switch (entry.kind) {
                case kTypeFolders:
                    if (IsFolder(*item) && !IsFile(*item)) return true;
                    break;
                case kTypeShortcuts:
                    if (IsShortcut(*item)) return true;
                    break;
                case kTypeOtherFiles:
                    if (IsFile(*item) && !IsFolder(*item) && !IsShortcut(*item)) return true;
                    break;
                default:
                    break;
            }
        }
    }
    return false;
}

void CConfigureTypeType::Dump() {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TypeEntry& entry = entries[i];
        std::wstring line = L"Ordvale Type[" + std::to_wstring(i) + L"] kind=" +
                            std::to_wstring(entry.kind) + L" extension=\"" +
                            FieldText(entry.extension) + L"\" icon=" +
                            std::to_wstring(entry.iconIndex) + L"\n";
        OutputDebugStringW(line.c_str());
    }
}

bool CConfigureTypeType::Equal(const TypeEntry& a, const TypeEntry& b) const {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case kTypeExtension:
            return EqualsNoCase(FieldText(a.extension), FieldText(b.extension));
        case kTypeFolders:
        case kTypeShortcuts:
        case kTypeOtherFiles:
            return true;
        default:
            return false;
    }
}

void CConfigureTypeType::Copy(TypeEntry& target, const TypeEntry& source) const {
    StoreText(target.extension, FieldText(source.extension));
    StoreText(target.typeText, FieldText(source.typeText));
    StoreText(target.description, FieldText(source.description));
    target.iconIndex = source.iconIndex;
}

}  // namespace ordvale
