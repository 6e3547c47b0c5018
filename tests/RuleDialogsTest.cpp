// The Add menus' dialogs of folders, type rules and name rules, opened from
// the profile page's New Item drop-down and answered the way a person does:
// typing, keys in the lists, clicks. A refusal keeps its dialog open with
// the focus on the field; what the dialog gave is placed in the current
// folder and stored on Save.
#include <gtest/gtest.h>

#include "ProfilePageFixture.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

const char kTypeDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"T1\"><TypeConfigure id=\"T1\" displayname=\"Home\">"
    "<Folder displayname=\"Docs\"><Ext t=\".txt\"/></Folder><Folder displayname=\"Music\"/>"
    "</TypeConfigure></TypeProfiles></Ordvale>";

const char kNameDocument[] =
    "<?xml version=\"1.0\"?><Ordvale><NameProfiles default=\"N1\"><NameConfigure id=\"N1\" displayname=\"Names\">"
    "<Folder displayname=\"AM\"><Name from=\"A\" to=\"M\"/><Name ni=\"1\" regexp=\"^rep\"/></Folder>"
    "</NameConfigure></NameProfiles></Ordvale>";

constexpr WPARAM kNamePosition = 1;  // By File Name on the method page

// The check list's entries: "[x] .txt" or "[ ] .txt".
std::vector<std::wstring> CheckList(HWND list) {
    std::vector<std::wstring> entries;
    const std::vector<std::wstring> texts = Rows(list);
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries.push_back((ListView_GetCheckState(list, static_cast<int>(i)) ? L"[x] " : L"[ ] ") + texts[i]);
    return entries;
}

class TypeDialogs : public ProfilePageFixture {
protected:
    std::string Document() const override { return kTypeDocument; }
};

class NameDialogs : public ProfilePageFixture {
protected:
    std::string Document() const override { return kNameDocument; }
};

const char kBadName[] = "! Folder Name cannot be blank or contain following characters";
const char kNotAbsolute[] = "! Please choose a full path that begins with a drive, for example D:\\Sorted.";

}  // namespace

TEST_F(TypeDialogs, NewFolderAtAFullPath) {
    OpenPage();
    ScriptedUser user;
    AddByMenu(ID_ADD_FOLDER, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New Folder");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_NEW_FOLDER_LOCATION)));
            Type(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME), L"Old:files");
            Click(dialog, IDOK);
        },
        [](HWND dialog) {
            EXPECT_TRUE(FocusedWhole(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME)));
            Type(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME), L"Old files");
            Click(dialog, IDC_NEW_FOLDER_FULL);
            Click(dialog, IDOK);
        },
        [](HWND dialog) {
            HWND location = GetDlgItem(dialog, IDC_NEW_FOLDER_LOCATION);
            EXPECT_TRUE(IsWindowEnabled(location)) << "Full Path enables the path";
            EXPECT_EQ(GetFocus(), location);
            Type(location, L"Archive\\Old");
            Click(dialog, IDOK);
        },
        [](HWND dialog) {
            HWND location = GetDlgItem(dialog, IDC_NEW_FOLDER_LOCATION);
            EXPECT_TRUE(FocusedWhole(location));
            Type(location, L"D:\\Archive");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown, (std::vector<std::string>{kBadName, "! Please choose a valid destination path.", kNotAbsolute}));
    EXPECT_EQ(testing_support::Rows(list, 3)[2], L"Old files | Folder | D:\\Archive\\Old files\\");
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2) << "the new folder is selected";
}

TEST_F(TypeDialogs, NewFileTypeAsksAboutAMissingDot) {
    OpenPage();
    Open(L"Music");
    ScriptedUser user({IDNO, IDYES});
    AddByMenu(ID_ADD_TYPE_RULE, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New File Type");
            Type(GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION), L"song.MP3");
            Press(GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION), VK_RETURN);
        },
        [](HWND dialog) {  // No: the dialog stays
            HWND edit = GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION);
            EXPECT_TRUE(FocusedWhole(edit));
            Type(edit, L"abc.");
            Click(dialog, IDOK);
        },
        [](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION);
            EXPECT_TRUE(FocusedWhole(edit));
            Type(edit, L"MP3");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown, (std::vector<std::string>{"? File extension in wrong format, do you mean \".MP3\"?",
                                                     "! Please specify a valid file extension.",
                                                     "? File extension in wrong format, do you mean \".MP3\"?"}));
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L".MP3"});
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
    EXPECT_EQ(Text(GetDlgItem(wizard.ProfilePage().Pane(PaneKind::TypeProperty)->Handle(), IDC_TYPE_PANE_EXTENSION)),
              L".MP3")
        << "the new rule's pane shows";

    // The same extension in other letter case is there already.
    ScriptedUser again;
    AddByMenu(ID_ADD_TYPE_RULE, {[](HWND dialog) {
                  Type(GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION), L".mp3");
                  Click(dialog, IDOK);
              }});
    EXPECT_EQ(again.shown, std::vector<std::string>{"! An Item named \".mp3\" already exists under current folder."});
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L".MP3"});
}

TEST_F(TypeDialogs, BatchOfFileTypes) {
    OpenPage();
    Open(L"Music");
    ScriptedUser user;
    AddByMenu(ID_ADD_TYPE_BATCH, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Batch Adding File Type Rules");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_ADD)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_DELETE)));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BATCH_TYPES_SELECT_ALL), static_cast<UINT>(BST_CHECKED));
            HWND input = GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT);
            Type(input, L".mp3  ogg abc. .wav");
            Press(input, VK_RETURN);  // adds, and the dialog stays
        },
        [](HWND dialog) {
            HWND input = GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT);
            EXPECT_EQ(CheckList(GetDlgItem(dialog, IDC_BATCH_TYPES_LIST)),
                      (std::vector<std::wstring>{L"[x] .mp3", L"[x] .ogg", L"[x] .wav"}));
            EXPECT_EQ(Text(input), L"");
            EXPECT_EQ(GetFocus(), input);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_ADD)));
            Type(input, L".OGG .flac");
        },
        [](HWND dialog) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_ADD))) << "something typed";
            Click(dialog, IDC_BATCH_TYPES_ADD);
        },
        [](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_BATCH_TYPES_LIST);
            EXPECT_EQ(CheckList(list), (std::vector<std::wstring>{L"[x] .mp3", L"[x] .ogg", L"[x] .wav", L"[x] .flac"}))
                << ".OGG is listed already";
            ClickListItem(list, 2);  // .wav
        },
        [](HWND dialog) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_DELETE)));
            Click(dialog, IDC_BATCH_TYPES_DELETE);
        },
        [](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_BATCH_TYPES_LIST);
            EXPECT_EQ(CheckList(list), (std::vector<std::wstring>{L"[x] .mp3", L"[x] .ogg", L"[x] .flac"}));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BATCH_TYPES_DELETE)));
            Click(dialog, IDC_BATCH_TYPES_SELECT_ALL);  // unchecks every entry
            Click(dialog, IDOK);
        },
        [](HWND dialog) {  // nothing checked: refused
            HWND list = GetDlgItem(dialog, IDC_BATCH_TYPES_LIST);
            EXPECT_EQ(CheckList(list), (std::vector<std::wstring>{L"[ ] .mp3", L"[ ] .ogg", L"[ ] .flac"}));
            Click(dialog, IDC_BATCH_TYPES_SELECT_ALL);
            ClickListItem(list, 1);
            Press(list, VK_SPACE);  // .ogg unchecked
        },
        [](HWND dialog) {
            EXPECT_EQ(CheckList(GetDlgItem(dialog, IDC_BATCH_TYPES_LIST)),
                      (std::vector<std::wstring>{L"[x] .mp3", L"[ ] .ogg", L"[x] .flac"}));
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown, std::vector<std::string>{"! No selected file extensions found."});
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L".mp3", L".flac"}));
    EXPECT_TRUE(SaveEnabled());
}

// A batch asks with all four buttons; "Yes to all" moves the later ones too.
TEST_F(TypeDialogs, BatchMovesRulesFromOtherFolders) {
    OpenPage();
    Open(L"Docs");
    AddByMenu(ID_ADD_TYPE_RULE, {[](HWND dialog) {
                  Type(GetDlgItem(dialog, IDC_NEW_TYPE_EXTENSION), L".md");
                  Click(dialog, IDOK);
              }});
    Press(list, VK_BACK);
    Open(L"Music");
    AddByMenu(ID_ADD_TYPE_BATCH, {
        [](HWND dialog) {
            Type(GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT), L".TXT .ogg .md");
            Press(GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT), VK_RETURN);
        },
        [](HWND dialog) { Click(dialog, IDOK); },
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Confirm Item Replacement");
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_REPLACE_YES_TO_ALL)));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDCANCEL)));
            Click(dialog, IDC_REPLACE_YES_TO_ALL);
        },
    });
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L".txt", L".ogg", L".md"}));
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(1, L"T1"), "Home .[]{Docs[] Music[.txt,.ogg,.md]}");
}

TEST_F(NameDialogs, NewNameRuleInOrder) {
    OpenPage(kNamePosition);
    AddByMenu(ID_ADD_NAME_RULE, {[](HWND dialog) {
                  EXPECT_EQ(Text(dialog), L"New Name Rule");
                  HWND first = GetDlgItem(dialog, IDC_NEW_NAME_FIRST);
                  HWND last = GetDlgItem(dialog, IDC_NEW_NAME_LAST);
                  EXPECT_EQ(ComboText(first), L"21h    !");
                  EXPECT_EQ(ComboText(last), L"7Eh    ~");
                  EXPECT_EQ(SendMessageW(first, CB_GETCOUNT, 0, 0), 94);
                  // Given backwards: from p down to n.
                  Press(first, VK_END);
                  Press(first, VK_UP, Held::Nothing, 126 - 'p');
                  Press(last, VK_UP, Held::Nothing, 126 - 'n');
                  Click(dialog, IDOK);
              }});
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"AM", L"n - p"}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);

    // Overlapping A to M elsewhere: the colliding rules, then the failure.
    std::vector<std::wstring> colliding;
    ScriptedUser user;
    AddByMenu(ID_ADD_NAME_RULE, {
        [](HWND dialog) {
            Press(GetDlgItem(dialog, IDC_NEW_NAME_FIRST), VK_DOWN, Held::Nothing, 'K' - '!');
            Press(GetDlgItem(dialog, IDC_NEW_NAME_LAST), VK_UP, Held::Nothing, '~' - 'Q');
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Rule Collision");
            EXPECT_EQ(Text(dialog, IDC_COLLISION_TEXT).substr(0, 22), L"File name rule \"K - Q\"");
            colliding = testing_support::Rows(GetDlgItem(dialog, IDC_COLLISION_LIST), 2);
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(colliding, std::vector<std::wstring>{L"A - M | .\\AM\\"});
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Add new file name rule failed."});
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"AM", L"n - p"}));
}

TEST_F(NameDialogs, NewRegularExpressionMustCompile) {
    OpenPage(kNamePosition);
    ScriptedUser user;
    AddByMenu(ID_ADD_NAME_REGEXP, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New Regular Expression Rule");
            Type(GetDlgItem(dialog, IDC_NEW_REGEXP_EXPRESSION), L"  \t");
            Click(dialog, IDOK);
        },
        [](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_NEW_REGEXP_EXPRESSION);
            EXPECT_TRUE(FocusedWhole(edit));
            Type(edit, L"(draft");
            Press(edit, VK_RETURN);
        },
        [](HWND dialog) {
            HWND edit = GetDlgItem(dialog, IDC_NEW_REGEXP_EXPRESSION);
            EXPECT_TRUE(FocusedWhole(edit));
            Type(edit, L" ^Draft \\d+$ ");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown, (std::vector<std::string>{"! Regular expression can not be null.",
                                                     "! The regular expression is not valid and would match nothing."}));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"AM", L"^Draft \\d+$"}));
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(4, L"N1"), "Names .[/^Draft \\d+$/]{AM[A-M,/^rep/]}");
}

TEST_F(NameDialogs, BatchOfNameRules) {
    OpenPage(kNamePosition);
    ScriptedUser user;
    const auto refuse = [](const wchar_t* typed) {
        return [typed](HWND dialog) {
            HWND parts = GetDlgItem(dialog, IDC_BATCH_NAME_PARTS);
            Type(parts, typed);
            Click(dialog, IDOK);
        };
    };
    const auto stays = [](HWND dialog) { EXPECT_TRUE(FocusedWhole(GetDlgItem(dialog, IDC_BATCH_NAME_PARTS))); };
    AddByMenu(ID_ADD_NAME_BATCH, {
        [&](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Batch Adding File Name Rules");
            EXPECT_EQ(ComboText(GetDlgItem(dialog, IDC_BATCH_NAME_FIRST)), L"21h    !");
            EXPECT_EQ(ComboText(GetDlgItem(dialog, IDC_BATCH_NAME_LAST)), L"7Eh    ~");
            EXPECT_EQ(Text(dialog, IDC_BATCH_NAME_PARTS), L"5");
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BATCH_NAME_FOLDERS), static_cast<UINT>(BST_CHECKED));
            refuse(L"3x")(dialog);
        },
        [&](HWND dialog) {
            stays(dialog);
            refuse(L"")(dialog);
        },
        [&](HWND dialog) {
            stays(dialog);
            refuse(L"000")(dialog);
        },
        [&](HWND dialog) {
            stays(dialog);
            // One part per character: "/ - /" and the like cannot be folders.
            Type(GetDlgItem(dialog, IDC_BATCH_NAME_PARTS), L"94");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown, (std::vector<std::string>{"! Invalid part number.", "! The dividing parts can not be left blank.",
                                                     "! Part number cannot be zero.",
                                                     "! The batch would make a folder named \"\" - \"\".",
                                                     "! Operations Aborted!"}));
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"AM"}) << "nothing made";
    EXPECT_FALSE(SaveEnabled());

    // a to w in 4 parts, a folder each.
    AddByMenu(ID_ADD_NAME_BATCH, {[](HWND dialog) {
                  Press(GetDlgItem(dialog, IDC_BATCH_NAME_FIRST), VK_DOWN, Held::Nothing, 'a' - '!');
                  Press(GetDlgItem(dialog, IDC_BATCH_NAME_LAST), VK_UP, Held::Nothing, '~' - 'w');
                  Type(GetDlgItem(dialog, IDC_BATCH_NAME_PARTS), L"4");
                  Click(dialog, IDOK);
              }});
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"AM", L"a - f", L"g - l", L"m - r", L"s - w"}));
    EXPECT_TRUE(SaveEnabled());
    Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
    EXPECT_EQ(Stored(4, L"N1"), "Names .[]{AM[A-M,/^rep/] a - f[a-f] g - l[g-l] m - r[m-r] s - w[s-w]}");
}
