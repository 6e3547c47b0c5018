// The folder, type rule and name rule panes under the profile page's list,
// used the way a person does: a click on an item fills its pane, typing and
// keys in the pane enable "&Update" only while the values differ, and
// "&Update" or Enter applies them, with the messages and the focus moves of
// each refusal. What was stored is read back from the profile file.
#include <gtest/gtest.h>

#include "ProfilePageFixture.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

const char kTypeDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"T1\"><TypeConfigure id=\"T1\" displayname=\"Home\">"
    "<Folder displayname=\"Docs\"><Ext t=\".txt\"/><Ext t=\".pdf\"/></Folder>"
    "<Folder displayname=\"Pics\" location=\"E:\\Photos\"><Ext t=\".jpg\"/></Folder>"
    "<Folder displayname=\"Music\"/><Ext ti=\"2\"/>"
    "</TypeConfigure></TypeProfiles></Ordvale>";

// The root's own rule begins with a space (a missing "from"), which the
// character lists do not show.
const char kNameDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><NameProfiles default=\"N1\"><NameConfigure id=\"N1\" displayname=\"Names\">"
    "<Folder displayname=\"AM\"><Name from=\"A\" to=\"M\"/><Name ni=\"1\" regexp=\"^rep\"/></Folder>"
    "<Folder displayname=\"Other\"><Name from=\"x\" to=\"z\"/></Folder><Name to=\"#\"/>"
    "</NameConfigure></NameProfiles></Ordvale>";

constexpr WPARAM kNamePosition = 1;  // By File Name on the method page

class Panes : public ProfilePageFixture {
protected:
    HWND PaneWindow(PaneKind kind) { return wizard.ProfilePage().Pane(kind)->Handle(); }
    HWND Control(PaneKind kind, int id) { return GetDlgItem(PaneWindow(kind), id); }
    bool Shown(PaneKind kind) { return IsWindowVisible(PaneWindow(kind)) != FALSE; }
    void Select(const std::wstring& name) {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << Narrow(name);
        ClickListItem(list, row);
    }
};

class TypePanes : public Panes {
protected:
    std::string Document() const override { return kTypeDocument; }
};

class NamePanes : public Panes {
protected:
    std::string Document() const override { return kNameDocument; }
};

const char kBadName[] = "! Folder Name cannot be blank or contain following characters";
const char kNotAbsolute[] = "! Please choose a full path that begins with a drive, for example D:\\Sorted.";

}  // namespace

TEST_F(TypePanes, FolderPaneRenames) {
    OpenPage();
    Open(L"Docs");
    Press(list, VK_BACK);
    Select(L"Docs");
    ASSERT_TRUE(Shown(PaneKind::FolderProperty));
    HWND name = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_NAME);
    HWND update = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_UPDATE);
    EXPECT_EQ(Text(name), L"Docs");
    EXPECT_EQ(IsDlgButtonChecked(PaneWindow(PaneKind::FolderProperty), IDC_FOLDER_PANE_ABSOLUTE), 0u);
    EXPECT_FALSE(IsWindowVisible(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_LOCATION)));
    EXPECT_EQ(Text(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_PATH)), L".\\Docs\\");
    EXPECT_FALSE(IsWindowEnabled(update)) << "filling is no change";

    Type(name, L"Papers");
    EXPECT_TRUE(IsWindowEnabled(update));
    Type(name, L" docs ");
    EXPECT_FALSE(IsWindowEnabled(update)) << "the old name typed back, in other letter case";

    {
        ScriptedUser user;
        Type(name, L"a/b");
        Click(update);
        EXPECT_EQ(user.shown, std::vector<std::string>{kBadName});
        EXPECT_TRUE(FocusedWhole(name));
        Type(name, L"PICS");
        Press(name, VK_RETURN);
        EXPECT_EQ(user.shown.back(), "! A Folder named \"PICS\" already exists.");
        EXPECT_TRUE(FocusedWhole(name));
    }
    EXPECT_EQ(Rows()[0], L"Docs");
    EXPECT_FALSE(SaveEnabled());

    Type(name, L" Papers ");
    Press(name, VK_RETURN);
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "Enter in the pane is the pane's";
    EXPECT_EQ(testing_support::Rows(list, 3)[0], L"Papers | Folder | .\\Papers\\");
    EXPECT_EQ(PathEntries(), (std::vector<std::wstring>{L".\\", L".\\Papers\\"}));
    EXPECT_EQ(Text(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_PATH)), L".\\Papers\\");
    EXPECT_FALSE(IsWindowEnabled(update));
    EXPECT_TRUE(SaveEnabled());

    // Edit (F2) from the list: into the name, all of it selected.
    Select(L"Music");
    Press(list, VK_F2);
    EXPECT_TRUE(FocusedWhole(name));
    EXPECT_EQ(Text(name), L"Music");

    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(1, L"T1"), "Home .[#2]{Papers[.txt,.pdf] Pics[.jpg] Music[]}");
}

TEST_F(TypePanes, FolderPanePlacesAFolderAtAFullPath) {
    OpenPage();
    Select(L"Pics");
    HWND pane = PaneWindow(PaneKind::FolderProperty);
    HWND location = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_LOCATION);
    HWND absolute = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_ABSOLUTE);
    HWND update = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_UPDATE);
    EXPECT_EQ(IsDlgButtonChecked(pane, IDC_FOLDER_PANE_ABSOLUTE), static_cast<UINT>(BST_CHECKED));
    EXPECT_TRUE(IsWindowVisible(location) && IsWindowEnabled(location));
    EXPECT_EQ(Text(location), L"E:\\Photos\\");
    {
        ScriptedUser user;
        Type(location, L"  ");
        EXPECT_TRUE(IsWindowEnabled(update));
        Click(update);
        Type(location, L"Photos");
        Press(location, VK_RETURN);
        EXPECT_EQ(user.shown, (std::vector<std::string>{"! Please choose a valid destination path.", kNotAbsolute}));
        EXPECT_TRUE(FocusedWhole(location));
    }
    Type(location, L"D:\\Out");
    Press(location, VK_RETURN);
    EXPECT_EQ(testing_support::Rows(list, 3)[1], L"Pics | Folder | D:\\Out\\Pics\\");
    EXPECT_FALSE(IsWindowEnabled(update));
    // The location stays as typed, without the closing backslash it is
    // stored with: an edit typed back leaves nothing to update.
    HWND name = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_NAME);
    Type(name, L"Pix");
    Type(name, L"Pics");
    EXPECT_FALSE(IsWindowEnabled(update)) << "the location counts as unchanged";

    // Unchecked, the folder goes back inside its parent.
    Click(absolute);
    EXPECT_FALSE(IsWindowVisible(location));
    EXPECT_TRUE(IsWindowEnabled(update));
    Press(absolute, VK_RETURN);
    EXPECT_TRUE(IsWindowEnabled(update)) << "Enter applies only in the two edits";
    Click(update);
    EXPECT_EQ(testing_support::Rows(list, 3)[1], L"Pics | Folder | .\\Pics\\");

    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_NE(ReadUtf8(file).find("<Folder displayname=\"Pics\" location=\"\">"), std::string::npos) << ReadUtf8(file);
}

// A location refused after the rename was applied: the rename shows all the
// same, in the list, the path box and the Save button.
TEST_F(TypePanes, ARenameShowsWhenTheLocationIsRefused) {
    OpenPage();
    Open(L"Music");
    Press(list, VK_BACK);
    Select(L"Music");
    Type(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_NAME), L"Songs");
    Click(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_ABSOLUTE));
    HWND location = Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_LOCATION);
    Type(location, L"Relative\\Path");
    ScriptedUser user;
    Click(Control(PaneKind::FolderProperty, IDC_FOLDER_PANE_UPDATE));
    EXPECT_EQ(user.shown, std::vector<std::string>{kNotAbsolute});
    EXPECT_EQ(testing_support::Rows(list, 3)[2], L"Songs | Folder | .\\Songs\\");
    EXPECT_EQ(PathEntries(), (std::vector<std::wstring>{L".\\", L".\\Songs\\"}));
    EXPECT_TRUE(SaveEnabled());
    EXPECT_TRUE(FocusedWhole(location));
}

TEST_F(TypePanes, TypePaneChangesTheExtension) {
    OpenPage();
    Open(L"Docs");
    Select(L".txt");
    ASSERT_TRUE(Shown(PaneKind::TypeProperty));
    HWND extension = Control(PaneKind::TypeProperty, IDC_TYPE_PANE_EXTENSION);
    HWND update = Control(PaneKind::TypeProperty, IDC_TYPE_PANE_UPDATE);
    EXPECT_EQ(Text(extension), L".txt");
    EXPECT_FALSE(IsWindowEnabled(update));
    Type(extension, L".TXT");
    EXPECT_FALSE(IsWindowEnabled(update)) << "letter case alone is no change";

    Type(extension, L"md");
    EXPECT_TRUE(IsWindowEnabled(update));
    {
        ScriptedUser user({IDNO, IDYES});
        Press(extension, VK_RETURN);
        EXPECT_TRUE(FocusedWhole(extension));
        EXPECT_EQ(Rows(), (std::vector<std::wstring>{L".txt", L".pdf"})) << "No changes nothing";
        Press(extension, VK_RETURN);
        EXPECT_EQ(user.shown, std::vector<std::string>(2, "? File extension in wrong format, do you mean \".md\"?"));
    }
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L".md", L".pdf"}));
    EXPECT_EQ(Text(extension), L".md");
    EXPECT_EQ(GetFocus(), extension);
    EXPECT_FALSE(IsWindowEnabled(update));
    EXPECT_TRUE(SaveEnabled());

    {
        ScriptedUser user;
        Type(extension, L".PDF");
        Click(update);
        EXPECT_EQ(user.shown, std::vector<std::string>{"! An Item named \".PDF\" already exists under current folder."});
        EXPECT_TRUE(FocusedWhole(extension));
        Type(extension, L"..");
        Click(update);
        EXPECT_EQ(user.shown.back(), "! Please specify a valid file extension.");
    }
    // Pics has .jpg: moving it here is offered with Yes and No.
    Type(extension, L".JPG");
    driver->WhenIdle([](HWND dialog) {
        EXPECT_EQ(Text(dialog), L"Confirm Item Replacement");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_REPLACE_YES_TO_ALL)));
        Click(dialog, IDYES);
    });
    Click(update);
    EXPECT_EQ(testing_support::Rows(list, 2), (std::vector<std::wstring>{L".jpg | Rule", L".pdf | Rule"}));

    // A special keeps its name.
    Press(list, VK_BACK);
    Select(L"::{ShortCut}");
    Type(extension, L".lnk");
    {
        ScriptedUser user;
        Press(extension, VK_RETURN);
        EXPECT_EQ(user.shown, std::vector<std::string>{"! Special item can not be edited."});
    }
    EXPECT_EQ(Text(extension), L"::{ShortCut}");
    EXPECT_TRUE(GetFocus() == extension);
    EXPECT_FALSE(IsWindowEnabled(update));

    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(1, L"T1"), "Home .[#2]{Docs[.jpg,.pdf] Pics[] Music[]}");
}

TEST_F(NamePanes, NamePaneChangesARange) {
    OpenPage(kNamePosition);
    Open(L"AM");
    Select(L"A - M");
    ASSERT_TRUE(Shown(PaneKind::NameProperty));
    HWND pane = PaneWindow(PaneKind::NameProperty);
    HWND first = Control(PaneKind::NameProperty, IDC_NAME_PANE_FIRST);
    HWND last = Control(PaneKind::NameProperty, IDC_NAME_PANE_LAST);
    HWND update = Control(PaneKind::NameProperty, IDC_NAME_PANE_UPDATE);
    EXPECT_EQ(IsDlgButtonChecked(pane, IDC_NAME_PANE_RANGE), static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(IsWindowEnabled(Control(PaneKind::NameProperty, IDC_NAME_PANE_REGEXP))) << "a rule keeps its kind";
    EXPECT_FALSE(IsWindowEnabled(Control(PaneKind::NameProperty, IDC_NAME_PANE_EXPRESSION)));
    EXPECT_EQ(ComboText(first), L"41h    A");
    EXPECT_EQ(ComboText(last), L"4Dh    M");
    EXPECT_FALSE(IsWindowEnabled(update));

    Press(first, VK_DOWN);
    Press(first, VK_DOWN);
    EXPECT_TRUE(IsWindowEnabled(update));
    Press(first, VK_UP);
    Press(first, VK_UP);
    EXPECT_FALSE(IsWindowEnabled(update)) << "back at A";
    Press(list, VK_F2);  // Edit: into the first character
    EXPECT_EQ(GetFocus(), first);
    Press(first, VK_DOWN);
    Press(first, VK_DOWN);
    Press(first, VK_RETURN);  // Enter anywhere in this pane
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile);
    EXPECT_EQ(GetFocus(), first) << "the pane filled again keeps the focus";
    EXPECT_EQ(testing_support::Rows(list, 3)[0],
              L"C - M | Rule | All files and folders whose names begin with characters between \"C-M\" will be moved "
              L"to current folder.");
    EXPECT_FALSE(IsWindowEnabled(update));
    EXPECT_TRUE(SaveEnabled());

    // Up to "~" it would overlap Other's x to z: the rules are shown, then the refusal.
    Press(last, VK_END);
    std::vector<std::wstring> colliding;
    driver->WhenIdle([&](HWND dialog) {
        EXPECT_EQ(Text(dialog), L"Rule Collision");
        colliding = testing_support::Rows(GetDlgItem(dialog, IDC_COLLISION_LIST), 2);
        Click(dialog, IDOK);
    });
    {
        ScriptedUser user;
        Click(update);
        EXPECT_EQ(user.shown, std::vector<std::string>{"! Update name rule failed."});
    }
    EXPECT_EQ(colliding, std::vector<std::wstring>{L"x - z | .\\Other\\"});
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(Rows()[0], L"C - M");


    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(4, L"N1"), "Names .[ -#]{AM[C-M,/^rep/] Other[x-z]}");
}

TEST_F(NamePanes, NamePaneChangesAnExpression) {
    OpenPage(kNamePosition);
    Open(L"AM");
    Select(L"^rep");
    HWND pane = PaneWindow(PaneKind::NameProperty);
    HWND expression = Control(PaneKind::NameProperty, IDC_NAME_PANE_EXPRESSION);
    HWND update = Control(PaneKind::NameProperty, IDC_NAME_PANE_UPDATE);
    EXPECT_EQ(IsDlgButtonChecked(pane, IDC_NAME_PANE_REGEXP), static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(IsWindowEnabled(Control(PaneKind::NameProperty, IDC_NAME_PANE_RANGE)));
    EXPECT_FALSE(IsWindowEnabled(Control(PaneKind::NameProperty, IDC_NAME_PANE_FIRST)));
    EXPECT_EQ(Text(expression), L"^rep");

    Type(expression, L"  ^rep ");
    EXPECT_FALSE(IsWindowEnabled(update));
    Type(expression, L"^REP");
    EXPECT_TRUE(IsWindowEnabled(update)) << "letter case counts in an expression";

    struct Refusal {
        std::wstring typed;
        const char* message;
    };
    const Refusal refusals[] = {
        {L"^rep(", "! The regular expression is not valid and would match nothing."},
        {L"[z-a]", "! The regular expression is not valid and would match nothing."},
        {std::wstring(260, L'r'), "! The regular expression is too long: a rule keeps at most 259 characters."},
    };
    for (const Refusal& refusal : refusals) {
        ScriptedUser user;
        Type(expression, refusal.typed);
        Press(expression, VK_RETURN);
        EXPECT_EQ(user.shown, std::vector<std::string>{refusal.message});
        EXPECT_TRUE(FocusedWhole(expression));
        EXPECT_EQ(Rows()[1], L"^rep");
    }
    Type(expression, L"^Report \\d+");
    Click(update);
    EXPECT_EQ(testing_support::Rows(list, 3)[1],
              L"^Report \\d+ | Rule | All files and folders whose names match \"^Report \\d+\" will be moved to current "
              L"folder.");
    EXPECT_FALSE(IsWindowEnabled(update));

    Press(list, VK_F2);
    EXPECT_TRUE(FocusedWhole(expression));
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(4, L"N1"), "Names .[ -#]{AM[A-M,/^Report \\d+/] Other[x-z]}");
}

// The root's rule begins with a space, which the lists do not show: the
// first list has no selection, and the rule keeps its space.
TEST_F(NamePanes, ACharacterTheListsDoNotShowIsKept) {
    OpenPage(kNamePosition);
    Select(L"  - #");
    HWND first = Control(PaneKind::NameProperty, IDC_NAME_PANE_FIRST);
    HWND last = Control(PaneKind::NameProperty, IDC_NAME_PANE_LAST);
    EXPECT_EQ(ComboText(first), L"(none)");
    EXPECT_EQ(ComboText(last), L"23h    #");
    Press(last, VK_UP);
    ScriptedUser user;
    Click(Control(PaneKind::NameProperty, IDC_NAME_PANE_UPDATE));
    EXPECT_TRUE(user.shown.empty()) << user.shown[0];
    EXPECT_EQ(Rows().back(), L"  - \"");
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(4, L"N1"), "Names .[ -\"]{AM[A-M,/^rep/] Other[x-z]}");
}
