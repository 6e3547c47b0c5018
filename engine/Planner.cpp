#include "engine/Planner.h"

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/BeingWritten.h"
#include "common/PathText.h"
#include "common/RealPath.h"
#include "common/Text.h"
#include "engine/ShellItemShell.h"

namespace ordvale {

namespace {

using path::FoldCase;
using path::WithoutTrailingSeparator;

// The first node, in pre-order, whose rules take the item in the pass.
const FolderNode* Walk(const FolderNode& node, const ShellItem& item, int pass) {
    if (node.rule->Matches(&item, pass)) return &node;
    for (const auto& child : node.children)
        if (const FolderNode* found = Walk(*child, item, pass)) return found;
    return nullptr;
}

const FolderNode* MatchingWalk(const FolderNode& root, const ShellItem& item, int pass) {
    return item.isVirtual ? nullptr : Walk(root, item, pass);
}

// The folder node that takes the item, over the passes of the root's rule.
const FolderNode* MatchingFolder(const MethodProfile& profile, const ShellItem& item) {
    for (int pass : profile.root.rule->PassOrder())
        if (const FolderNode* node = MatchingWalk(profile.root, item, pass)) return node;
    return nullptr;
}

// Whether the path names an item directly inside the folder, letter case
// aside ("C:\t\a.txt" in "C:\t\"), without building the paths.
bool DirectlyIn(std::wstring_view path, const std::wstring& folder) {
    std::size_t end = path.size();
    if (end > 1 && path[end - 1] == L'\\') --end;
    if (end == 0) return false;
    const std::size_t slash = path.rfind(L'\\', end - 1);
    if (slash == std::wstring_view::npos || slash + 1 >= end) return false;
    std::size_t folderEnd = folder.size();
    if (folderEnd > 1 && folder[folderEnd - 1] == L'\\' && !path::IsDriveRoot(folder)) --folderEnd;
    // A drive root ends in its backslash, its items' parent part does not.
    const std::size_t parentEnd = path::IsDriveRoot(folder) ? slash + 1 : slash;
    return EqualsNoCase(path.data(), parentEnd, folder.c_str(), folderEnd);
}

std::wstring_view TextOf(const TextField& field) {
    return std::wstring_view(field.c_str(), field.size());
}

// Names known not to stand in the folder target just listed: a path there
// whose first name below the folder is no item's, hidden ones included.
// Asking the file system for such a path costs, under Wine, a look through
// the whole folder. A name that may be a short name, or that the file
// system would read otherwise (a trailing dot or blank), is left to it.
class ListedTarget {
public:
    ListedTarget(const FolderListing& listing, const ChildItems& children)
        : listing_(listing), children_(children) {}

    bool KnownMissing(const std::wstring& path) {
        if (!listing_.complete || listing_.folder.empty()) return false;
        const std::wstring& folder = listing_.folder;
        const std::size_t start = path::IsDriveRoot(folder) ? folder.size() : folder.size() + 1;
        if (path.size() <= start || !EqualsNoCase(path.c_str(), folder.size(), folder.c_str(), folder.size()))
            return false;
        if (!path::IsDriveRoot(folder) && path[folder.size()] != L'\\') return false;
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring_view name(path.c_str() + start, end - start);
        if (name.empty() || name.size() >= kTextUnits || name.find(L'~') != std::wstring_view::npos ||
            name.back() == L'.' || name.back() == L' ')
            return false;
        return !Listed(name);
    }

private:
    bool Listed(std::wstring_view name) {
        for (const std::wstring& hidden : listing_.hidden)
            if (EqualsNoCase(hidden.c_str(), hidden.size(), name.data(), name.size())) return true;
        // The lengths of the items' names, read once: most names asked for
        // have a length no item's name has.
        if (!lengthsRead_) {
            for (const auto& child : children_)
                lengths_[std::min<std::size_t>(child->name.size(), kTextUnits - 1)] = true;
            lengthsRead_ = true;
        }
        if (!lengths_[name.size()]) return false;
        for (const auto& child : children_)
            if (EqualsNoCase(child->name.c_str(), child->name.size(), name.data(), name.size())) return true;
        return false;
    }

    const FolderListing& listing_;
    const ChildItems& children_;
    bool lengthsRead_ = false;
    bool lengths_[kTextUnits] = {};
};

// Whether planning must create the folder: it is not a folder, or is a file.
// Nothing changes on disk while planning, so each folder is examined once.
class FolderCheck {
public:
    explicit FolderCheck(ListedTarget* listed = nullptr) : listed_(listed) {}

    bool NeedsCreating(const std::wstring& folder) {
        // Items come by the thousand for the same folder.
        if (lastValid_ && folder == last_) return lastNeeds_;
        last_ = folder;
        lastValid_ = true;
        lastNeeds_ = Look(folder);
        return lastNeeds_;
    }

private:
    bool Look(const std::wstring& folder) {
        auto key = FoldCase(folder);
        auto found = known_.find(key);
        if (found != known_.end()) return found->second;
        if (listed_ && listed_->KnownMissing(folder)) {
            known_.emplace(std::move(key), true);
            return true;
        }
        ShellItem item;
        SetPath(&item, folder.c_str());
        Refresh(&item);
        bool needs = !IsFolder(item) || IsFile(item);
        known_.emplace(std::move(key), needs);
        return needs;
    }

    ListedTarget* listed_;
    std::unordered_map<std::wstring, bool> known_;
    std::wstring last_;
    bool lastValid_ = false;
    bool lastNeeds_ = false;
};

// The Move of an item carries what the executor needs to know of it before
// it looks again: whether its path is whole, what kind of item it is, and,
// for the run's journal plan, its size and time as it was found.
void CopyListedState(const ShellItem& item, ShellItem* source) {
    StoreText(source->path, item.path);
    StoreText(source->name, item.name);
    source->pathCut = item.pathCut;
    source->attributes = item.attributes;
    source->size = item.size;
    source->lastWriteTime = item.lastWriteTime;
}

// Operations that hold their own items, for a caller whose items may not
// outlive them.
void AddOwnOperations(std::vector<std::unique_ptr<Operation>>* list, const ShellItem& item,
                      const std::wstring& folder, FolderCheck* check) {
    if (check->NeedsCreating(folder)) {
        auto create = std::make_unique<Operation>();
        create->kind = static_cast<int8_t>(OperationKind::CreateDirectory);
        StoreText(create->source.path, folder);
        list->push_back(std::move(create));
    }
    if (item.isVirtual) return;
    auto move = std::make_unique<Operation>();
    move->kind = static_cast<int8_t>(OperationKind::Move);
    CopyListedState(item, &move->source);
    StoreText(move->destination.path, folder);
    list->push_back(std::move(move));
}

// A folder planning sends items to, held once for all the operations that
// refer to it.
struct PlannedFolder {
    ShellItem* item = nullptr;
    std::wstring path;
    bool needsCreating = false;  // it is missing (or a file) now
};

class PlannedFolders {
public:
    explicit PlannedFolders(EngineContext* context) : context_(context) {}
    PlannedFolder& Of(const std::wstring& folder, FolderCheck* check) {
        auto found = byPath_.find(folder);
        if (found != byPath_.end()) return found->second;
        auto item = std::make_unique<ShellItem>();
        StoreText(item->path, folder);
        PlannedFolder planned;
        planned.item = item.get();
        planned.path = item->path.str();
        planned.needsCreating = check->NeedsCreating(planned.path);
        context_->folders.push_back(std::move(item));
        return byPath_.emplace(folder, std::move(planned)).first->second;
    }

private:
    EngineContext* context_;
    std::unordered_map<std::wstring, PlannedFolder> byPath_;  // nodes stay where they are
};

// A Create Directory when the folder is missing (each item bound for it
// brings its own: the later ones find it made and end None), then the
// Move, both referring to the listed item and the one held folder record.
// Whether it planned the Create Directory.
bool AddOperationsChecked(EngineContext* context, ShellItem& item, PlannedFolder* folder) {
    auto& list = context->operations;
    bool creates = false;
    if (folder->needsCreating) {
        auto create = std::make_unique<Operation>(*folder->item, context->noDestination);
        create->kind = static_cast<int8_t>(OperationKind::CreateDirectory);
        list.push_back(std::move(create));
        creates = true;
    }
    if (item.isVirtual) return creates;
    auto move = std::make_unique<Operation>(item, *folder->item);
    move->kind = static_cast<int8_t>(OperationKind::Move);
    list.push_back(std::move(move));
    return creates;
}

}  // namespace

bool IsAbsolutePath(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':';
}

std::wstring FolderPath(const FolderNode& node) {
    std::wstring r;
    if (IsAbsolutePath(node.location)) {
        r = std::wstring(node.location) + node.displayName;
    } else if (node.displayName[0]) {
        r = std::wstring(node.displayName) + L"\\";
    }
    r = CutToField(r);
    for (const FolderNode* up = node.parent; up; up = up->parent) {
        if (IsAbsolutePath(r)) continue;
        if (IsAbsolutePath(up->location)) {
            r = std::wstring(up->location) + up->displayName + L"\\" + r;
        } else if (up->displayName[0]) {
            r = std::wstring(up->displayName) + L"\\" + r;
        }
        r = CutToField(r);
    }
    return r;
}

std::wstring CombineDestination(const std::wstring& relative, const std::wstring& rootPath,
                                const std::wstring& base) {
    std::wstring result;
    if (IsAbsolutePath(relative)) {
        result = relative;
    } else if (!IsAbsolutePath(rootPath) && !base.empty()) {
        result = path::Join(base, relative);
    } else {
        result = rootPath + relative;
    }
    return CutToField(WithoutTrailingSeparator(result));
}

bool FindDestination(const MethodProfile& profile, const ShellItem& item, const std::wstring& base,
                     std::wstring* destination) {
    const FolderNode* node = MatchingFolder(profile, item);
    if (!node) return false;
    *destination = CombineDestination(FolderPath(*node), profile.rootPath, base);
    return true;
}

std::vector<std::wstring> CollectFolders(const MethodProfile& profile, const std::wstring& base) {
    std::vector<std::wstring> folders;
    std::vector<const FolderNode*> pending;
    for (const auto& child : profile.root.children) pending.push_back(child.get());
    while (!pending.empty()) {
        const FolderNode* node = pending.back();
        pending.pop_back();
        folders.push_back(CombineDestination(FolderPath(*node), profile.rootPath, base));
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    return folders;
}

void AddOperations(std::vector<std::unique_ptr<Operation>>* list, ShellItem* item,
                   const std::wstring& folder) {
    FolderCheck check;
    AddOwnOperations(list, *item, folder, &check);
}

void InitializeFromJob(EngineContext* context, const TidyJob* job) {
    context->method = job->method;
    context->targetListing = FolderListing();
    ShellItem* target = &context->target;
    switch (static_cast<TidyTarget>(job->target)) {
        case TidyTarget::Folder:
            ResetItem(target);
            SetPath(target, job->folder);
            EnumerateChildren(target, &context->targetListing);
            break;
        case TidyTarget::Selection:
            for (int32_t i = 0; i < job->itemCount; ++i) AddSelected(target, job->items[i].text);
            break;
        default:
            ResetItem(target);
            SetPath(target, nullptr);
            EnumerateChildren(target);
            break;
    }
    // Nothing to tidy needs no profile: the profile document is not even read.
    if (target->children.empty()) return;
    MethodProfile* profile = context->ProfileOf(context->method);
    if (!profile) return;
    profile->Load(context->settings.profileFile, job->profileId[0] ? job->profileId : nullptr);
    // Text the user typed: blanks around it are not part of the path.
    profile->SetDestinationRoot(TrimBlanks(FieldText(job->destination)).c_str());
}

void PlanOperations(EngineContext* context, const PlanVisitor& visit) {
    MethodProfile* profile = context->ProfileOf(context->method);
    if (!profile) return;
    ShellItem* target = &context->target;
    const std::wstring base = GetPath(target);

    // The profile's destination folders, the job's destination, and every
    // folder that holds one of them: such a folder inside the target stays
    // where it is (moving it would move destinations into themselves).
    // Both as written and as the file system reaches them: a destination
    // given through a link, a short name or a mapped drive can lie inside
    // the target all the same.
    std::unordered_set<std::wstring> destinationFolders;
    ListedTarget listed(context->targetListing, target->children);
    // A destination not made yet lands where its nearest existing parent
    // really is; a missing one inside the target is known so from its listing.
    path::RealFolders realDestinations([&listed](const std::wstring& folder, std::wstring* final) {
        return !listed.KnownMissing(folder) && path::FinalPathOnDisk(folder, final);
    });
    path::RealFolders realItems;
    auto keepChain = [&](std::wstring folder) {
        folder = WithoutTrailingSeparator(folder);
        while (!folder.empty() && destinationFolders.insert(FoldCase(folder)).second) {
            const std::wstring parent = path::ParentOf(folder);
            if (parent == folder) break;
            folder = parent;
        }
    };
    auto keep = [&](const std::wstring& folder) {
        keepChain(folder);
        keepChain(realDestinations.Of(folder));
    };
    // A folder of the target, resolved as a whole: a folder that leads to
    // a destination stays too.
    auto isDestination = [&](const ShellItem& item) {
        const std::wstring path = WithoutTrailingSeparator(item.path.str());
        return destinationFolders.count(FoldCase(path)) || destinationFolders.count(FoldCase(realItems.Of(path)));
    };
    for (const std::wstring& folder : CollectFolders(*profile, base)) keep(folder);
    if (IsAbsolutePath(profile->rootPath)) keep(profile->rootPath);

    // Files another program is still writing are never planned, whatever
    // the rules say: moving a half-done download breaks it.
    // The times come from the listing of the target, not a second one.
    const uint64_t now = FileTimeNow(), settle = SettleTime();
    std::vector<WriteState> writing;
    {
        std::vector<ListedItem> files;
        for (const auto& child : target->children) {
            if (child->isVirtual || !IsFile(*child)) continue;
            ListedItem file;
            file.path = TextOf(child->path);
            file.isFile = true;
            file.lastWrite = (static_cast<uint64_t>(child->lastWriteTime.dwHighDateTime) << 32) |
                             child->lastWriteTime.dwLowDateTime;
            files.push_back(file);
        }
        writing = FindBeingWritten(files, now, settle);
    }
    std::size_t nextFile = 0;

    // At most a Move for each item and a Create Directory for each folder.
    context->operations.reserve(context->operations.size() + target->children.size() + 16);
    FolderCheck check(&listed);
    PlannedFolders folders(context);
    // Each folder's full path is composed once.
    std::unordered_map<const FolderNode*, PlannedFolder*> destinations;
    // Whether an item of a folder, as the file system reaches it, lies
    // directly in a destination: the same answer for all the items of one
    // folder, which a listing's items share.
    std::wstring lastParent;
    std::unordered_map<const PlannedFolder*, bool> reallyThere;
    PlannedItem planned;
    for (const auto& child : target->children) {
        const ShellItem& item = *child;
        planned.item = &item;
        planned.verdict = ItemVerdict::NoRule;
        planned.folder.clear();
        planned.makesFolder = false;
        // A folder still being filled (a copy, an unpack) waits as a file
        // does; the profile's own folders are left anyway, and not looked into.
        const bool beingWritten =
            !item.isVirtual &&
            (IsFile(item) ? writing[nextFile++] != WriteState::Settled
                          : IsFolder(item) && settle != 0 &&
                                !isDestination(item) &&
                                FolderBeingFilled(item.path.str(), now, settle));
        const FolderNode* node = beingWritten ? nullptr : MatchingFolder(*profile, item);
        if (beingWritten) {
            planned.verdict = ItemVerdict::BeingWritten;
        } else if (node) {
            auto known = destinations.find(node);
            if (known == destinations.end())
                known = destinations
                            .emplace(node, &folders.Of(CombineDestination(FolderPath(*node), profile->rootPath, base),
                                                       &check))
                            .first;
            PlannedFolder& folder = *known->second;
            if (visit) planned.folder = folder.path;
            const std::wstring_view itemPath = TextOf(item.path);
            bool alreadyThere;
            if (folder.path.size() + 1 + itemPath.size() < kTextUnits - 1) {
                alreadyThere = DirectlyIn(itemPath, folder.path);
                if (!alreadyThere && !item.isVirtual) {
                    std::wstring_view whole = itemPath;
                    if (whole.size() > 1 && whole.back() == L'\\') whole.remove_suffix(1);
                    const std::size_t slash = whole.rfind(L'\\');
                    if (slash != std::wstring_view::npos && slash > 0 && slash + 1 < whole.size()) {
                        if (whole.substr(0, slash) != lastParent) {
                            lastParent.assign(whole.substr(0, slash));
                            reallyThere.clear();
                        }
                        auto answer = reallyThere.find(&folder);
                        if (answer == reallyThere.end())
                            answer = reallyThere
                                         .emplace(&folder, DirectlyIn(realItems.ItemOf(item.path.str()),
                                                                      realDestinations.Of(folder.path)))
                                         .first;
                        alreadyThere = answer->second;
                    } else {
                        alreadyThere = DirectlyIn(realItems.ItemOf(item.path.str()), realDestinations.Of(folder.path));
                    }
                }
            } else {
                // Near the field's length the arrival is cut as it would be stored.
                const std::wstring source = WithoutTrailingSeparator(item.path.str());
                const std::wstring arrival = CutToField(path::Join(folder.path, path::LastComponent(source)));
                alreadyThere = EqualsNoCase(source, arrival);
            }
            if (!item.isVirtual && IsFolder(item) && !IsFile(item) && isDestination(item)) {
                planned.verdict = ItemVerdict::ProfileFolder;
            } else if (alreadyThere) {
                planned.verdict = ItemVerdict::AlreadyThere;
            } else {
                planned.verdict = ItemVerdict::Move;
                planned.makesFolder = AddOperationsChecked(context, *child, &folder);
            }
        }
        if (visit && !visit(planned)) return;
    }
}

}  // namespace ordvale
