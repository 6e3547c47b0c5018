#include "Placement.h"

#include <cwctype>
#include <memory>

#include "FieldFormats.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::editor {

namespace {

constexpr std::size_t kQuestionLimit = 1040;

std::wstring Fill(const TextSource& texts, UINT id, const std::vector<std::wstring>& args,
                  std::size_t limit = kTextUnits - 1) {
    const std::wstring pattern = texts.Text(id);
    std::wstring text;
    switch (args.size()) {
        case 0: text = pattern; break;
        case 1: text = FillTemplate(pattern.c_str(), {args[0].c_str()}); break;
        case 2: text = FillTemplate(pattern.c_str(), {args[0].c_str(), args[1].c_str()}); break;
        default: text = FillTemplate(pattern.c_str(), {args[0].c_str(), args[1].c_str(), args[2].c_str()}); break;
    }
    if (text.size() > limit) text.resize(limit);
    return text;
}

struct MethodTexts {
    UINT exists;     // "already exists under current folder"
    UINT elsewhere;  // the question whether to move it here
    UINT collision;  // 0: this kind never collides
};

MethodTexts TextsOf(ModelMethod method) {
    switch (method) {
        case ModelMethod::Time: return {IDS_TIME_RULE_EXISTS, IDS_TIME_RULE_ELSEWHERE, IDS_TIME_COLLISION};
        case ModelMethod::Size: return {IDS_SIZE_RULE_EXISTS, IDS_SIZE_RULE_ELSEWHERE, IDS_SIZE_COLLISION};
        case ModelMethod::Name: return {IDS_NAME_RULE_EXISTS, IDS_NAME_RULE_ELSEWHERE, IDS_NAME_COLLISION};
        default: return {IDS_TYPE_RULE_EXISTS, IDS_TYPE_RULE_ELSEWHERE, 0};
    }
}

// What the messages name of a rule: the extension, or its two bounds.
std::vector<std::wstring> RuleArgs(const TextSource& texts, ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Time: {
            const auto& rule = static_cast<const TimeEntry&>(entry);
            return {TimeBoundText(texts, rule.begin, true), TimeBoundText(texts, rule.end, false)};
        }
        case ModelMethod::Size: {
            const auto& rule = static_cast<const SizeEntry&>(entry);
            return {SizeBoundText(texts, rule.lower), SizeBoundText(texts, rule.upper)};
        }
        case ModelMethod::Name: {
            const auto& rule = static_cast<const NameEntry&>(entry);
            return {CharText(rule.first), CharText(rule.last)};
        }
        default:
            return {FieldText(static_cast<const TypeEntry&>(entry).extension)};
    }
}

// Whether a new rule of this kind must not overlap others.
bool ChecksCollisions(ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Time:
        case ModelMethod::Size: return true;
        case ModelMethod::Name: return entry.kind == kNameRange;
        default: return false;
    }
}

std::wstring ExistsText(const TextSource& texts, ModelMethod method, const RuleEntry& entry) {
    std::vector<std::wstring> args;
    if (method == ModelMethod::Type) args = RuleArgs(texts, method, entry);
    return Fill(texts, TextsOf(method).exists, args);
}

std::wstring MoveQuestion(const TextSource& texts, ModelMethod method, const RuleEntry& entry, const FolderNode& from,
                          const FolderNode& to) {
    std::vector<std::wstring> args;
    if (method == ModelMethod::Type) args = RuleArgs(texts, method, entry);
    args.push_back(from.effectivePath);
    args.push_back(to.effectivePath);
    return Fill(texts, TextsOf(method).elsewhere, args, kQuestionLimit);
}

std::wstring CollisionText(const TextSource& texts, ModelMethod method, const RuleEntry& entry) {
    return Fill(texts, TextsOf(method).collision, RuleArgs(texts, method, entry));
}

// Indexes of the folder's entries equal to `rule`, each asked of the kind's
// own equality through a one-entry rule object.
std::vector<int> EqualIndexes(FolderNode& folder, const RuleEntry& rule) {
    std::vector<int> found;
    std::unique_ptr<CConfigureType> probe = MakeRule(folder.Method());
    for (int i = 0; i < RuleCount(folder); ++i) {
        probe->ClearEntries();
        probe->Add(RuleAt(folder, i));
        int at = -1;
        if (probe->Find(&rule, &at)) found.push_back(i);
    }
    return found;
}

template <class Visit>
bool WalkTree(FolderNode* folder, const Visit& visit) {
    if (!folder) return false;
    if (visit(*folder)) return true;
    for (auto& child : folder->children)
        if (WalkTree(child.get(), visit)) return true;
    return false;
}

bool IsReservedDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* reserved : fixed)
        if (EqualsNoCase(base, reserved)) return true;
    if (base.size() == 4 && (EqualsNoCase(base.substr(0, 3), L"COM") || EqualsNoCase(base.substr(0, 3), L"LPT"))) {
        const wchar_t digit = base[3];
        // The superscript digits count as well.
        return (digit >= L'1' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2' || digit == L'\x00B3';
    }
    return false;
}

bool MoveHere(const RuleLocation& found, FolderNode* target) {
    return MoveRule(found.folder, found.index, target) != MoveResult::Failed;
}

// The common steps of the four placements.
bool Place(PlacementHost& host, PlacementMode* mode, FolderNode* target, RuleEntry& rule) {
    const ModelMethod method = target->Method();
    RuleLocation found;
    if (FindInTree(RootOf(target), rule, &found)) {
        if (found.folder == target) {
            if (*mode == PlaceSingle || *mode == PlaceAskEach)
                host.Message(ExistsText(host, method, rule), MB_OK | MB_ICONEXCLAMATION);
            return true;
        }
        switch (*mode) {
            case PlaceYesToAll:
                return MoveHere(found, target);
            case PlaceSingle:
            case PlaceAskEach: {
                const bool four = *mode == PlaceAskEach;
                const ReplaceAnswer answer = host.ConfirmReplacement(MoveQuestion(host, method, rule, *found.folder, *target), four);
                if (answer == kReplaceYes) return MoveHere(found, target);
                if (four && answer == kReplaceYesToAll) {
                    *mode = PlaceYesToAll;
                    return MoveHere(found, target);
                }
                if (four && answer != kReplaceNo) *mode = PlaceCancelled;
                return true;
            }
            default:
                return true;
        }
    }
    if (ChecksCollisions(method, rule)) {
        const CollisionList collisions = CollectCollisions(RootOf(target), rule);
        if (!collisions.empty()) {
            host.ShowCollisions(CollisionText(host, method, rule), method, collisions);
            *mode = PlaceCancelled;
            return false;
        }
    }
    host.PrepareRuleDisplay(method, &rule);
    return AddRule(target, rule);
}

// Common checks before a placement: a target of the method, and not cancelled.
enum class Start { Fail, Done, Go };
Start Begin(const PlacementMode* mode, const FolderNode* folder, ModelMethod method) {
    if (!mode || !folder || folder->Method() != method) return Start::Fail;
    if (*mode == PlaceCancelled) return Start::Done;
    return Start::Go;
}

}  // namespace

std::vector<CollisionColumn> CollisionColumns(ModelMethod method) {
    if (method == ModelMethod::Time)
        return {{IDS_COLLISION_PATH, 200}, {IDS_COLLISION_FROM, 80}, {IDS_COLLISION_TO, 80}};
    return {{IDS_COLLISION_RULE, 160}, {IDS_COLLISION_PATH, 200}};
}

std::vector<CollisionRow> CollisionRows(const TextSource& texts, ModelMethod method, const CollisionList& collisions) {
    std::vector<CollisionRow> rows;
    for (const RuleLocation& at : collisions) {
        const RuleEntry* entry = at.folder ? RuleAt(*at.folder, at.index) : nullptr;
        if (!entry) continue;
        CollisionRow row;
        row.image = entry->iconIndex >= 0 ? entry->iconIndex : DefaultRuleIcon(method, *entry);
        const std::wstring path = at.folder->effectivePath;
        const std::vector<std::wstring> bounds = RuleArgs(texts, method, *entry);
        if (method == ModelMethod::Time) {
            row.cells = {path, bounds[0], bounds[1]};
        } else {
            const wchar_t* separator = method == ModelMethod::Size ? L" ~ " : L" - ";
            row.cells = {bounds.size() > 1 ? bounds[0] + separator + bounds[1] : bounds[0], path};
        }
        rows.push_back(row);
    }
    return rows;
}

int PlacementHost::Message(const std::wstring& text, UINT type) const {
    return win::ShowMessageBox(Owner(), text, AppTitle(*this), type);
}

// ---- Folders ----

bool ValidateFolderName(const std::wstring& text) {
    const std::wstring name = TrimBlanks(text);
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 32 || c == 127) return false;
        if (std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) return false;
    }
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsReservedDeviceName(name);
}

FolderNode* FindChildByName(FolderNode* folder, const std::wstring& name) {
    if (!folder) return nullptr;
    const std::wstring wanted = TrimBlanks(CutToField(name));
    for (auto& child : folder->children)
        if (EqualsNoCase(FieldText(child->displayName), wanted)) return child.get();
    return nullptr;
}

FolderNode* AddFolder(PlacementHost& host, FolderNode* parent, const std::wstring& name,
                      const std::wstring& location) {
    if (!parent) return nullptr;
    if (!CheckNewFolderNames(host, parent, {name}, FolderNames::Typed)) return nullptr;
    auto child = std::make_unique<FolderNode>(parent->Method());
    child->parent = parent;
    child->SetDisplayName(TrimBlanks(CutToField(name)).c_str());
    child->SetLocation(location.c_str());
    FolderNode* added = child.get();
    parent->children.push_back(std::move(child));
    parent->modified = true;
    return added;
}

bool CheckNewFolderNames(PlacementHost& host, FolderNode* parent, const std::vector<std::wstring>& names,
                         FolderNames source) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::wstring name = TrimBlanks(CutToField(names[i]));
        if (!ValidateFolderName(name)) {
            std::wstring message = host.Text(IDS_FOLDER_NAME_INVALID);
            if (source == FolderNames::Generated) message = Fill(host, IDS_BATCH_FOLDER_NAME_INVALID, {name}) + message;
            host.Message(message, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        bool taken = FindChildByName(parent, name) != nullptr;
        for (std::size_t j = 0; j < i && !taken; ++j) taken = EqualsNoCase(TrimBlanks(CutToField(names[j])), name);
        if (taken) {
            host.Message(Fill(host, IDS_FOLDER_EXISTS, {name}), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    return true;
}

RenameResult RenameFolder(FolderNode* folder, const std::wstring& name) {
    const std::wstring trimmed = TrimBlanks(CutToField(name));
    if (!folder || !folder->parent || !ValidateFolderName(trimmed)) return RenameResult::Failed;
    for (auto& sibling : folder->parent->children)
        if (sibling.get() != folder && EqualsNoCase(FieldText(sibling->displayName), trimmed))
            return RenameResult::Duplicate;
    folder->SetDisplayName(trimmed.c_str());
    folder->modified = true;
    return RenameResult::Renamed;
}

void SetFolderLocation(FolderNode* folder, const std::wstring& location) {
    if (!folder) return;
    folder->SetLocation(location.c_str());
    folder->modified = true;
}

DeleteResult DeleteChildFolder(FolderNode* parent, FolderNode* folder) {
    if (!parent || !folder) return DeleteResult::NotChild;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (it->get() != folder) continue;
        parent->children.erase(it);
        parent->modified = true;
        return DeleteResult::Deleted;
    }
    return DeleteResult::NotChild;
}

bool IsTreeModified(const FolderNode& folder) {
    if (folder.modified) return true;
    for (const auto& child : folder.children)
        if (IsTreeModified(*child)) return true;
    return false;
}

FolderNode* RootOf(FolderNode* folder) {
    while (folder && folder->parent) folder = folder->parent;
    return folder;
}

bool IsSameOrInside(const FolderNode* folder, const FolderNode* ancestor) {
    for (; folder; folder = folder->parent)
        if (folder == ancestor) return true;
    return false;
}

// ---- Rules ----

bool FindInTree(FolderNode* root, const RuleEntry& rule, RuleLocation* found, const RuleLocation* exclude) {
    RuleLocation result;
    const bool any = WalkTree(root, [&](FolderNode& folder) {
        if (exclude && exclude->folder == &folder) {
            for (int index : EqualIndexes(folder, rule)) {
                if (index == exclude->index) continue;
                result = {&folder, index};
                return true;
            }
            return false;
        }
        int index = -1;
        if (!folder.rule->Find(&rule, &index)) return false;
        result = {&folder, index};
        return true;
    });
    if (found) *found = any ? result : RuleLocation{};
    return any;
}

CollisionList CollectCollisions(FolderNode* root, const RuleEntry& rule, const RuleLocation* exclude) {
    CollisionList list;
    WalkTree(root, [&](FolderNode& folder) {
        std::vector<int> indexes;
        folder.rule->FindCollisions(&rule, &indexes);
        for (int index : indexes) {
            const RuleLocation at{&folder, index};
            if (!exclude || !(at == *exclude)) list.push_back(at);
        }
        return false;
    });
    return list;
}

bool AddRule(FolderNode* folder, const RuleEntry& rule) {
    if (!folder || !folder->rule->Add(&rule)) return false;
    folder->modified = true;
    return true;
}

RemoveResult RemoveRule(FolderNode* folder, const RuleEntry& rule) {
    if (!folder) return RemoveResult::NoFolder;
    if (folder->rule->Remove(&rule) != kRemoved) return RemoveResult::NotFound;
    folder->modified = true;
    return RemoveResult::Removed;
}

bool RemoveRuleAt(FolderNode* folder, int index) {
    if (!folder || !folder->rule->RemoveAt(index)) return false;
    folder->modified = true;
    return true;
}

bool ReplaceRule(FolderNode* folder, int index, const RuleEntry& newRule) {
    RuleEntry* old = folder ? RuleAt(*folder, index) : nullptr;
    if (!old || folder->rule->CopyEntry(old, &newRule) != 1) return false;
    folder->modified = true;
    return true;
}

MoveResult MoveRule(FolderNode* from, int index, FolderNode* to) {
    if (!from || !to || !RuleAt(*from, index)) return MoveResult::Failed;
    if (from == to) return MoveResult::AlreadyThere;
    // The copy goes first: the source entry is gone after RemoveAt.
    const AnyRule moved = CopyRule(*from, index);
    if (!to->rule->Add(moved.Get())) return MoveResult::Failed;
    from->rule->RemoveAt(index);
    from->modified = true;
    to->modified = true;
    return MoveResult::Moved;
}

// ---- Placement ----

bool PlaceTypeRule(PlacementHost& host, FolderNode* target, const std::wstring& extension, PlacementMode* mode,
                   int kind) {
    const Start start = Begin(mode, target, ModelMethod::Type);
    if (start != Start::Go) return start == Start::Done;
    if (kind == kTypeExtension && extension.empty()) return false;
    AnyRule rule(ModelMethod::Type);
    rule.type.kind = kind;
    StoreText(rule.type.extension, extension);
    return Place(host, mode, target, rule.type);
}

bool PlaceTimeRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, const FILETIME* begin,
                   const FILETIME* end) {
    const Start start = Begin(mode, folder, ModelMethod::Time);
    if (start != Start::Go) return start == Start::Done;
    if (!begin && !end) return false;
    AnyRule rule(ModelMethod::Time);
    rule.time.kind = kTimeRange;
    if (begin) rule.time.begin = *begin;
    if (end) rule.time.end = *end;
    return Place(host, mode, folder, rule.time);
}

bool PlaceSizeRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, int kind, const int64_t* lower,
                   const int64_t* upper) {
    const Start start = Begin(mode, folder, ModelMethod::Size);
    if (start != Start::Go) return start == Start::Done;
    if (kind == kSizeRange && !lower && !upper) return false;
    AnyRule rule(ModelMethod::Size);
    rule.size.kind = kind;
    if (kind == kSizeRange) {
        rule.size.lower = lower ? *lower : 0;
        rule.size.upper = upper ? *upper : 0;
    }
    return Place(host, mode, folder, rule.size);
}

bool PlaceNameRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, int kind, wchar_t first,
                   wchar_t last, const wchar_t* expression) {
    const Start start = Begin(mode, folder, ModelMethod::Name);
    if (start != Start::Go) return start == Start::Done;
    if (kind == kNameRegExp && (!expression || !*expression)) return false;
    AnyRule rule(ModelMethod::Name);
    rule.name.kind = kind;
    if (kind == kNameRegExp) {
        StoreText(rule.name.pattern, expression);
    } else {
        rule.name.first = first;
        rule.name.last = last;
    }
    return Place(host, mode, folder, rule.name);
}

bool ReplaceEditedRule(PlacementHost& host, FolderNode* folder, int index, const RuleEntry& newValues) {
    const RuleEntry* edited = folder ? RuleAt(*folder, index) : nullptr;
    if (!edited || edited->kind != newValues.kind) return false;
    const ModelMethod method = folder->Method();
    const RuleLocation self{folder, index};
    FolderNode* root = RootOf(folder);

    RuleLocation found;
    if (FindInTree(root, newValues, &found, &self)) {
        if (found.folder == folder) {
            host.Message(ExistsText(host, method, newValues), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if (host.ConfirmReplacement(MoveQuestion(host, method, newValues, *found.folder, *folder), false) !=
            kReplaceYes)
            return false;
        const AnyRule moved = CopyRule(*found.folder, found.index);
        if (!ReplaceRule(folder, index, *moved.Get())) return false;
        return RemoveRuleAt(found.folder, found.index);
    }
    if (ChecksCollisions(method, newValues)) {
        const CollisionList collisions = CollectCollisions(root, newValues, &self);
        if (!collisions.empty()) {
            host.ShowCollisions(CollisionText(host, method, newValues), method, collisions);
            return false;
        }
    }
    AnyRule prepared = RuleCopy(method, newValues);
    host.PrepareRuleDisplay(method, prepared.Get());
    return ReplaceRule(folder, index, *prepared.Get());
}

}  // namespace ordvale::editor
