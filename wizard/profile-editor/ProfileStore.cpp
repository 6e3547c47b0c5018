#include "ProfileStore.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cwchar>

#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/ProfileDocument.h"
#include "common/Text.h"
#include "common/win/Com.h"

namespace ordvale::editor {

namespace doc = profile_doc;
using NodeXml::CXmlDocument;
using NodeXml::CXmlNodePtr;

namespace {

ReplaceCheck& ReplaceHook() {
    static ReplaceCheck hook;
    return hook;
}

bool Fail(StoreFailure* why, StoreFailure failure) {
    if (why) *why = failure;
    return false;
}

bool Done(StoreFailure* why, bool saved) {
    if (why) *why = saved ? StoreFailure::None : StoreFailure::WriteFailed;
    return saved;
}

bool Valid(const CXmlNodePtr& node) {
    return node && !node->IsNull();
}

// Opens the document for a change: Missing only when the file is not there.
StoreFailure OpenDocument(CXmlDocument& document, const wchar_t* file) {
    if (!file || !*file) return StoreFailure::NoInput;
    if (document.Open(file)) return StoreFailure::None;
    if (GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return StoreFailure::Missing;
    }
    return StoreFailure::Unreadable;
}

std::wstring ChildProfilesXPath(const wchar_t* word) {
    return L"./" + doc::ProfilesElementName(word);
}

// Empty (selects nothing) for an identifier with a double quote.
std::wstring ChildProfileXPath(const wchar_t* word, const std::wstring& id) {
    if (id.find(L'"') != std::wstring::npos) return std::wstring();
    return L"./" + doc::ProfileElementName(word) + L"[@id=\"" + id + L"\"]";
}

// The profiles element below //Ordvale, made when missing.
CXmlNodePtr ProfilesElement(const CXmlNodePtr& ordvale, const wchar_t* word, bool* made) {
    CXmlNodePtr profiles = ordvale->SelectSingleNode(ChildProfilesXPath(word));
    if (made) *made = !Valid(profiles);
    if (!Valid(profiles)) profiles = ordvale->NewChild(doc::ProfilesElementName(word).c_str());
    return profiles;
}

// The number left after stripping, from both ends, every character of `letters`.
long long NumberAfterStripping(const std::wstring& text, const std::wstring& letters) {
    std::size_t first = 0, last = text.size();
    while (first < last && letters.find(text[first]) != std::wstring::npos) ++first;
    while (last > first && letters.find(text[last - 1]) != std::wstring::npos) --last;
    long long value = 0;
    for (std::size_t i = first; i < last && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX) return INT_MAX;
    }
    return value;
}

// Replaces the document with the file just written. Another program that
// has the document open for a moment (a virus scanner, an indexer, an editor
// reading it) makes the replacing move fail with a sharing violation or a
// denied access; such a hold is waited out for a short while before the save
// is given up.
bool ReplaceWith(const wchar_t* written, const std::wstring& profileFile) {
    constexpr int kAttempts = 20;
    constexpr DWORD kPauseMs = 100;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(written, profileFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) ||
            attempt == kAttempts)
            return false;
        Sleep(kPauseMs);
    }
}

}  // namespace

ScopedReplaceCheck::ScopedReplaceCheck(ReplaceCheck check) : previous_(std::move(ReplaceHook())) {
    ReplaceHook() = std::move(check);
}

ScopedReplaceCheck::~ScopedReplaceCheck() {
    ReplaceHook() = std::move(previous_);
}

bool SaveDocumentReplacing(CXmlDocument& document, const std::wstring& profileFile) {
    // A read-only document is not to be replaced (Windows refuses the
    // replacing move too; not every file system does).
    const DWORD attributes = GetFileAttributesW(profileFile.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::wstring folder = ParentFolder(profileFile);
    if (folder.empty()) folder = L".";
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"ovp", 0, temporary)) return false;
    bool ok = document.Save(temporary);
    if (ok) {
        // What was written must read back as a profile document.
        CXmlDocument written;
        ok = written.Open(temporary) && Valid(written.SelectSingleNode(L"/Ordvale"));
    }
    if (ok && ReplaceHook()) ok = ReplaceHook()(temporary);
    if (ok) ok = ReplaceWith(temporary, profileFile);
    if (!ok) DeleteFileW(temporary);
    return ok;
}

void LoadProfileList(MethodProfile* profile, const wchar_t* profileFile) {
    if (!profile) return;
    profile->profileList = wizard::LoadProfileList(profileFile, static_cast<int>(profile->Method()));
}

bool SetDefaultProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& id, StoreFailure* why) {
    win::ComInit com;
    const wchar_t* word = doc::MethodWord(static_cast<int>(method));
    CXmlDocument document;
    const StoreFailure opened = OpenDocument(document, profileFile);
    if (opened != StoreFailure::None) return Fail(why, opened);
    if (!Valid(document.SelectSingleNode(doc::ProfileXPath(word, id.c_str())))) return Fail(why, StoreFailure::NoProfile);
    CXmlNodePtr profiles = document.SelectSingleNode(doc::ProfilesXPath(word));
    if (!Valid(profiles)) return Fail(why, StoreFailure::NoProfile);
    if (profiles->GetAttribute(doc::kAttrDefault, L"") == id) return Done(why, true);  // nothing to write
    if (!profiles->SetAttribute(doc::kAttrDefault, id)) return Fail(why, StoreFailure::WriteFailed);
    return Done(why, SaveDocumentReplacing(document, profileFile));
}

bool WriteFolderTree(FolderNode& folder, const CXmlNodePtr& element) {
    if (!Valid(element)) return false;
    for (auto& child : folder.children) {
        CXmlNodePtr node = element->NewChild(doc::kFolderElement);
        if (!Valid(node) || !node->SetAttribute(doc::kAttrDisplayName, child->displayName) ||
            !node->SetAttribute(doc::kAttrLocation, child->location) || !WriteFolderTree(*child, node))
            return false;
    }
    return folder.rule->SaveEntries(element);
}

bool SaveProfile(MethodProfile& profile, const wchar_t* profileFile, StoreFailure* why) {
    win::ComInit com;
    const wchar_t* word = profile.methodWord;
    const std::wstring id = FieldText(profile.profileId);
    if (id.find(L'"') != std::wstring::npos) return Fail(why, StoreFailure::NoInput);
    CXmlDocument document;
    const StoreFailure opened = OpenDocument(document, profileFile);
    if (opened != StoreFailure::None) return Fail(why, opened);
    // A document without its Ordvale element is not ours to rebuild.
    CXmlNodePtr ordvale = document.SelectSingleNode(L"//Ordvale");
    if (!Valid(ordvale)) return Fail(why, StoreFailure::NoRootElement);
    bool madeProfiles = false;
    CXmlNodePtr profiles = ProfilesElement(ordvale, word, &madeProfiles);
    if (!Valid(profiles) || (madeProfiles && !profiles->SetAttribute(doc::kAttrDefault, id)))
        return Fail(why, StoreFailure::WriteFailed);
    CXmlNodePtr element = profiles->SelectSingleNode(ChildProfileXPath(word, id));
    if (!Valid(element)) {
        element = profiles->NewChild(doc::ProfileElementName(word).c_str());
        if (!Valid(element) || !element->SetAttribute(doc::kAttrDisplayName, profile.displayName) ||
            !element->SetAttribute(doc::kAttrId, id))
            return Fail(why, StoreFailure::WriteFailed);
    } else if (!element->RemoveChildren()) {
        return Fail(why, StoreFailure::WriteFailed);
    }
    if (!WriteFolderTree(profile.root, element)) return Fail(why, StoreFailure::WriteFailed);
    return Done(why, SaveDocumentReplacing(document, profileFile));
}

bool AddBlankProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& displayName,
                     const std::wstring& id, StoreFailure* why) {
    win::ComInit com;
    const wchar_t* word = doc::MethodWord(static_cast<int>(method));
    if (!profileFile || !*profileFile || !*word || displayName.empty() || id.empty())
        return Fail(why, StoreFailure::NoInput);
    CXmlDocument document;
    const StoreFailure opened = OpenDocument(document, profileFile);
    if (opened == StoreFailure::Missing) {
        const std::wstring folder = ParentFolder(profileFile);
        if (!folder.empty() && !FolderExists(folder)) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        if (!document.CreateBlank()) return Fail(why, StoreFailure::WriteFailed);
    } else if (opened != StoreFailure::None) {
        return Fail(why, opened);
    }
    CXmlNodePtr ordvale = document.SelectSingleNode(L"//Ordvale");
    if (!Valid(ordvale)) return Fail(why, StoreFailure::NoRootElement);
    CXmlNodePtr profiles = ProfilesElement(ordvale, word, nullptr);
    CXmlNodePtr element = Valid(profiles) ? profiles->NewChild(doc::ProfileElementName(word).c_str()) : profiles;
    if (!Valid(element) || !element->SetAttribute(doc::kAttrDisplayName, displayName) ||
        !element->SetAttribute(doc::kAttrId, id))
        return Fail(why, StoreFailure::WriteFailed);
    return Done(why, SaveDocumentReplacing(document, profileFile));
}

bool AddProfileFromTemplate(const wchar_t* profileFile, ModelMethod method, const std::wstring& templateId,
                            const std::wstring& displayName, const std::wstring& id, StoreFailure* why) {
    if (!profileFile || displayName.empty() || id.empty()) return Fail(why, StoreFailure::NoInput);
    MethodProfile copy(method);
    if (!copy.Load(profileFile, templateId.c_str())) {
        CXmlDocument probe;
        const StoreFailure opened = OpenDocument(probe, profileFile);
        return Fail(why, opened == StoreFailure::None ? StoreFailure::NoProfile : opened);
    }
    StoreText(copy.displayName, displayName);
    StoreText(copy.profileId, id);
    return SaveProfile(copy, profileFile, why);
}

bool RenameProfileInDocument(const MethodProfile& profile, const wchar_t* profileFile, StoreFailure* why) {
    win::ComInit com;
    CXmlDocument document;
    const StoreFailure opened = OpenDocument(document, profileFile);
    if (opened != StoreFailure::None) return Fail(why, opened);
    CXmlNodePtr element = document.SelectSingleNode(doc::ProfileXPath(profile.methodWord, profile.profileId));
    if (!Valid(element)) return Fail(why, StoreFailure::NoProfile);
    if (!element->SetAttribute(doc::kAttrDisplayName, profile.displayName)) return Fail(why, StoreFailure::WriteFailed);
    return Done(why, SaveDocumentReplacing(document, profileFile));
}

bool DeleteProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& id, StoreFailure* why) {
    win::ComInit com;
    const wchar_t* word = doc::MethodWord(static_cast<int>(method));
    CXmlDocument document;
    const StoreFailure opened = OpenDocument(document, profileFile);
    if (opened != StoreFailure::None) return Fail(why, opened);
    CXmlNodePtr element = document.SelectSingleNode(doc::ProfileXPath(word, id.c_str()));
    if (!Valid(element)) return Fail(why, StoreFailure::NoProfile);
    element->Remove();
    CXmlNodePtr profiles = document.SelectSingleNode(doc::ProfilesXPath(word));
    if (Valid(profiles) && EqualsNoCase(profiles->GetAttribute(doc::kAttrDefault, L""), id)) {
        CXmlNodePtr first = profiles->SelectSingleNode(L"./" + doc::ProfileElementName(word));
        const std::wstring next = Valid(first) ? CutToField(first->GetAttribute(doc::kAttrId, L"")) : std::wstring();
        if (!profiles->SetAttribute(doc::kAttrDefault, next)) return Fail(why, StoreFailure::WriteFailed);
    }
    return Done(why, SaveDocumentReplacing(document, profileFile));
}

ProfileSuggestion SuggestProfileNameAndId(MethodProfile* profile, const wchar_t* profileFile,
                                          const std::wstring& profileWord) {
    LoadProfileList(profile, profileFile);
    const std::wstring methodWord = FieldText(profile->methodWord);
    long long nameNumber = 0, idNumber = 0;
    for (const ProfileEntry& entry : profile->profileList) {
        idNumber = std::max(idNumber, NumberAfterStripping(FieldText(entry.id), methodWord));
        nameNumber = std::max(nameNumber, NumberAfterStripping(FieldText(entry.displayName), profileWord));
    }
    // Texts such as "Type7b" read as 7 too, so the proposal is checked
    // against the list as well.
    auto taken = [&](const std::wstring& text, bool isId) {
        for (const ProfileEntry& entry : profile->profileList)
            if (EqualsNoCase(FieldText(isId ? entry.id : entry.displayName), text)) return true;
        return false;
    };
    ProfileSuggestion suggestion;
    do suggestion.displayName = CutToField(profileWord + std::to_wstring(++nameNumber));
    while (taken(suggestion.displayName, false));
    do suggestion.id = CutToField(methodWord + std::to_wstring(++idNumber));
    while (taken(suggestion.id, true));
    return suggestion;
}

}  // namespace ordvale::editor
