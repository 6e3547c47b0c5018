// The profile page's commands without windows: a stand-in page records what
// the selector and the toolbars show, a scripted user answers the questions
// and the profile-name dialog, and the profile file tells what was stored.
#include <gtest/gtest.h>

#include <functional>

#include "EditorScript.h"
#include "ProfileSession.h"
#include "TestSupport.h"
#include "WizardLogic.h"
#include "common/Text.h"
#include "resource.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

const char kDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"Type2\">"
    "<TypeConfigure id=\"Type1\" displayname=\"Work\"><Folder displayname=\"Old\"/></TypeConfigure>"
    "<TypeConfigure id=\"Type2\" displayname=\"Home\"><Folder displayname=\"Docs\"><Ext t=\".txt\"/></Folder>"
    "</TypeConfigure></TypeProfiles></Ordvale>";

class FakePage : public ProfileView {
public:
    HWND Owner() const override { return nullptr; }
    void FillSelector(const std::vector<ProfileEntry>& entries, int index) override {
        selector.clear();
        for (const ProfileEntry& entry : entries) selector.push_back({entry.displayName, entry.id});
        selected = index;
    }
    bool SelectedProfileId(std::wstring* id) const override {
        if (selected < 0) return false;
        *id = selector[static_cast<std::size_t>(selected)].second;
        return true;
    }
    std::wstring SelectorText() const override {
        return selected < 0 ? std::wstring() : selector[static_cast<std::size_t>(selected)].first;
    }
    void SelectProfileId(const std::wstring& id) override {
        selected = -1;
        for (std::size_t i = 0; i < selector.size(); ++i)
            if (selector[i].second == id) selected = static_cast<int>(i);
    }
    void EnableProfileCommands(bool enable) override { commands = enable; }
    void EnableSave(bool enable) override { save = enable; }
    void ShowLoadedProfile() override { shown = "loaded"; }
    void ShowUnloaded() override { shown = "unloaded"; }
    bool AskProfileName(ProfileNameRequest* request) override {
        requests.push_back(*request);
        if (!nameDialog) return false;
        return nameDialog(request);
    }

    // The user picks an entry in the selector.
    void Choose(const std::wstring& name) {
        for (std::size_t i = 0; i < selector.size(); ++i)
            if (selector[i].first == name) selected = static_cast<int>(i);
    }
    std::wstring SelectedName() const { return SelectorText(); }

    std::vector<std::pair<std::wstring, std::wstring>> selector;
    int selected = -1;
    bool commands = false, save = false;
    std::string shown;
    std::function<bool(ProfileNameRequest*)> nameDialog;
    std::vector<ProfileNameRequest> requests;
};

std::function<bool(ProfileNameRequest*)> Answer(const wchar_t* name, const wchar_t* templateId = nullptr) {
    return [=](ProfileNameRequest* request) {
        request->name = name;
        request->blank = templateId == nullptr;
        request->templateId = templateId ? templateId : L"";
        return true;
    };
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, kDocument));
    }
    // The page opened for type profiles, then the loaded profile edited.
    void OpenAndEdit(ScriptedUser& user) {
        session.LoadForMethod(ModelMethod::Type, file);
        ASSERT_TRUE(session.ProfileLoaded());
        ASSERT_NE(AddFolder(user, &session.Model()->root, L"New", L""), nullptr);
        session.ShowSaveState();  // as the page does after every edit
    }
    std::string Stored(const wchar_t* id) {
        MethodProfile profile(ModelMethod::Type);
        if (!profile.Load(file.c_str(), id)) return "(none)";
        return Narrow(profile.displayName) + " " + DumpTree(profile.root);
    }
    std::string DefaultId() {
        for (const ProfileEntry& entry : wizard::LoadProfileList(file.c_str(), 1))
            if (entry.isDefault) return Narrow(entry.id);
        return "(none)";
    }

    TempDir dir;
    std::wstring file;
    FakePage page;
    ScriptedUser texts;  // the string table; answers nothing itself
    ProfileSession session{page, texts};
};

}  // namespace

TEST_F(Session, LoadsTheDefaultProfile) {
    session.LoadForMethod(ModelMethod::Type, file);
    EXPECT_EQ(page.SelectedName(), L"Home");
    EXPECT_EQ(session.CurrentProfileId(), L"Type2");
    EXPECT_TRUE(session.ProfileLoaded());
    EXPECT_EQ(page.shown, "loaded");
    EXPECT_TRUE(page.commands);
    EXPECT_FALSE(page.save);

    session.LoadForMethod(ModelMethod::Size, file);  // no size profiles
    EXPECT_TRUE(page.selector.empty());
    EXPECT_FALSE(session.ProfileLoaded());
    EXPECT_EQ(page.shown, "unloaded");
    EXPECT_FALSE(page.commands);
    session.LoadForMethod(ModelMethodOf(9), file);
    EXPECT_EQ(session.Model(), nullptr);
}

TEST_F(Session, AFailedLoadLeavesNothingLoaded) {
    ASSERT_TRUE(WriteText(file, "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default='Ty\"pe1'>"
                                "<TypeConfigure id='Ty\"pe1' displayname='Odd'><Folder displayname='A'/></TypeConfigure>"
                                "</TypeProfiles></Ordvale>"));
    ScriptedUser user;
    session.LoadForMethod(ModelMethod::Type, file);
    EXPECT_EQ(page.SelectedName(), L"Odd");
    EXPECT_FALSE(session.ProfileLoaded());
    EXPECT_EQ(page.shown, "unloaded");
    EXPECT_TRUE(session.CurrentProfileId().empty());
    EXPECT_TRUE(session.Model()->root.children.empty());
    EXPECT_EQ(user.shown, std::vector<std::string>{"! The profile \"Odd\" could not be loaded."});
    const std::vector<unsigned char> before = ReadBytes(file);
    session.Save();
    session.SaveAs();
    session.Rename();
    EXPECT_EQ(ReadBytes(file), before) << "nothing loaded, nothing to save";
    EXPECT_TRUE(session.ConfirmSaveChanges());
}

TEST_F(Session, SettlingUnsavedChanges) {
    struct Case {
        const char* name;
        int answer;
        bool saveFails;
        bool result;
        bool stillModified;
        std::string stored;
        std::vector<std::string> shown;
    };
    const std::string question = "? Save Changes to Profile \"Home\"?";
    const Case cases[] = {
        {"Yes saves", IDYES, false, true, false, "Home .[]{Docs[.txt] New[]}", {question}},
        {"No drops the changes", IDNO, false, true, false, "Home .[]{Docs[.txt]}", {question}},
        {"Cancel stays", IDCANCEL, false, false, true, "Home .[]{Docs[.txt]}", {question}},
        {"a failed save stays", IDYES, true, false, true, "Home .[]{Docs[.txt]}",
         {question, "! Save Profile Failed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteText(file, kDocument));
        ScriptedUser user({c.answer});
        OpenAndEdit(user);
        user.shown.clear();
        ScopedReplaceCheck failing([&](const std::wstring&) { return !c.saveFails; });
        EXPECT_EQ(session.ConfirmSaveChanges(), c.result);
        EXPECT_EQ(session.IsModified(), c.stillModified);
        EXPECT_EQ(page.save, c.stillModified) << "Save stays on exactly while there is something to save";
        EXPECT_EQ(Stored(L"Type2"), c.stored);
        EXPECT_EQ(user.shown, c.shown);
    }
    ScriptedUser user;
    session.LoadForMethod(ModelMethod::Type, file);
    EXPECT_TRUE(session.ConfirmSaveChanges()) << "nothing changed: nothing asked";
    EXPECT_TRUE(user.shown.empty());
}

TEST_F(Session, AFailedSaveIsNotTakenForASave) {
    ScriptedUser user;
    OpenAndEdit(user);
    {
        ScopedReplaceCheck failing([](const std::wstring&) { return false; });
        session.Save();
    }
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Save Profile Failed."});
    EXPECT_NE(user.fullTexts.back().find(L"could not be written. The previous version has been kept."),
              std::wstring::npos);
    EXPECT_TRUE(session.IsModified());
    EXPECT_TRUE(page.save);
    EXPECT_EQ(Stored(L"Type2"), "Home .[]{Docs[.txt]}");
    session.Save();
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(page.save);
    EXPECT_EQ(Stored(L"Type2"), "Home .[]{Docs[.txt] New[]}");
}

// The page asks the session to show Save's state after every edit; the
// session does after every load, save and settling. Save is then on exactly
// while there is something to save, whatever came before.
TEST_F(Session, SaveFollowsTheModifiedFlag) {
    ScriptedUser user({IDNO});
    session.LoadForMethod(ModelMethod::Type, file);
    EXPECT_FALSE(page.save);
    ASSERT_NE(AddFolder(user, &session.Model()->root, L"One", L""), nullptr);
    session.ShowSaveState();
    EXPECT_TRUE(page.save) << "edited";
    session.Save();
    EXPECT_FALSE(page.save) << "saved";
    page.save = true;  // left on by whatever showed last
    session.ShowSaveState();
    EXPECT_FALSE(page.save) << "nothing changed since the save";
    ASSERT_NE(AddFolder(user, &session.Model()->root, L"Two", L""), nullptr);
    session.ShowSaveState();
    EXPECT_TRUE(page.save) << "edited again";
    session.Reload();  // No: the second edit is given up
    EXPECT_EQ(user.shown, std::vector<std::string>{"? Save Changes to Profile \"Home\"?"});
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(page.save) << "given up";
    EXPECT_EQ(DumpTree(session.Model()->root), ".[]{Docs[.txt] One[]}");
    EXPECT_EQ(Stored(L"Type2"), "Home .[]{Docs[.txt] One[]}");
}

TEST_F(Session, ChoosingAnotherProfile) {
    ScriptedUser user({IDCANCEL, IDNO});
    OpenAndEdit(user);
    page.Choose(L"Work");
    session.OnProfileChosen();
    EXPECT_EQ(page.SelectedName(), L"Home") << "Cancel puts the selector back on the loaded profile";
    EXPECT_EQ(session.CurrentProfileId(), L"Type2");
    EXPECT_TRUE(session.IsModified());

    page.Choose(L"Work");
    session.OnProfileChosen();  // No: the changes go
    EXPECT_EQ(session.CurrentProfileId(), L"Type1");
    EXPECT_EQ(DumpTree(session.Model()->root), ".[]{Old[]}");
    EXPECT_EQ(DefaultId(), "Type1") << "the chosen profile becomes the default";
    EXPECT_EQ(Stored(L"Type2"), "Home .[]{Docs[.txt]}");
}

TEST_F(Session, NewProfiles) {
    ScriptedUser user;
    session.LoadForMethod(ModelMethod::Type, file);
    page.nameDialog = Answer(L"Blank one");
    session.NewProfile();
    ASSERT_EQ(page.requests.size(), 1u);
    EXPECT_EQ(page.requests[0].mode, ProfileNameRequest::Mode::New);
    EXPECT_TRUE(page.requests[0].showOptions);
    EXPECT_EQ(page.requests[0].title, L"New Profile");
    EXPECT_EQ(page.requests[0].proposedName, L"Profile1");
    EXPECT_EQ(page.requests[0].proposedId, L"Type3");
    EXPECT_EQ(page.requests[0].profileList.size(), 2u);
    EXPECT_EQ(session.CurrentProfileId(), L"Type3") << "the new profile is loaded";
    EXPECT_EQ(page.SelectedName(), L"Blank one");
    EXPECT_EQ(DefaultId(), "Type3");

    page.nameDialog = Answer(L"Copy of home", L"Type2");
    session.NewProfile();
    EXPECT_EQ(Stored(L"Type4"), "Copy of home .[]{Docs[.txt]}");
    EXPECT_EQ(session.CurrentProfileId(), L"Type4");

    page.nameDialog = nullptr;  // Cancel
    const auto selectorBefore = page.selector;
    session.NewProfile();
    EXPECT_EQ(page.selector, selectorBefore);
    EXPECT_EQ(page.SelectedName(), L"Copy of home");
    EXPECT_TRUE(user.shown.empty());
}

TEST_F(Session, NewProfileIntoAnUnreadableFileSaysWhy) {
    ScriptedUser user;
    session.LoadForMethod(ModelMethod::Type, file);
    ASSERT_TRUE(WriteText(file, "<Ordvale>"));
    page.nameDialog = Answer(L"Fresh");
    session.NewProfile();
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Create new profile failed."});
    EXPECT_NE(user.fullTexts.back().find(L"cannot be read. It has been left as it is."), std::wstring::npos);
    EXPECT_EQ(ReadUtf8(file), "<Ordvale>");
}

TEST_F(Session, SaveAsAndRenameMoveTheCurrentProfile) {
    ScriptedUser user;
    OpenAndEdit(user);
    page.nameDialog = Answer(L"Home two");
    session.SaveAs();
    ASSERT_EQ(page.requests.size(), 1u);
    EXPECT_EQ(page.requests[0].title, L"Save Profile As ...");
    EXPECT_FALSE(page.requests[0].showOptions);
    EXPECT_EQ(page.requests[0].proposedName, L"Home");
    EXPECT_EQ(session.CurrentProfileId(), L"Type3");
    EXPECT_EQ(page.SelectedName(), L"Home two");
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(page.save);
    EXPECT_EQ(Stored(L"Type3"), "Home two .[]{Docs[.txt] New[]}");
    EXPECT_EQ(Stored(L"Type2"), "Home .[]{Docs[.txt]}") << "the old profile as last saved";
    EXPECT_EQ(DefaultId(), "Type3");

    page.nameDialog = Answer(L"Renamed");
    session.Rename();
    EXPECT_EQ(page.requests.back().title, L"Rename Profile");
    EXPECT_EQ(page.requests.back().proposedId, L"Type3");
    EXPECT_EQ(session.CurrentProfileId(), L"Type3");
    EXPECT_EQ(page.SelectedName(), L"Renamed");
    EXPECT_EQ(Stored(L"Type3"), "Renamed .[]{Docs[.txt] New[]}");
    EXPECT_TRUE(user.shown.empty());
}

TEST_F(Session, AFailedSaveAsChangesNothing) {
    ScriptedUser user;
    OpenAndEdit(user);
    const std::vector<unsigned char> before = ReadBytes(file);
    page.nameDialog = Answer(L"Home two");
    {
        ScopedReplaceCheck failing([](const std::wstring&) { return false; });
        session.SaveAs();
    }
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Save Profile Failed."});
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(session.CurrentProfileId(), L"Type2");
    EXPECT_STREQ(session.Model()->profileId, L"Type2");
    EXPECT_STREQ(session.Model()->displayName, L"Home");
    EXPECT_TRUE(session.IsModified());
    EXPECT_EQ(page.SelectedName(), L"Home");
}

TEST_F(Session, DeletingAProfile) {
    ScriptedUser user({IDNO, IDYES});
    OpenAndEdit(user);
    user.shown.clear();
    session.DeleteProfile();
    EXPECT_EQ(user.shown, std::vector<std::string>{"? Are you sure to delete profile \"Home\"?"});
    EXPECT_TRUE(session.IsModified()) << "No keeps everything, edits included";
    EXPECT_EQ(DumpTree(session.Model()->root), ".[]{Docs[.txt] New[]}");

    session.DeleteProfile();
    EXPECT_EQ(Stored(L"Type2"), "(none)");
    EXPECT_EQ(session.CurrentProfileId(), L"Type1") << "the remaining profile is the default and is loaded";
    EXPECT_EQ(page.SelectedName(), L"Work");
    EXPECT_EQ(page.selector.size(), 1u);
}

TEST(ProfileNames, WhatTheDialogAccepts) {
    ScriptedUser texts;
    std::vector<ProfileEntry> list(2);
    StoreText(list[0].displayName, L"Home");
    StoreText(list[1].displayName, L"Work");
    struct Case {
        const wchar_t* typed;
        const wchar_t* name;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"  Holidays\t", L"Holidays", L""},
        {L" \t", L"", L"Profile name can not be null, please specify a valid profile name."},
        {L"HOME", L"HOME", L"A profile named \"HOME\" already exists, please specify another name."},
        {L" work ", L"work", L"A profile named \"work\" already exists, please specify another name."},
    };
    for (const Case& c : cases) {
        std::wstring name;
        EXPECT_EQ(CheckProfileName(texts, c.typed, list, &name), c.message);
        EXPECT_EQ(name, c.name);
    }
    std::wstring name;
    CheckProfileName(texts, std::wstring(300, L'x'), list, &name);
    EXPECT_EQ(name.size(), 259u);
}
