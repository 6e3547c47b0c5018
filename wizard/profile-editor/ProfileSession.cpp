#include "ProfileSession.h"

#include "Placement.h"
#include "RuleDisplay.h"
#include "WizardLogic.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::editor {

std::wstring CheckProfileName(const TextSource& texts, const std::wstring& typed,
                              const std::vector<ProfileEntry>& profiles, std::wstring* name) {
    const std::wstring trimmed = TrimBlanks(CutToField(typed));
    if (name) *name = trimmed;
    if (trimmed.empty()) return texts.Text(IDS_PROFILE_NAME_EMPTY);
    for (const ProfileEntry& entry : profiles)
        if (EqualsNoCase(FieldText(entry.displayName), trimmed))
            return CutToField(FillTemplate(texts.Text(IDS_PROFILE_NAME_EXISTS).c_str(), {trimmed.c_str()}));
    return std::wstring();
}

ProfileSession::ProfileSession(ProfileView& view, const TextSource& texts) : view_(view), texts_(texts) {}

MethodProfile* ProfileSession::Model() {
    switch (method_) {
        case ModelMethod::Type: return &type_;
        case ModelMethod::Time: return &time_;
        case ModelMethod::Size: return &size_;
        case ModelMethod::Name: return &name_;
        default: return nullptr;
    }
}

bool ProfileSession::IsModified() {
    MethodProfile* model = Model();
    return model && profileLoaded_ && IsTreeModified(model->root);
}

int ProfileSession::Ask(const std::wstring& text, UINT type) const {
    return win::ShowMessageBox(view_.Owner(), text, AppTitle(texts_), type);
}

std::wstring ProfileSession::Filled(UINT id, const std::wstring& value) const {
    return CutToField(FillTemplate(texts_.Text(id).c_str(), {value.c_str()}));
}

// The command's message, and below it what went wrong with the file.
void ProfileSession::ShowFailure(UINT message, StoreFailure why) const {
    UINT reason = 0;
    switch (why) {
        case StoreFailure::Missing: reason = IDS_DOCUMENT_MISSING; break;
        case StoreFailure::Unreadable: reason = IDS_DOCUMENT_UNREADABLE; break;
        case StoreFailure::NoRootElement: reason = IDS_DOCUMENT_NO_ROOT; break;
        case StoreFailure::WriteFailed: reason = IDS_DOCUMENT_WRITE_FAILED; break;
        case StoreFailure::NoProfile: reason = IDS_PROFILE_GONE; break;
        default: break;
    }
    std::wstring text = texts_.Text(message);
    if (reason) text += L"\r\n\r\n" + Filled(reason, profileFile_);
    Ask(text, MB_OK | MB_ICONERROR);
}

void ProfileSession::LoadForMethod(ModelMethod method, const std::wstring& profileFile) {
    method_ = method;
    profileFile_ = CutToField(profileFile);
    profileLoaded_ = false;
    view_.EnableProfileCommands(false);
    ShowSaveState();
    view_.ShowUnloaded();
    MethodProfile* model = Model();
    if (!model) {
        currentProfileId_.clear();
        view_.FillSelector({}, -1);
        return;
    }
    FillProfileCombo();
    model->Clear();
    std::wstring id;
    if (!view_.SelectedProfileId(&id)) return;
    view_.EnableProfileCommands(true);
    LoadProfile(id);
}

void ProfileSession::FillProfileCombo() {
    MethodProfile* model = Model();
    currentProfileId_.clear();
    if (!model) return;
    LoadProfileList(model, profileFile_.c_str());
    view_.FillSelector(model->profileList, wizard::DefaultEntryIndex(model->profileList));
}

bool ProfileSession::LoadProfile(const std::wstring& id) {
    MethodProfile* model = Model();
    if (!model) return false;
    if (model->Load(profileFile_.c_str(), id.empty() ? nullptr : id.c_str())) {
        currentProfileId_ = FieldText(model->profileId);
        profileLoaded_ = true;
        ShowSaveState();
        view_.ShowLoadedProfile();
        return true;
    }
    // Nothing of the profile may stay reachable.
    model->Clear();
    currentProfileId_.clear();
    profileLoaded_ = false;
    ShowSaveState();
    view_.ShowUnloaded();
    Ask(Filled(IDS_LOAD_PROFILE_FAILED, TrimBlanks(view_.SelectorText())), MB_OK | MB_ICONERROR);
    return false;
}

bool ProfileSession::ConfirmSaveChanges() {
    MethodProfile* model = Model();
    if (!model || !IsModified()) return true;
    // The question names the profile whose changes these are, even when the
    // selector already shows another one.
    const int answer = Ask(Filled(IDS_SAVE_CHANGES, FieldText(model->displayName)), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL || (answer != IDYES && answer != IDNO)) return false;
    if (answer == IDYES) {
        StoreFailure why = StoreFailure::None;
        if (!SaveProfile(*model, profileFile_.c_str(), &why)) {
            ShowFailure(IDS_SAVE_PROFILE_FAILED, why);
            return false;
        }
    }
    model->ClearModified();
    ShowSaveState();
    return true;
}

void ProfileSession::OnProfileChosen() {
    std::wstring chosen;
    if (!Model() || !view_.SelectedProfileId(&chosen)) return;
    if (profileLoaded_ && EqualsNoCase(chosen, currentProfileId_)) return;
    if (!ConfirmSaveChanges()) {
        view_.SelectProfileId(currentProfileId_);
        return;
    }
    view_.EnableProfileCommands(true);
    SetDefaultProfile(profileFile_.c_str(), method_, chosen);
    LoadProfile(chosen);
}

void ProfileSession::Reload() {
    std::wstring id = currentProfileId_;
    if (!Model() || (id.empty() && !view_.SelectedProfileId(&id))) return;
    if (!ConfirmSaveChanges()) return;
    LoadProfile(id);
}

void ProfileSession::NewProfile() {
    MethodProfile* model = Model();
    if (!model) return;
    const bool hadChanges = IsModified();
    if (!ConfirmSaveChanges()) return;
    const ProfileSuggestion suggestion =
        SuggestProfileNameAndId(model, profileFile_.c_str(), texts_.Text(IDS_PROFILE_WORD));
    StoreFailure why = StoreFailure::None;
    const std::wstring before = currentProfileId_;
    const NameOutcome outcome =
        ProfileNameDialog(ProfileNameRequest::Mode::New, suggestion.id, suggestion.displayName, true, &why);
    if (outcome == NameOutcome::Failed) {
        ShowFailure(IDS_CREATE_PROFILE_FAILED, why);
    } else if (hadChanges && profileLoaded_ && currentProfileId_ == before) {
        // The changes were given up above and no other profile came: show
        // the profile as it is stored.
        LoadProfile(before);
    }
}

void ProfileSession::Save() {
    MethodProfile* model = Model();
    if (!model || !profileLoaded_) return;
    StoreFailure why = StoreFailure::None;
    if (!SaveProfile(*model, profileFile_.c_str(), &why)) {
        ShowFailure(IDS_SAVE_PROFILE_FAILED, why);
        return;
    }
    model->ClearModified();
    ShowSaveState();
}

// Save As and Rename start from the selector's text; without a selection or
// a name they cannot.
bool ProfileSession::SelectedName(std::wstring* name) const {
    std::wstring id;
    *name = TrimBlanks(view_.SelectorText());
    if (view_.SelectedProfileId(&id) && !name->empty()) return true;
    Ask(texts_.Text(IDS_SAVE_PROFILE_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
    return false;
}

void ProfileSession::SaveAs() {
    MethodProfile* model = Model();
    std::wstring name;
    if (!model || !profileLoaded_ || !SelectedName(&name)) return;
    const ProfileSuggestion suggestion =
        SuggestProfileNameAndId(model, profileFile_.c_str(), texts_.Text(IDS_PROFILE_WORD));
    StoreFailure why = StoreFailure::None;
    if (ProfileNameDialog(ProfileNameRequest::Mode::SaveAs, suggestion.id, name, false, &why) == NameOutcome::Failed)
        ShowFailure(IDS_SAVE_PROFILE_FAILED, why);
}

void ProfileSession::Rename() {
    MethodProfile* model = Model();
    std::wstring name;
    if (!model || !profileLoaded_ || !SelectedName(&name)) return;
    LoadProfileList(model, profileFile_.c_str());
    StoreFailure why = StoreFailure::None;
    if (ProfileNameDialog(ProfileNameRequest::Mode::Rename, currentProfileId_, name, false, &why) ==
        NameOutcome::Failed)
        ShowFailure(IDS_SAVE_PROFILE_FAILED, why);
}

void ProfileSession::DeleteProfile() {
    std::wstring id;
    if (!Model() || !view_.SelectedProfileId(&id)) return;
    if (Ask(Filled(IDS_DELETE_PROFILE_QUESTION, view_.SelectorText()), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    StoreFailure why = StoreFailure::None;
    if (!editor::DeleteProfile(profileFile_.c_str(), method_, id, &why)) {
        ShowFailure(IDS_DELETE_PROFILE_FAILED, why);
        return;
    }
    LoadForMethod(method_, profileFile_);
}

ProfileSession::NameOutcome ProfileSession::ProfileNameDialog(ProfileNameRequest::Mode mode,
                                                              const std::wstring& proposedId,
                                                              const std::wstring& proposedName, bool showOptions,
                                                              StoreFailure* why) {
    MethodProfile* model = Model();
    if (!model || proposedId.empty() || proposedName.empty()) {
        *why = StoreFailure::NoInput;
        return NameOutcome::Failed;
    }
    ProfileNameRequest request;
    request.mode = mode;
    request.showOptions = showOptions;
    const UINT title = mode == ProfileNameRequest::Mode::SaveAs   ? IDS_TITLE_SAVE_PROFILE_AS
                       : mode == ProfileNameRequest::Mode::Rename ? IDS_TITLE_RENAME_PROFILE
                                                                  : IDS_TITLE_NEW_PROFILE;
    request.title = texts_.Text(title);
    request.proposedName = proposedName;
    request.proposedId = proposedId;
    request.profileList = model->profileList;
    request.name = proposedName;
    request.id = proposedId;
    if (!view_.AskProfileName(&request)) return NameOutcome::Cancelled;

    const wchar_t* file = profileFile_.c_str();
    switch (mode) {
        case ProfileNameRequest::Mode::New: {
            const bool made = request.blank || request.templateId.empty()
                                  ? AddBlankProfile(file, method_, request.name, request.id, why)
                                  : AddProfileFromTemplate(file, method_, request.templateId, request.name,
                                                           request.id, why);
            if (!made) return NameOutcome::Failed;
            SetDefaultProfile(file, method_, request.id);
            LoadForMethod(method_, profileFile_);
            if (currentProfileId_ != request.id) {
                view_.SelectProfileId(request.id);
                view_.EnableProfileCommands(true);
                LoadProfile(request.id);
            }
            return NameOutcome::Done;
        }
        case ProfileNameRequest::Mode::SaveAs: {
            const std::wstring oldName = FieldText(model->displayName), oldId = FieldText(model->profileId);
            StoreText(model->displayName, request.name);
            StoreText(model->profileId, request.id);
            if (!SaveProfile(*model, file, why)) {
                StoreText(model->displayName, oldName);
                StoreText(model->profileId, oldId);
                return NameOutcome::Failed;
            }
            SetDefaultProfile(file, method_, request.id);
            model->ClearModified();
            ShowSaveState();
            FillProfileCombo();
            currentProfileId_ = FieldText(model->profileId);
            view_.SelectProfileId(currentProfileId_);
            return NameOutcome::Done;
        }
        case ProfileNameRequest::Mode::Rename: {
            const std::wstring oldName = FieldText(model->displayName);
            StoreText(model->displayName, request.name);
            if (!RenameProfileInDocument(*model, file, why)) {
                StoreText(model->displayName, oldName);
                return NameOutcome::Failed;
            }
            SetDefaultProfile(file, method_, FieldText(model->profileId));
            FillProfileCombo();
            currentProfileId_ = FieldText(model->profileId);
            view_.SelectProfileId(currentProfileId_);
            return NameOutcome::Done;
        }
    }
    return NameOutcome::Failed;
}

}  // namespace ordvale::editor
