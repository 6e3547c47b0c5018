#include "ProfileList.h"

#include <cwctype>

#include "EditorIcons.h"
#include "RuleDisplay.h"
#include "common/win/Dpi.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

const UINT kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};

}  // namespace

void CProfileList::Attach(HWND list, HINSTANCE module, const std::wstring (&columnTitles)[3]) {
    list_ = list;
    module_ = module;
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT client = {};
    GetClientRect(list, &client);
    const UINT dpi = win::WindowDpi(list);
    const int name = win::ScaleForDpi(120, dpi), type = win::ScaleForDpi(80, dpi);
    const int widths[] = {name, type, client.right - name - type - win::SystemMetricForDpi(SM_CXVSCROLL, dpi) - 1};
    for (int i = 0; i < 3; ++i) {
        std::wstring title = columnTitles[i];
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = &title[0];
        column.cx = widths[i];
        ListView_InsertColumn(list, i, &column);
    }
}

// ---- Image lists and rule display ----

void CProfileList::RebuildImageLists(ModelMethod method) {
    // The list shares its image lists (LVS_SHAREIMAGELISTS): this owns them.
    const UINT dpi = win::WindowDpi(list_);
    const int largeSize = win::LargeIconSize(dpi), smallSize = win::SmallIconSize(dpi);
    large_.Reset(ImageList_Create(largeSize, largeSize, ILC_COLOR32 | ILC_MASK, 8, 4));
    small_.Reset(ImageList_Create(smallSize, smallSize, ILC_COLOR32 | ILC_MASK, 8, 4));
    extensionIcons_.clear();
    const std::wstring windows = WindowsFolder();
    AddIcon(large_.Get(), ShellIcon(windows.c_str(), 0, SHGFI_LARGEICON));
    AddIcon(small_.Get(), ShellIcon(windows.c_str(), 0, SHGFI_SMALLICON));
    // The rule icons of each method by its number (none for None), large
    // and small, in the order of their indexes.
    static const int kIcons[5][3][2] = {
        {},
        {{IDI_SHORTCUTS_LARGE, IDI_SHORTCUTS_SMALL}, {IDI_FOLDERS_LARGE, IDI_FOLDERS_SMALL},
         {IDI_UNMATCHED_LARGE, IDI_UNMATCHED_SMALL}},
        {{IDI_TIME_RULE_LARGE, IDI_TIME_RULE_SMALL}},
        {{IDI_FOLDERS_LARGE, IDI_FOLDERS_SMALL}, {IDI_SIZE_RULE_LARGE, IDI_SIZE_RULE_SMALL}},
        {{IDI_NAME_RANGE_LARGE, IDI_NAME_RANGE_SMALL}, {IDI_NAME_REGEXP_LARGE, IDI_NAME_REGEXP_SMALL}},
    };
    const int row = static_cast<int>(method);
    for (const auto& pair : kIcons[row >= 1 && row <= 4 ? row : 0]) {
        if (!pair[0]) break;
        AddIcon(large_.Get(), module_, pair[0], largeSize);
        AddIcon(small_.Get(), module_, pair[1], smallSize);
    }
    ListView_SetImageList(list_, large_.Get(), LVSIL_NORMAL);
    ListView_SetImageList(list_, small_.Get(), LVSIL_SMALL);
}

int CProfileList::ExtensionIcon(const std::wstring& extension) {
    std::wstring key = extension;
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(c));
    const auto known = extensionIcons_.find(key);
    if (known != extensionIcons_.end()) return known->second;
    const DWORD flags = SHGFI_USEFILEATTRIBUTES;
    const win::UniqueIcon large = ShellIcon(extension.c_str(), FILE_ATTRIBUTE_NORMAL, flags | SHGFI_LARGEICON);
    const win::UniqueIcon small = ShellIcon(extension.c_str(), FILE_ATTRIBUTE_NORMAL, flags | SHGFI_SMALLICON);
    int index = editor::kIconTypeUnmatched;
    if (large && small) {
        index = AddIcon(large_.Get(), large);
        AddIcon(small_.Get(), small);
    }
    extensionIcons_[key] = index;
    return index;
}

void CProfileList::PrepareRuleDisplay(const editor::TextSource& texts, ModelMethod method, RuleEntry* entry) {
    if (!entry) return;
    editor::PrepareRuleTexts(texts, method, entry);
    entry->iconIndex = editor::DefaultRuleIcon(method, *entry);
    if (entry->iconIndex < 0) entry->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(entry)->extension);
}

void CProfileList::PrepareTree(const editor::TextSource& texts, FolderNode& folder) {
    // Texts now; the shell's icons of extensions when their folder is first
    // listed (they are slow to get, and a profile may hold hundreds).
    const ModelMethod method = folder.Method();
    for (int i = 0; i < editor::RuleCount(folder); ++i) {
        RuleEntry* rule = editor::RuleAt(folder, i);
        editor::PrepareRuleTexts(texts, method, rule);
        rule->iconIndex = editor::DefaultRuleIcon(method, *rule);
    }
    for (auto& child : folder.children) PrepareTree(texts, *child);
}

// ---- The items ----

void CProfileList::Clear() {
    ListView_DeleteAllItems(list_);
    items_.clear();
}

void CProfileList::InsertItem(int index, const ProfileItemRef& ref, const std::wstring& name, int image,
                              const std::wstring& type, const std::wstring& detail) {
    std::wstring text = name;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = &text[0];
    item.iImage = image;
    item.lParam = static_cast<LPARAM>(items_.size());
    items_.push_back(ref);
    const int at = ListView_InsertItem(list_, &item);
    if (at < 0) return;
    std::wstring typeText = type, detailText = detail;
    ListView_SetItemText(list_, at, 1, &typeText[0]);
    ListView_SetItemText(list_, at, 2, &detailText[0]);
}

void CProfileList::Show(FolderNode& folder, const std::wstring& folderKind, const std::wstring& ruleKind) {
    Clear();
    int index = 0;
    for (auto& child : folder.children)
        InsertItem(index++, FolderRef(child.get()), child->displayName, editor::kIconFolder, folderKind,
                   child->effectivePath);
    const ModelMethod method = folder.Method();
    for (int i = 0; i < editor::RuleCount(folder); ++i) {
        RuleEntry* rule = editor::RuleAt(folder, i);
        if (rule->iconIndex < 0 && method == ModelMethod::Type)
            rule->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(rule)->extension);
        InsertItem(index++, RuleRef(&folder, i), editor::RuleName(method, *rule), rule->iconIndex, ruleKind,
                   editor::RuleDetail(method, *rule));
    }
}

void CProfileList::ShowRow(const ProfileItemRef& ref) {
    for (int i = 0; i < ListView_GetItemCount(list_); ++i) {
        const ProfileItemRef* item = ItemRefAt(i);
        if (!item || *item != ref) continue;
        std::wstring name, detail;
        int image = editor::kIconFolder;
        if (ref.IsFolder()) {
            name = ref.folder->displayName;
            detail = ref.folder->effectivePath;
        } else if (RuleEntry* rule = ref.Rule()) {
            const ModelMethod method = ref.folder->Method();
            if (rule->iconIndex < 0 && method == ModelMethod::Type)
                rule->iconIndex = ExtensionIcon(static_cast<TypeEntry*>(rule)->extension);
            name = editor::RuleName(method, *rule);
            detail = editor::RuleDetail(method, *rule);
            image = rule->iconIndex;
        } else {
            return;
        }
        LVITEMW change = {};
        change.mask = LVIF_TEXT | LVIF_IMAGE;
        change.iItem = i;
        change.pszText = &name[0];
        change.iImage = image;
        ListView_SetItem(list_, &change);
        ListView_SetItemText(list_, i, 2, &detail[0]);
        return;
    }
}

std::vector<int> CProfileList::SelectedIndexes() const {
    std::vector<int> indexes;
    for (int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(list_, i, LVNI_SELECTED))
        indexes.push_back(i);
    return indexes;
}

std::vector<ProfileItemRef> CProfileList::SelectedItems() const {
    std::vector<ProfileItemRef> items;
    for (int index : SelectedIndexes())
        if (const ProfileItemRef* ref = ItemRefAt(index)) items.push_back(*ref);
    return items;
}

POINT CProfileList::KeyboardMenuPoint() const {
    RECT item = {};
    const int first = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (first < 0 || !ListView_GetItemRect(list_, first, &item, LVIR_LABEL)) GetClientRect(list_, &item);
    POINT at = {item.left, item.bottom};
    ClientToScreen(list_, &at);
    return at;
}

const ProfileItemRef* CProfileList::ItemRefAt(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!ListView_GetItem(list_, &item)) return nullptr;
    if (item.lParam < 0 || static_cast<std::size_t>(item.lParam) >= items_.size()) return nullptr;
    return &items_[static_cast<std::size_t>(item.lParam)];
}

int CProfileList::ImageAt(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    return ListView_GetItem(list_, &item) ? item.iImage : -1;
}

void CProfileList::SelectItem(const ProfileItemRef& ref) {
    for (int i = 0; i < ListView_GetItemCount(list_); ++i) {
        const ProfileItemRef* item = ItemRefAt(i);
        if (!item || *item != ref) continue;
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list_, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list_, i, FALSE);
        return;
    }
}

void CProfileList::SelectAll() {
    ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void CProfileList::SetView(ListMode view) {
    view_ = view;
    const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
    SetWindowLongPtrW(list_, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | kViewStyles[static_cast<int>(view)]);
}

}  // namespace ordvale::wizard
