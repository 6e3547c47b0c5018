#include "WizardLogic.h"

#include <shlobj.h>

#include "common/AppPaths.h"
#include "common/NodeXml.h"
#include "common/ProfileDocument.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "resource.h"

namespace ordvale::wizard {

ButtonLabel LabelForCode(int code) {
    switch (code) {
        case kLabelNone: return {0, false};
        case kLabelExit: return {IDS_EXIT, true};
        case kLabelFinish: return {IDS_FINISH, true};
        case kLabelPrevious: return {IDS_PREVIOUS, true};
        case kLabelNext: return {IDS_NEXT, true};
        default: return {0, true};
    }
}

Page PageAt(int position) {
    return position >= 0 && position < kPageCount ? static_cast<Page>(position) : Page::None;
}

PageButtons ButtonsForPage(Page page) {
    switch (page) {
        case Page::Target: return {kLabelNone, kLabelExit};
        case Page::Summary: return {kLabelPrevious, kLabelFinish};
        default: return {kLabelPrevious, kLabelNext};
    }
}

Page PreviousPage(Page page, int target) {
    switch (page) {
        case Page::Items: return Page::Target;
        case Page::Method: return target == static_cast<int>(TidyTarget::Selection) ? Page::Items : Page::Target;
        case Page::Profile: return Page::Method;
        case Page::Summary: return Page::Profile;
        default: return Page::None;
    }
}

Page NextPage(Page page) {
    switch (page) {
        case Page::Items: return Page::Method;
        case Page::Method: return Page::Profile;
        case Page::Profile: return Page::Summary;
        default: return Page::None;
    }
}

int MethodForPosition(int position) {
    static const int codes[] = {1, 4, 3, 2};
    return position >= 0 && position < 4 ? codes[position] : 0;
}

int PositionForMethod(int method) {
    for (int i = 0; i < 4; ++i)
        if (MethodForPosition(i) == method) return i;
    return -1;
}

const wchar_t* HelpTopic(Page page) {
    static const wchar_t* const topics[] = {
        L"/html/wizard_tidy_target.htm", L"/html/wizard_tidy_items.htm", L"/html/wizard_tidy_method.htm",
        L"/html/wizard_tidy_profile.htm", L"/html/wizard_tidy_summary.htm"};
    const int position = static_cast<int>(page);
    return PageAt(position) != Page::None ? topics[position] : L"/html/wizard.htm";
}

std::wstring HelpPath(const std::wstring& folder, Page page) {
    return CutToField(FillTemplate(L"%s\\Ordvale.chm::%s", {folder.c_str(), HelpTopic(page)}));
}

std::wstring FinishDestination(const TidyJob& job, const std::wstring& typed) {
    const std::wstring text = CutToField(TrimBlanks(typed));
    if (FolderExists(text) && !EqualsNoCase(text, DefaultDestination(&job))) return text;
    return std::wstring();
}

void CollectItems(TidyJob* job, const std::vector<std::wstring>& rows) {
    ClearItems(job);
    for (const std::wstring& row : rows) AddItem(job, row.c_str());
}

bool ContainsRow(const std::vector<std::wstring>& rows, const std::wstring& path) {
    const std::wstring cut = CutToField(path);
    for (const std::wstring& row : rows)
        if (EqualsNoCase(CutToField(row), cut)) return true;
    return false;
}

std::vector<ProfileEntry> LoadProfileList(const wchar_t* profileFile, int method) {
    std::vector<ProfileEntry> entries;
    const wchar_t* word = profile_doc::MethodWord(method);
    if (!profileFile || !word || !*word) return entries;
    win::ComInit com;
    NodeXml::CXmlDocument document;
    if (!document.Open(profileFile)) return entries;
    NodeXml::CXmlNodePtr profiles = document.SelectSingleNode(profile_doc::ProfilesXPath(word));
    if (!profiles || profiles->IsNull()) return entries;
    const std::wstring defaultId = CutToField(profiles->GetAttribute(profile_doc::kAttrDefault, L""));
    NodeXml::CXmlNodesPtr list = profiles->SelectNodes(L"./" + profile_doc::ProfileElementName(word));
    if (!list) return entries;
    for (int32_t i = 0; i < list->GetLength(); ++i) {
        NodeXml::CXmlNodePtr node = list->GetItem(i);
        if (!node || node->IsNull()) continue;
        ProfileEntry entry;
        StoreText(entry.displayName, node->GetAttribute(profile_doc::kAttrDisplayName, L""));
        StoreText(entry.id, node->GetAttribute(profile_doc::kAttrId, L""));
        entry.isDefault = EqualsNoCase(entry.id, defaultId.c_str()) ? 1 : 0;
        entries.push_back(entry);
    }
    return entries;
}

int DefaultEntryIndex(const std::vector<ProfileEntry>& entries) {
    int index = -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].isDefault) index = static_cast<int>(i);
    return index;
}

bool EnsureProfileDocument(const std::wstring& profileFile, const std::wstring& shippedDocument) {
    if (profileFile.empty() || GetFileAttributesW(profileFile.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    if (!FileExists(shippedDocument)) return false;
    const std::wstring folder = ParentFolder(profileFile);
    if (!folder.empty() && !FolderExists(folder)) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    // Never replaces: fails when the file appeared meanwhile.
    return CopyFileW(shippedDocument.c_str(), profileFile.c_str(), TRUE) != FALSE;
}

}  // namespace ordvale::wizard
