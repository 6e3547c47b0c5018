// Rules as the profile editor shows them: typed access to a folder's rule
// entries, one holder for an entry of any kind, and the display fields
// (name, type text, description, default icon) each rule carries.
#pragma once
#include <string>

#include "EditorTexts.h"
#include "common/ConfigureType.h"
#include "common/MethodProfile.h"
#include "common/TidyJob.h"

namespace ordvale::editor {

// Names the specials carry in their name field.
constexpr const wchar_t* kFoldersSpecialName = L"::{Folders}";
constexpr const wchar_t* kShortcutsSpecialName = L"::{ShortCut}";
constexpr const wchar_t* kUnmatchedSpecialName = L"::{.*}";

// The entry at the index of the folder's rule object, or nullptr.
RuleEntry* RuleAt(FolderNode& folder, int index);
const RuleEntry* RuleAt(const FolderNode& folder, int index);
int RuleCount(const FolderNode& folder);

// One rule entry of any kind, by value; Get() is the entry of `method`.
struct AnyRule {
    explicit AnyRule(ModelMethod ruleMethod = ModelMethod::Type) : method(ruleMethod) {}
    ModelMethod method;
    TypeEntry type;
    TimeEntry time;
    SizeEntry size;
    NameEntry name;
    RuleEntry* Get();
    const RuleEntry* Get() const;
};
// A copy of an entry of the method's kind.
AnyRule RuleCopy(ModelMethod method, const RuleEntry& entry);
// A copy of the folder's entry at the index (kind -1 when out of range).
AnyRule CopyRule(const FolderNode& folder, int index);

// Default image-list indexes of the rule icons (the folder icon is 0).
enum RuleIcon : int {
    kIconFolder = 0,
    kIconTypeShortcuts = 1, kIconTypeFolders = 2, kIconTypeUnmatched = 3,
    kIconTime = 1,
    kIconSizeFolders = 1, kIconSizeRange = 2,
    kIconNameRange = 1, kIconNameRegExp = 2,
};
// The icon a rule shows; -1 for an extension rule, whose icon is the shell's
// icon of the extension.
int DefaultRuleIcon(ModelMethod method, const RuleEntry& entry);

// Fills the entry's display texts: the name (an extension rule keeps its
// extension; a special gets its special name), the type text and the
// description, each cut to 259 characters. The icon is left to the caller.
void PrepareRuleTexts(const TextSource& texts, ModelMethod method, RuleEntry* entry);

// The display fields, for the list's columns.
std::wstring RuleName(ModelMethod method, const RuleEntry& entry);
std::wstring RuleDescription(ModelMethod method, const RuleEntry& entry);
// A type rule's type text; the description for the other kinds.
std::wstring RuleDetail(ModelMethod method, const RuleEntry& entry);

// The friendly name of a file type from the registry: the default value of
// HKEY_CLASSES_ROOT\<class>, the class being the default value of
// HKEY_CLASSES_ROOT\<extension>. Empty when either is missing.
std::wstring FriendlyTypeName(const std::wstring& extension);

// The two bounds of a time or size rule, and the two characters of a name
// range, as the rule texts and messages show them.
std::wstring TimeRangeText(const TextSource& texts, const TimeEntry& entry, const wchar_t* separator);
std::wstring SizeRangeText(const TextSource& texts, const SizeEntry& entry, const wchar_t* separator);
std::wstring CharText(wchar_t c);

}  // namespace ordvale::editor
