#include "RuleDisplay.h"

#include "FieldFormats.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::editor {

namespace {

template <class Rule>
auto* Entries(CConfigureType* rule) {
    return static_cast<Rule*>(rule);
}

std::wstring RegistryDefault(const std::wstring& key) {
    wchar_t value[260] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return CutToField(value);
}

std::wstring Filled(const TextSource& texts, UINT id, std::initializer_list<const wchar_t*> args) {
    return CutToField(FillTemplate(texts.Text(id).c_str(), args));
}

}  // namespace

RuleEntry* RuleAt(FolderNode& folder, int index) {
    CConfigureType* rule = folder.rule.get();
    switch (folder.Method()) {
        case ModelMethod::Time: return Entries<CConfigureTypeTime>(rule)->GetEntry(index);
        case ModelMethod::Size: return Entries<CConfigureTypeSize>(rule)->GetEntry(index);
        case ModelMethod::Name: return Entries<CConfigureTypeName>(rule)->GetEntry(index);
        default: return Entries<CConfigureTypeType>(rule)->GetEntry(index);
    }
}

const RuleEntry* RuleAt(const FolderNode& folder, int index) {
    return RuleAt(const_cast<FolderNode&>(folder), index);
}

int RuleCount(const FolderNode& folder) {
    return folder.rule->EntryCount();
}

RuleEntry* AnyRule::Get() {
    switch (method) {
        case ModelMethod::Time: return &time;
        case ModelMethod::Size: return &size;
        case ModelMethod::Name: return &name;
        default: return &type;
    }
}

const RuleEntry* AnyRule::Get() const {
    return const_cast<AnyRule*>(this)->Get();
}

AnyRule RuleCopy(ModelMethod method, const RuleEntry& entry) {
    AnyRule copy(method);
    switch (method) {
        case ModelMethod::Time: copy.time = static_cast<const TimeEntry&>(entry); break;
        case ModelMethod::Size: copy.size = static_cast<const SizeEntry&>(entry); break;
        case ModelMethod::Name: copy.name = static_cast<const NameEntry&>(entry); break;
        default: copy.type = static_cast<const TypeEntry&>(entry); break;
    }
    return copy;
}

AnyRule CopyRule(const FolderNode& folder, int index) {
    const RuleEntry* entry = RuleAt(folder, index);
    if (entry) return RuleCopy(folder.Method(), *entry);
    AnyRule none(folder.Method());
    none.Get()->kind = -1;
    return none;
}

int DefaultRuleIcon(ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Type:
            switch (entry.kind) {
                case kTypeFolders: return kIconTypeFolders;
                case kTypeShortcuts: return kIconTypeShortcuts;
                case kTypeOtherFiles: return kIconTypeUnmatched;
                default: return -1;
            }
        case ModelMethod::Time: return kIconTime;
        case ModelMethod::Size: return entry.kind == kSizeFolders ? kIconSizeFolders : kIconSizeRange;
        case ModelMethod::Name: return entry.kind == kNameRegExp ? kIconNameRegExp : kIconNameRange;
        default: return -1;
    }
}

std::wstring CharText(wchar_t c) {
    return std::wstring(1, c);
}

std::wstring TimeRangeText(const TextSource& texts, const TimeEntry& entry, const wchar_t* separator) {
    return TimeBoundText(texts, entry.begin, true) + separator + TimeBoundText(texts, entry.end, false);
}

std::wstring SizeRangeText(const TextSource& texts, const SizeEntry& entry, const wchar_t* separator) {
    return SizeBoundText(texts, entry.lower) + separator + SizeBoundText(texts, entry.upper);
}

void PrepareRuleTexts(const TextSource& texts, ModelMethod method, RuleEntry* entry) {
    if (!entry) return;
    switch (method) {
        case ModelMethod::Type: {
            auto& rule = static_cast<TypeEntry&>(*entry);
            struct Special {
                int32_t kind;
                const wchar_t* name;
                UINT type, description;
            };
            static const Special specials[] = {
                {kTypeFolders, kFoldersSpecialName, IDS_FOLDERS_SPECIAL_TYPE, IDS_FOLDERS_SPECIAL_DESCRIPTION},
                {kTypeShortcuts, kShortcutsSpecialName, IDS_SHORTCUTS_SPECIAL_TYPE, IDS_SHORTCUTS_SPECIAL_DESCRIPTION},
                {kTypeOtherFiles, kUnmatchedSpecialName, IDS_UNMATCHED_SPECIAL_TYPE, IDS_UNMATCHED_SPECIAL_DESCRIPTION},
            };
            for (const Special& s : specials) {
                if (rule.kind != s.kind) continue;
                StoreText(rule.extension, s.name);
                StoreText(rule.typeText, texts.Text(s.type));
                StoreText(rule.description, texts.Text(s.description));
                return;
            }
            StoreText(rule.typeText, FriendlyTypeName(rule.extension));
            StoreText(rule.description, Filled(texts, IDS_EXTENSION_DESCRIPTION, {rule.extension}));
            return;
        }
        case ModelMethod::Time: {
            auto& rule = static_cast<TimeEntry&>(*entry);
            const std::wstring begin = TimeBoundText(texts, rule.begin, true);
            const std::wstring end = TimeBoundText(texts, rule.end, false);
            StoreText(rule.displayName, CutToField(begin + L" - " + end));
            StoreText(rule.description, Filled(texts, IDS_TIME_RULE_DESCRIPTION, {begin.c_str(), end.c_str()}));
            return;
        }
        case ModelMethod::Size: {
            auto& rule = static_cast<SizeEntry&>(*entry);
            if (rule.kind == kSizeFolders) {
                StoreText(rule.displayName, kFoldersSpecialName);
                StoreText(rule.description, texts.Text(IDS_FOLDERS_SPECIAL_DESCRIPTION));
                return;
            }
            const std::wstring lower = SizeBoundText(texts, rule.lower);
            const std::wstring upper = SizeBoundText(texts, rule.upper);
            StoreText(rule.displayName, CutToField(lower + L" ~ " + upper));
            StoreText(rule.description, Filled(texts, IDS_SIZE_RULE_DESCRIPTION, {lower.c_str(), upper.c_str()}));
            return;
        }
        case ModelMethod::Name: {
            auto& rule = static_cast<NameEntry&>(*entry);
            if (rule.kind == kNameRegExp) {
                StoreText(rule.displayName, rule.pattern);
                StoreText(rule.description, Filled(texts, IDS_NAME_REGEXP_DESCRIPTION, {rule.pattern}));
                return;
            }
            const std::wstring first = CharText(rule.first), last = CharText(rule.last);
            StoreText(rule.displayName, first + L" - " + last);
            StoreText(rule.description, Filled(texts, IDS_NAME_RANGE_DESCRIPTION, {first.c_str(), last.c_str()}));
            return;
        }
        default:
            return;
    }
}

std::wstring RuleName(ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Type: return FieldText(static_cast<const TypeEntry&>(entry).extension);
        case ModelMethod::Time: return FieldText(static_cast<const TimeEntry&>(entry).displayName);
        case ModelMethod::Size: return FieldText(static_cast<const SizeEntry&>(entry).displayName);
        case ModelMethod::Name: return FieldText(static_cast<const NameEntry&>(entry).displayName);
        default: return std::wstring();
    }
}

std::wstring RuleDescription(ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Type: return FieldText(static_cast<const TypeEntry&>(entry).description);
        case ModelMethod::Time: return FieldText(static_cast<const TimeEntry&>(entry).description);
        case ModelMethod::Size: return FieldText(static_cast<const SizeEntry&>(entry).description);
        case ModelMethod::Name: return FieldText(static_cast<const NameEntry&>(entry).description);
        default: return std::wstring();
    }
}

std::wstring RuleDetail(ModelMethod method, const RuleEntry& entry) {
    if (method == ModelMethod::Type) return FieldText(static_cast<const TypeEntry&>(entry).typeText);
    return RuleDescription(method, entry);
}

std::wstring FriendlyTypeName(const std::wstring& extension) {
    if (extension.empty()) return std::wstring();
    const std::wstring typeClass = RegistryDefault(extension);
    if (typeClass.empty()) return std::wstring();
    return RegistryDefault(typeClass);
}

}  // namespace ordvale::editor
