#include "engine/Planner.h"

#include <cwctype>
#include <unordered_map>
#include <unordered_set>

#include "common/PathText.h"
#include "common/Text.h"
#include "engine/ShellItemShell.h"

namespace ordvale {

namespace {

using path::FoldCase;
using path::WithoutTrailingSeparator;

// The first node, in pre-order, whose rules take the item in the pass.
const FolderNode* MatchingWalk(const FolderNode& root, const ShellItem& item, int pass) {
    if (item.isVirtual) return nullptr;
    std::vector<const FolderNode*> pending{&root};
    while (!pending.empty()) {
        const FolderNode* node = pending.back();
        pending.pop_back();
        if (node->rule->Matches(&item, pass)) return node;
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            pending.push_back(child->get());
    }
    return nullptr;
}

// Whether planning must create the folder: it is not a folder, or is a file.
// Nothing changes on disk while planning, so each folder is examined once.
class FolderCheck {
public:
    bool NeedsCreating(const std::wstring& folder) {
        auto key = FoldCase(folder);
        auto found = known_.find(key);
        if (found != known_.end()) return found->second;
        ShellItem item;
        SetPath(&item, folder.c_str());
        Refresh(&item);
        bool needs = !IsFolder(item) || IsFile(item);
        known_.emplace(std::move(key), needs);
        return needs;
    }

private:
    std::unordered_map<std::wstring, bool> known_;
};

Operation* AppendOperation(std::vector<std::unique_ptr<Operation>>* list, OperationKind kind,
                           const wchar_t* source, const wchar_t* destination) {
    auto op = std::make_unique<Operation>();
    op->kind = static_cast<int32_t>(kind);
    op->status = static_cast<int32_t>(OperationStatus::Unknown);
    StoreText(op->source.path, source);
    StoreText(op->destination.path, destination);
    list->push_back(std::move(op));
    return list->back().get();
}

void AddOperationsChecked(std::vector<std::unique_ptr<Operation>>* list, const ShellItem& item,
                          const std::wstring& folder, FolderCheck* check) {
    if (check->NeedsCreating(folder))
        AppendOperation(list, OperationKind::CreateDirectory, folder.c_str(), L"");
    if (item.isVirtual) return;
    Operation* move = AppendOperation(list, OperationKind::Move, item.path, folder.c_str());
    // The executor needs to know whether the path it gets is whole, and,
    // before it looks again, what kind of item it is.
    StoreText(move->source.name, item.name);
    move->source.pathCut = item.pathCut;
    move->source.attributes = item.attributes;
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
    for (int pass : profile.root.rule->PassOrder()) {
        if (const FolderNode* node = MatchingWalk(profile.root, item, pass)) {
            *destination = CombineDestination(FolderPath(*node), profile.rootPath, base);
            return true;
        }
    }
    return false;
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
    AddOperationsChecked(list, *item, folder, &check);
}

void InitializeFromJob(EngineContext* context, const TidyJob* job) {
    context->method = job->method;
    ShellItem* target = &context->target;
    switch (static_cast<TidyTarget>(job->target)) {
        case TidyTarget::Folder:
            ResetItem(target);
            SetPath(target, job->folder);
            EnumerateChildren(target);
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
    MethodProfile* profile = context->ProfileOf(context->method);
    if (!profile) return;
    profile->Load(context->settings.profileFile, job->profileId[0] ? job->profileId : nullptr);
    // Text the user typed: blanks around it are not part of the path.
    profile->SetDestinationRoot(TrimBlanks(FieldText(job->destination)).c_str());
}

void PlanOperations(EngineContext* context) {
    MethodProfile* profile = context->ProfileOf(context->method);
    if (!profile) return;
    ShellItem* target = &context->target;
    const std::wstring base = GetPath(target);

    // The profile's destination folders, the job's destination, and every
    // folder that holds one of them: such a folder inside the target stays
    // where it is (moving it would move destinations into themselves).
    std::unordered_set<std::wstring> destinationFolders;
    auto keep = [&](std::wstring folder) {
        folder = WithoutTrailingSeparator(folder);
        while (!folder.empty() && destinationFolders.insert(FoldCase(folder)).second) {
            const std::wstring parent = path::ParentOf(folder);
            if (parent == folder) break;
            folder = parent;
        }
    };
    for (const std::wstring& folder : CollectFolders(*profile, base)) keep(folder);
    if (IsAbsolutePath(profile->rootPath)) keep(profile->rootPath);

    FolderCheck check;
    std::wstring folder;
    for (const auto& child : target->children) {
        const ShellItem& item = *child;
        if (!FindDestination(*profile, item, base, &folder)) continue;
        if (!item.isVirtual && IsFolder(item) && !IsFile(item) &&
            destinationFolders.count(FoldCase(WithoutTrailingSeparator(item.path))))
            continue;
        // Already where it belongs.
        const std::wstring source = WithoutTrailingSeparator(item.path);
        const std::wstring arrival = CutToField(path::Join(folder, path::LastComponent(source)));
        if (EqualsNoCase(source, arrival)) continue;
        AddOperationsChecked(&context->operations, item, folder, &check);
    }
}

}  // namespace ordvale
