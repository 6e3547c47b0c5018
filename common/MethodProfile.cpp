#include "MethodProfile.h"

#include <cwchar>
#include <string>

#include "ProfileDocument.h"
#include "Text.h"

namespace ordvale {

namespace doc = profile_doc;

ModelMethod ModelMethodOf(int32_t method) {
    return method >= 1 && method <= 4 ? static_cast<ModelMethod>(method) : ModelMethod::None;
}

std::unique_ptr<CConfigureType> MakeRule(ModelMethod method) {
    switch (method) {
        case ModelMethod::Time: return std::make_unique<CConfigureTypeTime>();
        case ModelMethod::Size: return std::make_unique<CConfigureTypeSize>();
        case ModelMethod::Name: return std::make_unique<CConfigureTypeName>();
        default: return std::make_unique<CConfigureTypeType>();
    }
}

// ---- FolderNode -------------------------------------------------------------

FolderNode::FolderNode(ModelMethod method) : rule(MakeRule(method)), method_(method) {
    StoreText(methodWord, rule->MethodWord());
}

FolderNode::~FolderNode() {
    // Deep trees are torn down without deep recursion of destructors.
    std::vector<std::unique_ptr<FolderNode>> pending;
    pending.swap(children);
    while (!pending.empty()) {
        std::unique_ptr<FolderNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children) pending.push_back(std::move(child));
        node->children.clear();
    }
}

void FolderNode::SetDisplayName(const wchar_t* text) {
    if (!text) {
        displayName[0] = L'\0';
        return;
    }
    StoreText(displayName, TrimBlanks(CutToField(text)));
    if (displayName[0]) UpdatePaths();
}

std::wstring FolderNode::StoredLocation(const std::wstring& text) {
    std::wstring value = TrimBlanks(CutToField(text));
    if (!value.empty() && value.back() != L'\\' && value.size() < kTextUnits - 1) value += L'\\';
    return value;
}

void FolderNode::SetLocation(const wchar_t* text) {
    if (!text) {
        location[0] = L'\0';
        return;
    }
    StoreText(location, StoredLocation(text));
    UpdatePaths();
}

void FolderNode::UpdatePaths() {
    std::wstring effective, display;
    if (location[0]) {
        effective = std::wstring(location) + displayName + L"\\";
    } else if (parent) {
        effective = std::wstring(parent->effectivePath) + displayName + L"\\";
    } else {
        effective = L".\\";
    }
    display = parent ? std::wstring(parent->displayPath) + displayName + L"\\" : L".\\";
    StoreText(effectivePath, CutToField(effective));
    StoreText(displayPath, CutToField(display));
    for (auto& child : children) child->UpdatePaths();
}

void FolderNode::LoadTree(NodeXml::CXmlDocument* document, const NodeXml::CXmlNodePtr& element) {
    if (!element || element->IsNull()) return;
    NodeXml::CXmlNodesPtr folders = element->SelectNodes(doc::kXPathFolders);
    if (folders) {
        for (int32_t i = 0; i < folders->GetLength(); ++i) {
            NodeXml::CXmlNodePtr folder = folders->GetItem(i);
            auto child = std::make_unique<FolderNode>(method_);
            child->parent = this;
            child->SetDisplayName(folder->GetAttribute(doc::kAttrDisplayName, L"").c_str());
            child->SetLocation(folder->GetAttribute(doc::kAttrLocation, L"").c_str());
            child->LoadTree(document, folder);
            children.push_back(std::move(child));
        }
    }
    rule->LoadEntries(document, element);
}

void FolderNode::Clear() {
    displayName[0] = L'\0';
    location[0] = L'\0';
    rule->ClearEntries();
    std::vector<std::unique_ptr<FolderNode>> gone;
    gone.swap(children);
}

void FolderNode::ClearModified() {
    modified = false;
    for (auto& child : children) child->ClearModified();
}

// ---- MethodProfile ----------------------------------------------------------

MethodProfile::MethodProfile(ModelMethod method) : root(method) {
    StoreText(methodWord, root.methodWord);
}

void MethodProfile::Clear() {
    displayName[0] = L'\0';
    profileId[0] = L'\0';
    root.Clear();
    root.modified = false;
}

void MethodProfile::SetDestinationRoot(const wchar_t* text) {
    if (!text) return;
    std::wstring value = CutToField(text);
    if (value.empty()) {
        rootPath[0] = L'\0';
        return;
    }
    if (value.back() == L'\\') value.pop_back();
    StoreText(rootPath, CutToField(value + L"\\"));
}

bool MethodProfile::Load(const wchar_t* profileFile, const wchar_t* identifier) {
    Clear();
    NodeXml::CXmlDocument document;
    if (!profileFile || !document.Open(profileFile)) return false;

    if (!identifier) {
        NodeXml::CXmlNodePtr profiles = document.SelectSingleNode(doc::ProfilesXPath(methodWord));
        if (!profiles || profiles->IsNull()) return false;
        StoreText(profileId, profiles->GetAttribute(doc::kAttrDefault, L""));
    } else {
        StoreText(profileId, identifier);
    }

    NodeXml::CXmlNodePtr profile =
        document.SelectSingleNode(doc::ProfileXPath(methodWord, profileId));
    if (!profile || profile->IsNull()) return false;

    root.parent = nullptr;
    root.SetDisplayName(L"");
    root.SetLocation(L"");
    StoreText(displayName, profile->GetAttribute(doc::kAttrDisplayName, L""));
    SetDestinationRoot(profile->GetAttribute(doc::kAttrRootPath, L"").c_str());
    root.LoadTree(&document, profile);
    document.Close();
    return true;
}

}  // namespace ordvale
