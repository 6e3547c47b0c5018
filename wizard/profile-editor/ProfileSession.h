// The profile page's profile commands without windows: which profile is
// loaded, whether it may be left, and Reload, New, Save, Save As, Rename and
// Delete with their questions and messages. The page is the view: it shows
// the selector and the toolbars and runs the profile-name dialog; tests
// stand in for it.
//
// Rules the commands keep:
//   - a failed save is never taken for a saved profile: the message is
//     shown, the profile stays modified, Save stays on, and the page is not
//     left;
//   - a failed load leaves the page unloaded (nothing shown, nothing to edit);
//   - the selector always ends on the loaded profile, also after a cancelled
//     question, Save As or Rename.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "EditorTexts.h"
#include "ProfileStore.h"
#include "RuleDisplay.h"
#include "common/MethodProfile.h"

namespace ordvale::editor {

// The profile-name dialog's inputs and outputs (dialog 161).
struct ProfileNameRequest {
    enum class Mode { New, SaveAs, Rename };
    Mode mode = Mode::New;
    bool showOptions = true;  // Blank / Template and the template list
    std::wstring title;
    std::wstring proposedName;
    std::wstring proposedId;
    std::vector<ProfileEntry> profileList;  // the method's profiles, for templates and duplicates
    // On OK:
    std::wstring name;        // trimmed, not blank, no other profile's name
    std::wstring id;          // the proposed identifier, unchanged
    std::wstring templateId;  // with Template chosen
    bool blank = true;
};

// The name the dialog's OK accepts: the text cut to 259 characters and
// trimmed. Empty when accepted; else the message to show.
std::wstring CheckProfileName(const TextSource& texts, const std::wstring& typed,
                              const std::vector<ProfileEntry>& profiles, std::wstring* name);

class ProfileView {
public:
    virtual ~ProfileView() = default;
    virtual HWND Owner() const = 0;
    // The selector lists the entries (each carrying its own copy of its
    // identifier) and selects the one at `selected` (-1: none).
    virtual void FillSelector(const std::vector<ProfileEntry>& entries, int selected) = 0;
    virtual bool SelectedProfileId(std::wstring* id) const = 0;
    virtual std::wstring SelectorText() const = 0;
    // Puts the selector on the entry with this identifier (none when absent).
    virtual void SelectProfileId(const std::wstring& id) = 0;
    // Reload, Save As, Rename and Delete.
    virtual void EnableProfileCommands(bool enable) = 0;
    virtual void EnableSave(bool enable) = 0;
    // A profile has been loaded: show it from its root.
    virtual void ShowLoadedProfile() = 0;
    // Nothing loaded: list, path box and location cleared, navigation and
    // New Item disabled.
    virtual void ShowUnloaded() = 0;
    // Runs the profile-name dialog; false when cancelled.
    virtual bool AskProfileName(ProfileNameRequest* request) = 0;
};

class ProfileSession {
public:
    ProfileSession(ProfileView& view, const TextSource& texts);
    ProfileSession(const ProfileSession&) = delete;
    ProfileSession& operator=(const ProfileSession&) = delete;

    void LoadForMethod(ModelMethod method, const std::wstring& profileFile);
    // Settles unsaved changes; false when the page must not be left.
    bool ConfirmSaveChanges();

    // Commands.
    void OnProfileChosen();
    void Reload();
    void NewProfile();
    void Save();
    void SaveAs();
    void Rename();
    void DeleteProfile();

    ModelMethod Method() const { return method_; }
    // The model of the page's method; nullptr for an unknown method.
    MethodProfile* Model();
    bool ProfileLoaded() const { return profileLoaded_; }
    const std::wstring& CurrentProfileId() const { return currentProfileId_; }
    const std::wstring& ProfileFile() const { return profileFile_; }
    bool IsModified();
    // Save is on exactly while the loaded profile is modified; the view
    // calls this after every edit, the session after every load and save.
    void ShowSaveState() { view_.EnableSave(IsModified()); }

private:
    bool LoadProfile(const std::wstring& id);
    void FillProfileCombo();
    // What came of the profile-name dialog and the command it asked for.
    enum class NameOutcome { Done, Cancelled, Failed };
    NameOutcome ProfileNameDialog(ProfileNameRequest::Mode mode, const std::wstring& proposedId,
                                  const std::wstring& proposedName, bool showOptions, StoreFailure* why);
    bool SelectedName(std::wstring* name) const;
    int Ask(const std::wstring& text, UINT type) const;
    void ShowFailure(UINT message, StoreFailure why) const;
    std::wstring Filled(UINT id, const std::wstring& value) const;

    ProfileView& view_;
    const TextSource& texts_;
    MethodProfile type_{ModelMethod::Type}, time_{ModelMethod::Time}, size_{ModelMethod::Size},
        name_{ModelMethod::Name};
    ModelMethod method_ = ModelMethod::None;
    std::wstring profileFile_;
    std::wstring currentProfileId_;
    bool profileLoaded_ = false;
};

}  // namespace ordvale::editor
