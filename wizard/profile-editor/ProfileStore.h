// The profile store: the layer between the profiles held in memory and the
// profile document. Each operation opens the document, changes it and saves
// it before returning; no document stays open in between.
//
// What the store guarantees about the file:
//   - a save writes a temporary file in the same folder, checks that it reads
//     back, and replaces the old file with it in one step; a save that fails
//     at any point leaves the old file as it was;
//   - a file that exists but cannot be read or parsed is never written, and a
//     document without its Ordvale element is never given another one: both
//     make the operation fail and say why.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/NodeXml.h"

namespace ordvale::editor {

// Why an operation failed, for the message the caller shows.
enum class StoreFailure {
    None,
    NoInput,        // no file, name or identifier given
    Missing,        // the file does not exist
    Unreadable,     // the file exists but cannot be read or parsed
    NoRootElement,  // the document has no Ordvale element
    NoProfile,      // no such profile (or method section)
    WriteFailed,    // the new file could not be written or put in place
};

// Refills the profile's list of its method's profiles (empty when the
// document or the method's section is missing).
void LoadProfileList(MethodProfile* profile, const wchar_t* profileFile);

// Makes the profile the method's default; false when it does not exist.
bool SetDefaultProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& id,
                       StoreFailure* why = nullptr);

// Writes the profile's tree into its profile element (made when missing,
// with the profiles element, which then names it the default). An existing
// element keeps its attributes (rootpath among them) and loses its content.
bool SaveProfile(MethodProfile& profile, const wchar_t* profileFile, StoreFailure* why = nullptr);

// Appends one Folder element per subfolder (recursively), then the folder's
// rules, to the element that stands for the folder.
bool WriteFolderTree(FolderNode& folder, const NodeXml::CXmlNodePtr& element);

// Appends a new, empty profile. Only a file that does not exist yet is
// started afresh (its folder made when missing).
bool AddBlankProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& displayName,
                     const std::wstring& id, StoreFailure* why = nullptr);

// A copy of the template profile under a new name and identifier.
bool AddProfileFromTemplate(const wchar_t* profileFile, ModelMethod method, const std::wstring& templateId,
                            const std::wstring& displayName, const std::wstring& id, StoreFailure* why = nullptr);

// Stores the profile's display name on its profile element.
bool RenameProfileInDocument(const MethodProfile& profile, const wchar_t* profileFile, StoreFailure* why = nullptr);

// Removes the profile. When it was the default, the first remaining profile
// becomes the default (none when no profile remains); otherwise the default
// stays.
bool DeleteProfile(const wchar_t* profileFile, ModelMethod method, const std::wstring& id, StoreFailure* why = nullptr);

struct ProfileSuggestion {
    std::wstring displayName;  // profileWord followed by a number
    std::wstring id;           // the method word followed by a number
};
// Refreshes the profile list, then proposes the next free name and
// identifier: the largest number found after stripping, from both ends, the
// letters of profileWord (names) or of the method word (identifiers), plus one.
ProfileSuggestion SuggestProfileNameAndId(MethodProfile* profile, const wchar_t* profileFile,
                                          const std::wstring& profileWord);

// Saves the document over the file through a temporary file in the same
// folder, replaced in one step.
bool SaveDocumentReplacing(NodeXml::CXmlDocument& document, const std::wstring& profileFile);

// Test seam: called with the finished temporary file just before it replaces
// the document. Returning false stands for a write that failed part-way.
using ReplaceCheck = std::function<bool(const std::wstring& temporaryFile)>;
class ScopedReplaceCheck {
public:
    explicit ScopedReplaceCheck(ReplaceCheck check);
    ~ScopedReplaceCheck();
    ScopedReplaceCheck(const ScopedReplaceCheck&) = delete;
    ScopedReplaceCheck& operator=(const ScopedReplaceCheck&) = delete;

private:
    ReplaceCheck previous_;
};

}  // namespace ordvale::editor
