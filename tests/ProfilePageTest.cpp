// The profile page in the wizard frame, created from the program's resources
// in this process and used the way a person does: clicks on the list, the
// toolbars and the buttons, keys, menu commands, and the modal dialogs
// answered as they come up. Message boxes are answered through the seam.
// What was stored is read back from the profile file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "DialogMultiReplace.h"
#include "DialogRuleCollision.h"
#include "ProfilePageFixture.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

const char kDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"Type1\">"
    "<TypeConfigure id=\"Type1\" displayname=\"Home\" rootpath=\"D:\\Sorted\">"
    "<Folder displayname=\"Docs\"><Folder displayname=\"Letters\"><Ext t=\".doc\"/></Folder>"
    "<Ext t=\".txt\"/><Ext t=\".TXT\"/></Folder>"
    "<Folder displayname=\"Pics\"><Ext t=\".jpg\"/></Folder><Folder displayname=\"Music\"/><Ext ti=\"2\"/>"
    "</TypeConfigure>"
    "<TypeConfigure id=\"Type2\" displayname=\"Work\"><Folder displayname=\"Old\"/></TypeConfigure>"
    "</TypeProfiles>"
    "<SizeProfiles default=\"Size1\"><SizeConfigure id=\"Size1\" displayname=\"Sizes\">"
    "<Folder displayname=\"Dirs\"><Size si=\"1\"/></Folder><Size lower=\"0\" upper=\"1024\"/></SizeConfigure></SizeProfiles>"
    "</Ordvale>";

const std::vector<std::wstring> kRootRows = {L"Docs", L"Pics", L"Music", L"::{ShortCut}"};

class ProfilePage : public ProfilePageFixture {
protected:
    std::string Document() const override { return kDocument; }
};

}  // namespace

TEST_F(ProfilePage, LoadsTheDefaultProfileAndNavigates) {
    OpenPage();
    EXPECT_EQ(Selector(), L"Home");
    EXPECT_EQ(testing_support::Rows(list, 3), (std::vector<std::wstring>{
                                     L"Docs | Folder | .\\Docs\\", L"Pics | Folder | .\\Pics\\",
                                     L"Music | Folder | .\\Music\\", L"::{ShortCut} | Rule | ShortCuts (*Special Item*)"}));
    EXPECT_EQ(PathEntries(), std::vector<std::wstring>{L".\\"});
    EXPECT_FALSE(SaveEnabled());
    HWND contents = wizard.ProfilePage().FolderContents().Handle();
    EXPECT_TRUE(IsWindowVisible(contents));
    EXPECT_EQ(Text(contents, IDC_CONTENTS_COUNTS), L"3 Folders, 1 Rule Items.");

    Open(L"Docs");
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Letters", L".txt", L".TXT"}));
    EXPECT_EQ(Text(contents, IDC_CONTENTS_PATH), L".\\Docs\\");
    Press(list, VK_DOWN);  // the first item gets selected
    ClickListItem(list, 1, MK_CONTROL);
    EXPECT_EQ(Text(contents, IDC_CONTENTS_COUNTS), L"1 Folders, 1 Rule Items.") << "the selection's counts";
    Press(list, VK_RETURN);  // opens the first selected item, Letters
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "Enter in the list does not press Next";
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L".doc"});
    EXPECT_EQ(PathShown(), L".\\Docs\\Letters\\");

    Press(list, VK_BACK);
    EXPECT_EQ(PathShown(), L".\\Docs\\");
    Tool(IDC_NAVIGATION_TOOLBAR, ID_UPWARD);
    EXPECT_EQ(Rows(), kRootRows);
    ClickListItem(list, 1);
    Tool(IDC_NAVIGATION_TOOLBAR, ID_UPWARD);  // at the root: nothing changes
    EXPECT_EQ(Rows(), kRootRows);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1) << "the list is left as it is";

    Open(L"Docs");
    Press(list, VK_BACK);
    Open(L"Docs");
    EXPECT_EQ(PathEntries(), (std::vector<std::wstring>{L".\\", L".\\Docs\\", L".\\Docs\\Letters\\"}))
        << "a folder visited again gets no second entry";

    // The first entry, the root, picked with the keyboard.
    Press(reinterpret_cast<HWND>(SendMessageW(wizard.ProfilePage().PathBox(), CBEM_GETCOMBOCONTROL, 0, 0)),
                     VK_HOME);
    EXPECT_EQ(Rows(), kRootRows);
    EXPECT_EQ(wizard.ProfilePage().CurrentFolder()->parent, nullptr);
}

// Enter in the selector, the path box or a toolbar stays on the page and
// opens the first selected item, as it does in the list.
TEST_F(ProfilePage, EnterOutsideTheListOpensTheSelectedFolder) {
    OpenPage();
    CPageProfile& view = wizard.ProfilePage();
    const struct {
        const char* name;
        HWND control;
    } places[] = {
        {"selector", GetDlgItem(page, IDC_PROFILE_COMBO)},
        {"path box", reinterpret_cast<HWND>(SendMessageW(view.PathBox(), CBEM_GETCOMBOCONTROL, 0, 0))},
        {"profile toolbar", Toolbar(IDC_PROFILE_TOOLBAR)},
        {"navigation toolbar", Toolbar(IDC_NAVIGATION_TOOLBAR)},
        {"new items toolbar", Toolbar(IDC_NEW_ITEMS_TOOLBAR)},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.name);
        ASSERT_NE(place.control, nullptr);
        ASSERT_EQ(Rows(), kRootRows);
        ClickListItem(list, RowOf(L"Pics"));
        Press(place.control, VK_RETURN);
        EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "Enter does not press Next";
        EXPECT_EQ(Rows(), std::vector<std::wstring>{L".jpg"}) << "the selected folder opens";
        EXPECT_EQ(Selector(), L"Home");
        Press(list, VK_BACK);
    }
}

TEST_F(ProfilePage, DeletesWhatIsSelectedAfterAskingWithTheCounts) {
    OpenPage();
    Open(L"Docs");
    Open(L"Letters");
    Press(list, VK_BACK);
    Press(list, VK_BACK);
    ASSERT_EQ(PathEntries().size(), 3u);

    ClickListItem(list, 0);                // Docs
    ClickListItem(list, 2, MK_CONTROL);    // Music
    ClickListItem(list, 3, MK_CONTROL);    // the shortcuts special
    {
        ScriptedUser user({IDNO});
        Press(list, VK_DELETE);
        EXPECT_EQ(user.fullTexts, std::vector<std::wstring>{
                                      L"2 Folders and 1 Rule Items are selected.\r\nAre you sure to delete them? "});
    }
    EXPECT_EQ(Rows(), kRootRows) << "No leaves everything";
    EXPECT_FALSE(SaveEnabled());
    {
        ScriptedUser user({IDYES});
        Press(list, VK_DELETE);
    }
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Pics"});
    EXPECT_EQ(PathEntries(), std::vector<std::wstring>{L".\\"}) << "the entries of Docs and of Letters inside it go";
    EXPECT_TRUE(SaveEnabled());

    ClickListItem(list, -1);  // nothing selected
    {
        ScriptedUser user({IDYES});
        Press(list, VK_DELETE);
        EXPECT_EQ(user.shown, std::vector<std::string>{"? 0 Folders and 0 Rule Items are selected."});
    }
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Pics"});
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_FALSE(SaveEnabled());
    EXPECT_EQ(Stored(1, L"Type1"), "Home .[]{Pics[.jpg]}");
}

// .txt and .TXT are equal rules; deleting the second one deletes that one.
TEST_F(ProfilePage, DeletesTheRuleAtItsPosition) {
    OpenPage();
    Open(L"Docs");
    ClickListItem(list, RowOf(L".TXT"));
    ScriptedUser user({IDYES});
    Press(list, VK_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Letters", L".txt"}));
}

TEST_F(ProfilePage, ContextMenuGreysWhatCannotBeDone) {
    struct Case {
        const char* name;
        std::vector<int> clicks;  // rows clicked, the first plainly, the others with Control
        bool deleteOn, editOn;
    };
    const Case cases[] = {
        {"nothing selected", {}, false, false},
        {"one selected", {1}, true, true},
        {"two selected", {0, 3}, true, false},
    };
    OpenPage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickListItem(list, -1);
        for (std::size_t i = 0; i < c.clicks.size(); ++i) ClickListItem(list, c.clicks[i], i ? MK_CONTROL : 0);
        UINT deleteState = 0, editState = 0, folderState = 0, typeRuleState = 0, detailsState = 0;
        driver->WhenIdle([&](HWND menu) {
            HMENU popup = MenuOf(menu);
            deleteState = MenuState(popup, ID_LIST_DELETE);
            editState = MenuState(popup, ID_LIST_EDIT);
            folderState = MenuState(popup, ID_ADD_FOLDER);
            typeRuleState = MenuState(popup, ID_ADD_SHORTCUTS_SPECIAL);
            detailsState = MenuState(popup, ID_LIST_DETAILS);
            EndMenu();
        });
        RightClickListItem(list, c.clicks.empty() ? -1 : c.clicks.back());
        EXPECT_EQ((deleteState & MF_GRAYED) == 0, c.deleteOn);
        EXPECT_EQ((editState & MF_GRAYED) == 0, c.editOn);
        EXPECT_EQ(folderState & MF_GRAYED, 0u);
        EXPECT_EQ(typeRuleState & MF_GRAYED, 0u);
        EXPECT_NE(detailsState & MF_CHECKED, 0u) << "the view in use is marked";
    }
}

// The list's keys give the commands of its menu: Control+A selects every
// item, F5 lists the folder again as it now is, the Application key opens
// the menu; each command of the View drop-down shows the list in its view.
TEST_F(ProfilePage, ListKeysAndViews) {
    OpenPage();
    ClickListItem(list, 0);
    Press(list, 'A', Held::Control);
    EXPECT_EQ(ListView_GetSelectedCount(list), kRootRows.size());

    FolderNode* docs = editor::FindChildByName(wizard.ProfilePage().CurrentFolder(), L"Docs");
    ASSERT_EQ(editor::RenameFolder(docs, L"Papers"), editor::RenameResult::Renamed);
    EXPECT_EQ(Rows(), kRootRows) << "nothing said the list should change";
    Press(list, VK_F5);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Papers", L"Pics", L"Music", L"::{ShortCut}"}));

    bool menuOpened = false;
    driver->WhenIdle([&](HWND menu) {
        menuOpened = MenuState(MenuOf(menu), ID_LIST_DELETE) != static_cast<UINT>(-1);
        EndMenu();
    });
    ClickListItem(list, 0);
    Press(list, VK_APPS);
    EXPECT_TRUE(menuOpened) << "the Application key opens the list's menu";

    const struct {
        UINT command;
        LONG_PTR style;
    } views[] = {{ID_LIST_ICON, LVS_ICON}, {ID_LIST_SMALL_ICON, LVS_SMALLICON}, {ID_LIST_LIST, LVS_LIST},
                 {ID_LIST_DETAILS, LVS_REPORT}};
    for (const auto& view : views) {
        SCOPED_TRACE(view.command);
        driver->WhenIdle([&view](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, view.command); });
        Tool(IDC_NAVIGATION_TOOLBAR, ID_VIEW);
        EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, view.style);
    }
}

TEST_F(ProfilePage, WithoutProfilesEverythingIsGrey) {
    ASSERT_TRUE(WriteText(file, "<?xml version=\"1.0\"?><Ordvale/>"));
    OpenPage();
    EXPECT_TRUE(ComboEntries(GetDlgItem(page, IDC_PROFILE_COMBO)).empty());
    for (int command : {ID_RELOAD_PROFILE, ID_SAVE_PROFILE, ID_SAVE_PROFILE_AS, ID_RENAME_PROFILE, ID_DELETE_PROFILE})
        EXPECT_FALSE(ToolbarButtonEnabled(Toolbar(IDC_PROFILE_TOOLBAR), command)) << command;
    EXPECT_TRUE(ToolbarButtonEnabled(Toolbar(IDC_PROFILE_TOOLBAR), ID_NEW_PROFILE));
    EXPECT_FALSE(ToolbarButtonEnabled(Toolbar(IDC_NAVIGATION_TOOLBAR), ID_UPWARD));
    EXPECT_FALSE(ToolbarButtonEnabled(Toolbar(IDC_NEW_ITEMS_TOOLBAR), ID_NEW_ITEMS));
    std::vector<UINT> states;
    driver->WhenIdle([&](HWND menu) {
        HMENU popup = MenuOf(menu);
        for (int i = 0; i < GetMenuItemCount(popup); ++i)
            if (!(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR))
                states.push_back(GetMenuState(popup, i, MF_BYPOSITION) & MF_GRAYED);
        EndMenu();
    });
    RightClickListItem(list, -1);
    EXPECT_EQ(states, std::vector<UINT>(7, MF_GRAYED));
    // Keys and commands find nothing to act on. The command is sent as its
    // menu would send it: every item is grey, so no menu can give it (a
    // grey item picked sends nothing).
    Press(list, VK_DELETE);
    Press(list, VK_BACK);
    SendMessageW(page, WM_COMMAND, ID_ADD_FOLDER, 0);
    EXPECT_EQ(ReadUtf8(file), "<?xml version=\"1.0\"?><Ordvale/>");
}

TEST_F(ProfilePage, AddsFoldersAndSpecialRules) {
    OpenPage();
    Open(L"Music");
    AddFolderByMenu(L"Live");
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Live"});
    EXPECT_TRUE(SaveEnabled());
    {
        ScriptedUser user;  // the duplicate name is reported, then the failure
        AddFolderByMenu(L"LIVE");
        EXPECT_EQ(user.shown, (std::vector<std::string>{"! A Folder named \"LIVE\" already exists.",
                                                         "! Add new folder failed."}));
    }
    // The shortcuts special sits at the root: moving it here is offered (two buttons).
    driver->WhenIdle([](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, ID_ADD_SHORTCUTS_SPECIAL); });
    driver->WhenIdle([](HWND dialog) {
        EXPECT_EQ(Text(dialog), L"Confirm Item Replacement");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_REPLACE_YES_TO_ALL)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
        EXPECT_EQ(Text(dialog, IDC_REPLACE_TEXT).substr(0, 37), L"File type \"::{ShortCut}\" already exis");
        Click(dialog, IDYES);
    });
    Tool(IDC_NEW_ITEMS_TOOLBAR, ID_NEW_ITEMS);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"Live", L"::{ShortCut}"}));
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(1, L"Type1"), "Home .[]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg] Music[#2]{Live[]}}");
    EXPECT_NE(ReadUtf8(file).find("rootpath=\"D:\\Sorted\""), std::string::npos) << "Save keeps rootpath";
}

TEST_F(ProfilePage, ASecondFoldersSpecialInTheFolderIsReported) {
    OpenPage(2);
    ASSERT_EQ(Selector(), L"Sizes");
    Open(L"Dirs");
    driver->WhenIdle([](HWND menu) { UiDriver::ChooseFromOpenMenu(menu, ID_ADD_SIZE_FOLDERS); });
    ScriptedUser user;
    Tool(IDC_NEW_ITEMS_TOOLBAR, ID_NEW_ITEMS);
    EXPECT_EQ(user.shown, std::vector<std::string>{"! The file size rule already exists under current folder."});
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"::{Folders}"});
    EXPECT_FALSE(SaveEnabled());
}

// The two dialogs of the placement show what they are given.
TEST_F(ProfilePage, ReplacementAndCollisionDialogs) {
    for (bool four : {true, false}) {
        SCOPED_TRACE(four);
        CDialogMultiReplace dialog;
        dialog.question = L"Move it?";
        dialog.fourButtons = four;
        RECT yes = {}, yesToAll = {};
        bool shownAll = false;
        driver->WhenIdle([&](HWND window) {
            GetWindowRect(GetDlgItem(window, IDYES), &yes);
            GetWindowRect(GetDlgItem(window, IDC_REPLACE_YES_TO_ALL), &yesToAll);
            shownAll = IsWindowVisible(GetDlgItem(window, IDC_REPLACE_YES_TO_ALL)) &&
                       IsWindowVisible(GetDlgItem(window, IDCANCEL));
            EXPECT_EQ(Text(window, IDC_REPLACE_TEXT), L"Move it?");
            Click(window, four ? IDC_REPLACE_YES_TO_ALL : IDNO);
        });
        EXPECT_EQ(dialog.DoModal(GetModuleHandleW(nullptr), frame), four ? IDC_REPLACE_YES_TO_ALL : IDNO);
        EXPECT_EQ(shownAll, four);
        EXPECT_EQ(yes.left == yesToAll.left, !four) << "Yes takes the place of Yes to all";
    }
    CDialogRuleCollision collisions;
    collisions.message = L"File size rule \"1.00KB ~ Unlimited\":";
    collisions.method = ModelMethod::Size;
    collisions.rows = {{{L"0.00B ~ 2.00KB", L".\\Small\\"}, 2}, {{L"1.00MB ~ Unlimited", L".\\Big\\"}, 2}};
    std::vector<std::wstring> rows;
    driver->WhenIdle([&](HWND window) {
        rows = testing_support::Rows(GetDlgItem(window, IDC_COLLISION_LIST), 2);
        EXPECT_EQ(Text(window, IDC_COLLISION_TEXT), collisions.message);
        Click(window, IDOK);
    });
    collisions.DoModal(GetModuleHandleW(nullptr), frame);
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"0.00B ~ 2.00KB | .\\Small\\", L"1.00MB ~ Unlimited | .\\Big\\"}));
}

TEST_F(ProfilePage, NewSaveAsRenameAndDeleteProfiles) {
    OpenPage();
    // New, from a template.
    AnswerNameDialog(L"Copy", L"New Profile", true);
    Tool(IDC_PROFILE_TOOLBAR, ID_NEW_PROFILE);
    EXPECT_EQ(Selector(), L"Copy");
    EXPECT_EQ(Stored(1, L"Type3"), "Copy .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg] Music[]}");
    EXPECT_EQ(DefaultId(1), "Type3");

    // Save As with the edits of the loaded profile.
    Open(L"Pics");
    AddFolderByMenu(L"Raw");
    AnswerNameDialog(L"Copy two", L"Save Profile As ...");
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE_AS);
    EXPECT_EQ(Selector(), L"Copy two");
    EXPECT_FALSE(SaveEnabled());
    EXPECT_EQ(Stored(1, L"Type4"), "Copy two .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg]{Raw[]} Music[]}");
    EXPECT_EQ(Stored(1, L"Type3"), "Copy .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg] Music[]}");
    EXPECT_EQ(wizard.ProfilePage().Session().CurrentProfileId(), L"Type4");

    // Rename; the present name is refused first.
    {
        ScriptedUser user;
        driver->WhenIdle([](HWND dialog) {
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_PROFILE_TEMPLATE_LIST))) << "no options here";
            Click(dialog, IDOK);  // the present name
        });
        AnswerNameDialog(L"Third", L"Rename Profile");
        Tool(IDC_PROFILE_TOOLBAR, ID_RENAME_PROFILE);
        EXPECT_EQ(user.shown,
                  std::vector<std::string>{"! A profile named \"Copy two\" already exists, please specify another name."});
    }
    EXPECT_EQ(Selector(), L"Third");
    EXPECT_EQ(Stored(1, L"Type4"), "Third .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg]{Raw[]} Music[]}");

    // Delete: No keeps it, Yes deletes it and the first remaining one becomes the default.
    {
        ScriptedUser user({IDNO, IDYES});
        Tool(IDC_PROFILE_TOOLBAR, ID_DELETE_PROFILE);
        EXPECT_EQ(Stored(1, L"Type4").substr(0, 5), "Third");
        Tool(IDC_PROFILE_TOOLBAR, ID_DELETE_PROFILE);
        EXPECT_EQ(user.shown, (std::vector<std::string>{"? Are you sure to delete profile \"Third\"?",
                                                         "? Are you sure to delete profile \"Third\"?"}));
    }
    EXPECT_EQ(Stored(1, L"Type4"), "(none)");
    EXPECT_EQ(DefaultId(1), "Type1");
    EXPECT_EQ(Selector(), L"Home");
    EXPECT_EQ(Rows(), kRootRows);

    // The job takes the profile the selector shows.
    Next();
    EXPECT_STREQ(wizard.Job().profileId, L"Type1");
    EXPECT_STREQ(wizard.Job().profileName, L"Home");
}

TEST_F(ProfilePage, ACancelledNewLeavesTheSelectorUsable) {
    OpenPage();
    driver->WhenIdle([](HWND dialog) { Click(dialog, IDCANCEL); });
    Tool(IDC_PROFILE_TOOLBAR, ID_NEW_PROFILE);
    driver->WhenIdle([](HWND dialog) { Click(dialog, IDCANCEL); });
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE_AS);
    EXPECT_EQ(Selector(), L"Home");
    Type(GetDlgItem(page, IDC_PROFILE_COMBO), std::wstring(1, L'W'));
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Old"});
    Next();
    EXPECT_STREQ(wizard.Job().profileId, L"Type2");
}

TEST_F(ProfilePage, ChoosingAnotherProfileWithUnsavedChanges) {
    OpenPage();
    Open(L"Music");
    AddFolderByMenu(L"Live");
    {
        ScriptedUser user({IDCANCEL});
        Type(GetDlgItem(page, IDC_PROFILE_COMBO), std::wstring(1, L'W'));
        EXPECT_EQ(user.shown, std::vector<std::string>{"? Save Changes to Profile \"Home\"?"});
    }
    EXPECT_EQ(Selector(), L"Home") << "Cancel puts the selector back";
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Live"});
    {
        ScriptedUser user({IDYES});
        Type(GetDlgItem(page, IDC_PROFILE_COMBO), std::wstring(1, L'W'));
    }
    EXPECT_EQ(Selector(), L"Work");
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"Old"});
    EXPECT_EQ(Stored(1, L"Type1"), "Home .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg] Music[]{Live[]}}");
    EXPECT_EQ(DefaultId(1), "Type2");
}

TEST_F(ProfilePage, UnsavedChangesOnPreviousAndOnClosing) {
    OpenPage();
    AddFolderByMenu(L"New");
    {
        ScriptedUser user({IDCANCEL});
        Previous();
        EXPECT_EQ(user.shown, std::vector<std::string>{"? Save Changes to Profile \"Home\"?"});
    }
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "Cancel stays";
    {
        ScriptedUser user({IDCANCEL});
        PostMessageW(frame, WM_CLOSE, 0, 0);
        driver->Pump();
        EXPECT_EQ(user.shown, std::vector<std::string>{"? Save Changes to Profile \"Home\"?"});
    }
    EXPECT_TRUE(IsWindow(frame)) << "closing asks too, and Cancel keeps the wizard open";
    {
        // A save that fails keeps the wizard open as well.
        ScriptedUser user({IDYES});
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        driver->Pump();
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(user.shown, (std::vector<std::string>{"? Save Changes to Profile \"Home\"?", "! Save Profile Failed."}));
        EXPECT_TRUE(IsWindow(frame));
        EXPECT_TRUE(SaveEnabled());
    }
    {
        ScriptedUser user({IDYES});
        PostMessageW(frame, WM_CLOSE, 0, 0);
        driver->Pump();
    }
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(Stored(1, L"Type1"), "Home .[#2]{Docs[.txt,.TXT]{Letters[.doc]} Pics[.jpg] Music[] New[]}");
}

TEST_F(ProfilePage, NoOnPreviousDropsTheChanges) {
    OpenPage();
    AddFolderByMenu(L"New");
    const std::vector<unsigned char> before = ReadBytes(file);
    {
        ScriptedUser user({IDNO});
        Previous();
    }
    EXPECT_EQ(wizard.CurrentPage(), Page::Method);
    EXPECT_EQ(ReadBytes(file), before);
    Next();
    EXPECT_EQ(Rows(), kRootRows) << "the profile as stored";
}

// What a folder's property pane does after a rename: the path-box entries of
// the folder and of every folder inside it follow, matched by the folder
// they stand for; picking one opens the renamed folder.
TEST_F(ProfilePage, PathEntriesFollowARenamedFolder) {
    OpenPage();
    Open(L"Docs");
    Open(L"Letters");
    Press(list, VK_BACK);
    Press(list, VK_BACK);
    CPageProfile& profilePage = wizard.ProfilePage();
    FolderNode* docs = editor::FindChildByName(profilePage.CurrentFolder(), L"Docs");
    ASSERT_EQ(editor::RenameFolder(docs, L"Papers"), editor::RenameResult::Renamed);
    profilePage.Editor().Changed(EditorChange::Renamed(FolderRef(docs)));
    EXPECT_EQ(PathEntries(), (std::vector<std::wstring>{L".\\", L".\\Papers\\", L".\\Papers\\Letters\\"}));
    HWND combo = reinterpret_cast<HWND>(SendMessageW(profilePage.PathBox(), CBEM_GETCOMBOCONTROL, 0, 0));
    Press(combo, VK_END);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L".doc"});
    EXPECT_EQ(PathShown(), L".\\Papers\\Letters\\");
    EXPECT_EQ(PathEntries().size(), 3u);
}
