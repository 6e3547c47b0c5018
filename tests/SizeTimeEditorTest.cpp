// The size and time rules on the profile page, used the way a person does:
// their panes (filled from the selected rule, changed by typing, keys and
// clicks, applied with Enter or "&Update"), and every command of the size
// and time Add menus with its dialog, answered by clicks and keys as it
// comes up. What was stored is read back from the profile file.
#include "ProfilePageFixture.h"

#include <cstdio>

#include "DialogSizeProperty.h"
#include "DialogTimeProperty.h"
#include "common/ConfigureType.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

// Size: Small takes 2,722 B to 100 KB, Dirs the folders, the root 1 MB and
// more. Time: 2012 takes its year, the root the first half of 2013.
const char kDocument[] =
    "<?xml version=\"1.0\"?><Ordvale>"
    "<SizeProfiles default=\"S1\"><SizeConfigure id=\"S1\" displayname=\"Sizes\">"
    "<Folder displayname=\"Small\"><Size lower=\"2722\" upper=\"102400\"/></Folder>"
    "<Folder displayname=\"Dirs\"><Size si=\"1\"/></Folder>"
    "<Size lower=\"1048576\" upper=\"0\"/></SizeConfigure></SizeProfiles>"
    "<TimeProfiles default=\"T1\"><TimeConfigure id=\"T1\" displayname=\"Times\">"
    "<Folder displayname=\"2012\"><Time begin=\"2012-01-01 00:00:00\" end=\"2012-12-31 00:00:00\"/></Folder>"
    "<Time begin=\"2013-01-01 00:00:00\" end=\"2013-06-30 00:00:00\"/></TimeConfigure></TimeProfiles>"
    "</Ordvale>";

constexpr WPARAM kSizePosition = 2, kTimePosition = 3;  // on the method page
const char kSizesStored[] = "Sizes .[1048576..0]{Small[2722..102400] Dirs[folders]}";
const char kTimesStored[] = "Times .[2013-01-01..2013-06-30]{2012[2012-01-01..2012-12-31]}";

// The edit of an editable combo box.
HWND ComboEdit(HWND combo) {
    return GetWindow(combo, GW_CHILD);
}
// A date typed into a picker the way a person does it: a click on its year,
// the digits, Right to the month, and so on. A picker places its fields
// when it is first painted: a dialog's pickers take the click once the
// dialog has been idle once.
void PostDate(HWND picker, const wchar_t* year, const wchar_t* month, const wchar_t* day) {
    RECT client = {};
    GetClientRect(picker, &client);
    const LPARAM onYear = MAKELPARAM(8, client.bottom / 2);
    PostMessageW(picker, WM_LBUTTONDOWN, MK_LBUTTON, onYear);
    PostMessageW(picker, WM_LBUTTONUP, 0, onYear);
    const wchar_t* fields[] = {year, month, day};
    for (int i = 0; i < 3; ++i) {
        if (i) Press(picker, VK_RIGHT);
        Type(picker, fields[i]);
    }
}
std::wstring PickerDate(HWND picker) {
    SYSTEMTIME date = {};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID) return L"(none)";
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
    return text;
}
bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
std::wstring Today() {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

class SizeTimeEditor : public ProfilePageFixture {
protected:
    std::string Document() const override { return kDocument; }

    HWND SizePane() { return wizard.ProfilePage().Pane(PaneKind::SizeProperty)->Handle(); }
    HWND TimePane() { return wizard.ProfilePage().Pane(PaneKind::TimeProperty)->Handle(); }
    HWND SizeItem(int id) { return GetDlgItem(SizePane(), id); }
    HWND TimeItem(int id) { return GetDlgItem(TimePane(), id); }
    bool SizeUpdateOn() { return IsWindowEnabled(SizeItem(IDC_SIZE_PANE_UPDATE)) != FALSE; }
    bool TimeUpdateOn() { return IsWindowEnabled(TimeItem(IDC_TIME_PANE_UPDATE)) != FALSE; }
    void ClickRow(const std::wstring& name) {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << Narrow(name);
        ClickListItem(list, row);
    }
    std::string Saved(int method, const wchar_t* id) {
        Tool(IDC_PROFILE_TOOLBAR, ID_SAVE_PROFILE);
        return Stored(method, id);
    }
};

}  // namespace

// ---- The size rule pane ----

// 2,722 B shows as 2.66 KB; changing only the upper bound keeps the lower
// one exactly. Filling the pane is no change, and typing the old value back
// disables "&Update" again.
TEST_F(SizeTimeEditor, SizePaneKeepsAnUntouchedBoundExactly) {
    ScriptedUser user;
    OpenPage(kSizePosition);
    Open(L"Small");
    ClickRow(L"2.66KB ~ 100.00KB");
    HWND pane = SizePane();
    ASSERT_TRUE(IsWindowVisible(pane));
    EXPECT_EQ(Text(pane, IDC_SIZE_PANE_LOWER), L"2.66");
    EXPECT_EQ(Text(pane, IDC_SIZE_PANE_LOWER_UNIT), L"KB");
    EXPECT_EQ(Text(pane, IDC_SIZE_PANE_UPPER), L"100.00");
    EXPECT_EQ(Text(pane, IDC_SIZE_PANE_UPPER_UNIT), L"KB");
    EXPECT_FALSE(SizeUpdateOn()) << "filling the pane is no change";

    HWND upper = SizeItem(IDC_SIZE_PANE_UPPER);
    Type(upper, L"200");
    EXPECT_TRUE(SizeUpdateOn());
    Type(upper, L"100.00");
    EXPECT_FALSE(SizeUpdateOn()) << "the value as it was: " << Narrow(Text(upper));
    Type(upper, L"200");
    Press(upper, VK_RETURN);
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile) << "Enter belongs to the pane";
    EXPECT_FALSE(SizeUpdateOn());
    EXPECT_EQ(testing_support::Rows(list, 3), std::vector<std::wstring>{
                                     L"2.66KB ~ 200.00KB | Rule | All files with size between \"2.66KB ~ 200.00KB\" "
                                     L"will be moved to current folder."});
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(Saved(3, L"S1"), "Sizes .[1048576..0]{Small[2722..204800] Dirs[folders]}");
}

// Each refusal keeps the rule and the typed values, and puts the focus on
// the field at fault with its text selected.
TEST_F(SizeTimeEditor, SizePaneRefusals) {
    ScriptedUser quiet;  // any message box would show here
    struct Case {
        const char* name;
        const wchar_t* lower;
        wchar_t lowerUnit;  // a letter typed in the unit list; 0 leaves it
        const wchar_t* upper;
        wchar_t upperUnit;
        std::string message;
        int focus;
    };
    const Case cases[] = {
        {"2 MB above 1 MB", L"2", L'M', L"1", L'M',
         "! Invalid size range, lower limit can not be larger than upper limit.", IDC_SIZE_PANE_LOWER},
        {"a comma", L"1,5", 0, nullptr, 0, "! Invalid size value, file size must be positive.", IDC_SIZE_PANE_LOWER},
        {"a sign", L"-1", 0, nullptr, 0, "! Invalid size value, file size must be positive.", IDC_SIZE_PANE_LOWER},
        {"beyond the largest size", nullptr, 0, L"8388608", L'T', "! Invalid size value, file size must be positive.",
         IDC_SIZE_PANE_UPPER},
        {"blank", nullptr, 0, L"  ", 0, "! Invalid size value, file size must be positive.", IDC_SIZE_PANE_UPPER},
    };
    OpenPage(kSizePosition);
    Open(L"Small");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickListItem(list, -1);
        ClickRow(L"2.66KB ~ 100.00KB");
        if (c.lowerUnit) Type(SizeItem(IDC_SIZE_PANE_LOWER_UNIT), std::wstring(1, c.lowerUnit));
        if (c.lower) Type(SizeItem(IDC_SIZE_PANE_LOWER), c.lower);
        if (c.upperUnit) Type(SizeItem(IDC_SIZE_PANE_UPPER_UNIT), std::wstring(1, c.upperUnit));
        if (c.upper) Type(SizeItem(IDC_SIZE_PANE_UPPER), c.upper);
        ASSERT_TRUE(SizeUpdateOn()) << "values that do not read differ from the rule";
        ScriptedUser user;
        Click(SizeItem(IDC_SIZE_PANE_UPDATE));
        EXPECT_EQ(user.shown, std::vector<std::string>{c.message});
        EXPECT_TRUE(FocusedWhole(SizeItem(c.focus)));
        if (c.lower) {
            EXPECT_EQ(Text(SizePane(), IDC_SIZE_PANE_LOWER), c.lower);
        }
        EXPECT_EQ(Rows(), std::vector<std::wstring>{L"2.66KB ~ 100.00KB"});
    }
    EXPECT_FALSE(SaveEnabled());
}

// Equal bounds are a range; an unlimited upper bound that reaches the root's
// rule is an overlap: the collision is shown and the change refused.
TEST_F(SizeTimeEditor, SizePaneAcceptsEqualBoundsAndRefusesAnOverlap) {
    OpenPage(kSizePosition);
    Open(L"Small");
    ClickRow(L"2.66KB ~ 100.00KB");
    Type(SizeItem(IDC_SIZE_PANE_LOWER), L"100");
    Press(SizeItem(IDC_SIZE_PANE_LOWER), VK_RETURN);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"100.00KB ~ 100.00KB"});

    Type(SizeItem(IDC_SIZE_PANE_UPPER_UNIT), std::wstring(1, L'U'));
    EXPECT_FALSE(IsWindowEnabled(SizeItem(IDC_SIZE_PANE_UPPER))) << "Unlimited has no number";
    EXPECT_FALSE(IsWindowEnabled(SizeItem(IDC_SIZE_PANE_UPPER_SPIN)));
    // Enter in a unit list belongs to the pane but does not apply.
    Press(SizeItem(IDC_SIZE_PANE_UPPER_UNIT), VK_RETURN);
    EXPECT_EQ(wizard.CurrentPage(), Page::Profile);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"100.00KB ~ 100.00KB"});

    std::vector<std::wstring> collisions;
    driver->WhenIdle([&](HWND dialog) {
        EXPECT_EQ(Text(dialog), L"Rule Collision");
        collisions = testing_support::Rows(GetDlgItem(dialog, IDC_COLLISION_LIST), 2);
        Click(dialog, IDOK);
    });
    ScriptedUser user;
    Press(SizeItem(IDC_SIZE_PANE_LOWER), VK_RETURN);
    EXPECT_EQ(collisions, std::vector<std::wstring>{L"1.00MB ~ Unlimited | .\\"});
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Update size rule failed."});
    EXPECT_TRUE(FocusedWhole(SizeItem(IDC_SIZE_PANE_LOWER)));
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"100.00KB ~ 100.00KB"});
    EXPECT_EQ(Saved(3, L"S1"), "Sizes .[1048576..0]{Small[102400..102400] Dirs[folders]}");
}

// The up-down steps the number by one, wrapping within 0 to 1024; Edit (F2)
// takes the focus to the lower bound, or to its unit while that is
// "Unlimited"; the folders special shows with nothing to change.
TEST_F(SizeTimeEditor, SizePaneStepsAndFocus) {
    ScriptedUser quiet;  // any message box would show here
    OpenPage(kSizePosition);
    ClickRow(L"1.00MB ~ Unlimited");
    HWND lower = SizeItem(IDC_SIZE_PANE_LOWER);
    EXPECT_FALSE(IsWindowEnabled(SizeItem(IDC_SIZE_PANE_UPPER)));
    EXPECT_EQ(Text(SizePane(), IDC_SIZE_PANE_UPPER_UNIT), L"Unlimited");
    Press(list, VK_F2);
    EXPECT_TRUE(FocusedWhole(lower));
    Press(lower, VK_UP);
    EXPECT_EQ(Text(lower), L"2.00");
    EXPECT_TRUE(SizeUpdateOn()) << "a step is a change";
    Press(lower, VK_DOWN);
    Press(lower, VK_DOWN);
    Press(lower, VK_DOWN);
    EXPECT_EQ(Text(lower), L"1024.00") << "below 0 wraps to 1024";
    Press(lower, VK_UP);
    EXPECT_EQ(Text(lower), L"0.00") << "above 1024 wraps to 0";

    Type(SizeItem(IDC_SIZE_PANE_LOWER_UNIT), std::wstring(1, L'U'));
    EXPECT_FALSE(IsWindowEnabled(lower));
    Press(list, VK_F2);
    EXPECT_EQ(GetFocus(), SizeItem(IDC_SIZE_PANE_LOWER_UNIT));

    Open(L"Dirs");
    ClickRow(L"::{Folders}");
    EXPECT_TRUE(IsWindowVisible(SizePane()));
    for (int id : {IDC_SIZE_PANE_LOWER, IDC_SIZE_PANE_LOWER_UNIT, IDC_SIZE_PANE_LOWER_SPIN, IDC_SIZE_PANE_UPPER,
                   IDC_SIZE_PANE_UPPER_UNIT, IDC_SIZE_PANE_UPPER_SPIN, IDC_SIZE_PANE_UPDATE})
        EXPECT_FALSE(IsWindowEnabled(SizeItem(id))) << id;
}

// ---- The time rule pane ----

TEST_F(SizeTimeEditor, TimePaneChangesTheRange) {
    ScriptedUser quiet;  // any message box would show here
    OpenPage(kTimePosition);
    ClickRow(L"2013-01-01 - 2013-06-30");
    HWND pane = TimePane();
    ASSERT_TRUE(IsWindowVisible(pane));
    HWND from = TimeItem(IDC_TIME_PANE_FROM_PICKER), to = TimeItem(IDC_TIME_PANE_TO_PICKER);
    EXPECT_TRUE(Checked(TimeItem(IDC_TIME_PANE_FROM_DATE)));
    EXPECT_TRUE(Checked(TimeItem(IDC_TIME_PANE_TO_DATE)));
    EXPECT_EQ(PickerDate(from), L"2013-01-01");
    EXPECT_EQ(PickerDate(to), L"2013-06-30");
    EXPECT_FALSE(TimeUpdateOn()) << "filling the pane is no change";
    Press(list, VK_F2);
    EXPECT_EQ(GetFocus(), from);

    Click(TimeItem(IDC_TIME_PANE_NOW));
    EXPECT_TRUE(TimeUpdateOn());
    EXPECT_FALSE(IsWindowEnabled(to));
    Click(TimeItem(IDC_TIME_PANE_TO_DATE));
    EXPECT_FALSE(TimeUpdateOn()) << "the same day again";
    EXPECT_TRUE(IsWindowEnabled(to));

    PostDate(to, L"2013", L"07", L"31");
    driver->Pump();
    EXPECT_EQ(PickerDate(to), L"2013-07-31");
    EXPECT_TRUE(TimeUpdateOn());
    Press(to, VK_RETURN);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"2012", L"2013-01-01 - 2013-07-31"}));
    EXPECT_FALSE(TimeUpdateOn());

    // An end before the begin is refused with the New DateTime Rule message.
    PostDate(to, L"2012", L"12", L"31");
    driver->Pump();
    {
        ScriptedUser user;
        Press(to, VK_RETURN);
        EXPECT_EQ(user.shown,
                  std::vector<std::string>{"! The end date time can not be earlier than begin date time."});
    }
    EXPECT_EQ(GetFocus(), to);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"2012", L"2013-01-01 - 2013-07-31"}));

    // Long ago reaches 2012's year: the collision is shown, the change refused.
    Click(TimeItem(IDC_TIME_PANE_LONG_AGO));
    std::vector<std::wstring> collisions;
    driver->WhenIdle([&](HWND dialog) {
        collisions = testing_support::Rows(GetDlgItem(dialog, IDC_COLLISION_LIST), 3);
        Click(dialog, IDOK);
    });
    {
        ScriptedUser user;
        Press(TimeItem(IDC_TIME_PANE_LONG_AGO), VK_RETURN);
        EXPECT_EQ(user.shown, std::vector<std::string>{"! Update time rule failed."});
    }
    EXPECT_EQ(collisions, std::vector<std::wstring>{L".\\2012\\ | 2012-01-01 | 2012-12-31"});
    EXPECT_EQ(GetFocus(), TimeItem(IDC_TIME_PANE_LONG_AGO));

    // From its first day on, open at the end.
    Click(TimeItem(IDC_TIME_PANE_FROM_DATE));
    Click(TimeItem(IDC_TIME_PANE_NOW));
    Click(TimeItem(IDC_TIME_PANE_UPDATE));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"2012", L"2013-01-01 - Now"}));
    EXPECT_EQ(Saved(2, L"T1"), "Times .[2013-01-01..*]{2012[2012-01-01..2012-12-31]}");
}

// ---- The size Add menu ----

TEST_F(SizeTimeEditor, NewFileSizeRule) {
    OpenPage(kSizePosition);
    Open(L"Dirs");
    ScriptedUser user;
    AddByMenu(ID_ADD_SIZE_RULE, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New File Size Rule");
            for (int edit : {IDC_NEW_SIZE_LOWER, IDC_NEW_SIZE_UPPER}) {
                EXPECT_EQ(Text(dialog, edit), L"0");
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, edit))) << "Unlimited";
            }
            EXPECT_EQ(Text(dialog, IDC_NEW_SIZE_LOWER_UNIT), L"Unlimited");
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER_UNIT), std::wstring(1, L'K'));
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER), L"1e3");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown, std::vector<std::string>{"! Invalid size value, file size must be positive."});
            EXPECT_TRUE(FocusedWhole(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER)));
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER), L"600");
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_UPPER_UNIT), std::wstring(1, L'K'));
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_UPPER), L"500");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown.back(), "! Invalid size range, lower limit can not be larger than upper limit.");
            HWND lower = GetDlgItem(dialog, IDC_NEW_SIZE_LOWER);
            EXPECT_TRUE(FocusedWhole(lower));
            Type(lower, L"200");
            Press(lower, VK_UP);  // the up-down: 201
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown.size(), 2u);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"::{Folders}", L"201.00KB ~ 500.00KB"}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1) << "the new rule is selected";
    EXPECT_EQ(Saved(3, L"S1"), "Sizes .[1048576..0]{Small[2722..102400] Dirs[folders,205824..512000]}");
}

TEST_F(SizeTimeEditor, AnOverlappingNewSizeRuleFails) {
    OpenPage(kSizePosition);
    std::vector<std::wstring> collisions;
    ScriptedUser user;
    AddByMenu(ID_ADD_SIZE_RULE, {
        [](HWND dialog) {
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER_UNIT), std::wstring(1, L'K'));
            Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER), L"10");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            collisions = testing_support::Rows(GetDlgItem(dialog, IDC_COLLISION_LIST), 2);
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(collisions, (std::vector<std::wstring>{L"1.00MB ~ Unlimited | .\\", L"2.66KB ~ 100.00KB | .\\Small\\"}));
    EXPECT_EQ(user.shown, std::vector<std::string>{"! Add new file size rule failed."});
    EXPECT_FALSE(SaveEnabled());
}

// The batch dialog refuses what it cannot make, each time with the focus on
// the field at fault; then 0 B to 1 KB every 100 B makes eleven folders, and
// the same batch again stops before it makes anything.
TEST_F(SizeTimeEditor, BatchSizeRules) {
    OpenPage(kSizePosition);
    AddFolderByMenu(L"Batch");
    Open(L"Batch");
    ScriptedUser user;
    AddByMenu(ID_ADD_SIZE_BATCH, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Batch Adding File Size Rules");
            EXPECT_EQ(Text(dialog, IDC_SIZE_BATCH_FROM), L"0.00");
            EXPECT_EQ(Text(dialog, IDC_SIZE_BATCH_TO), L"1.00");
            EXPECT_EQ(Text(dialog, IDC_SIZE_BATCH_TO_UNIT), L"KB");
            EXPECT_EQ(Text(dialog, IDC_SIZE_BATCH_EVERY), L"100.00");
            EXPECT_EQ(Text(dialog, IDC_SIZE_BATCH_EVERY_UNIT), L"B");
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_SIZE_BATCH_FOLDERS)));
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_EVERY), L"0");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown.back(), "! File size interval can not be zero.");
            EXPECT_TRUE(FocusedWhole(GetDlgItem(dialog, IDC_SIZE_BATCH_EVERY)));
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_EVERY), L"1");
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_TO_UNIT), std::wstring(1, L'M'));
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown.back(), "! A batch makes at most 1000 rules. Please choose a larger interval.");
            EXPECT_TRUE(FocusedWhole(GetDlgItem(dialog, IDC_SIZE_BATCH_EVERY)));
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_TO_UNIT), std::wstring(1, L'K'));  // 1 KB
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_FROM), L"1024");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown.back(), "! Invalid size range, the end size can not be equal to the start size.");
            HWND from = GetDlgItem(dialog, IDC_SIZE_BATCH_FROM);
            EXPECT_TRUE(FocusedWhole(from));
            Type(from, L"1.2.3");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown.back(), "! Invalid size value, file size must be positive.");
            HWND from = GetDlgItem(dialog, IDC_SIZE_BATCH_FROM);
            EXPECT_TRUE(FocusedWhole(from));
            Type(from, L"1024");
            Press(from, VK_UP);  // wraps to 0.00
            Type(GetDlgItem(dialog, IDC_SIZE_BATCH_EVERY), L"100");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(user.shown.size(), 4u);
    const std::vector<std::wstring> rows = Rows();
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.front(), L"Unlimited ~ 100.00B");
    EXPECT_EQ(rows[1], L"100.00B ~ 200.00B");
    EXPECT_EQ(rows.back(), L"1000.00B ~ 1.00KB");
    Press(list, VK_END);  // the last folder, scrolled into view
    Press(list, VK_RETURN);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"1000.00B ~ 1.00KB"});
    Press(list, VK_BACK);

    ScriptedUser again;
    AddByMenu(ID_ADD_SIZE_BATCH, {[](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(again.shown, (std::vector<std::string>{"! A Folder named \"Unlimited ~ 100.00B\" already exists.",
                                                      "! Operations Aborted!"}));
    EXPECT_EQ(again.boxTypes.back(), static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(Rows().size(), 11u) << "nothing more was made";
}

// ---- The time Add menu ----

TEST_F(SizeTimeEditor, NewDateTimeRule) {
    OpenPage(kTimePosition);
    const std::wstring today = Today();
    ScriptedUser user;
    AddByMenu(ID_ADD_TIME_RULE, {
        [&](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"New DateTime Rule");
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_NEW_TIME_FROM_DATE)));
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_NEW_TIME_TO_DATE)));
            EXPECT_EQ(PickerDate(GetDlgItem(dialog, IDC_NEW_TIME_FROM_PICKER)), today);
            EXPECT_EQ(PickerDate(GetDlgItem(dialog, IDC_NEW_TIME_TO_PICKER)), today);
        },
        [&](HWND dialog) {
            PostDate(GetDlgItem(dialog, IDC_NEW_TIME_FROM_PICKER), L"2011", L"05", L"01");
            PostDate(GetDlgItem(dialog, IDC_NEW_TIME_TO_PICKER), L"2011", L"04", L"30");
            Click(dialog, IDOK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(user.shown, std::vector<std::string>{"! The end date time can not be earlier than begin date time."});
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NEW_TIME_TO_PICKER));
            Click(dialog, IDC_NEW_TIME_LONG_AGO);
        },
        [&](HWND dialog) {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_NEW_TIME_FROM_PICKER)));
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"2012", L"2013-01-01 - 2013-06-30", L"Long Ago - 2011-04-30"}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2) << "the new rule is selected";
    EXPECT_EQ(Saved(2, L"T1"), "Times .[2013-01-01..2013-06-30,*..2011-04-30]{2012[2012-01-01..2012-12-31]}");
}

// The year dialog's refusals, each keeping it open with the focus on the
// year at fault; years made as folders are checked together before the
// first is made.
TEST_F(SizeTimeEditor, BatchRulesByYear) {
    struct Refusal {
        const wchar_t* from;
        const wchar_t* to;
        std::string message;
        int focus;
    };
    const Refusal refusals[] = {
        {L"20x2", L"2012", "! Invalid year \"20x2\".", IDC_YEAR_FROM},
        {L" ", L"2012", "! Year can not be blank.", IDC_YEAR_FROM},
        {L"2012", L"1752", "! Invalid year \"1752\".", IDC_YEAR_TO},
        {L"1990", L"2080", "! Year range is too large.", IDC_YEAR_FROM},
        {L"2012", L"2010", "! A Folder named \"2012\" already exists.", 0},  // then the abort
    };
    OpenPage(kTimePosition);
    ScriptedUser user;
    std::vector<std::function<void(HWND)>> actions;
    for (const Refusal& r : refusals) {
        actions.push_back([&user, r](HWND dialog) {
            if (!user.shown.empty()) ADD_FAILURE() << "unexpected: " << user.shown.back();
            Type(ComboEdit(GetDlgItem(dialog, IDC_YEAR_FROM)), r.from);
            Type(ComboEdit(GetDlgItem(dialog, IDC_YEAR_TO)), r.to);
            Click(dialog, IDOK);
        });
        if (!r.focus) break;
        actions.push_back([&user, r](HWND dialog) {
            EXPECT_EQ(user.shown, std::vector<std::string>{r.message});
            EXPECT_EQ(GetFocus(), ComboEdit(GetDlgItem(dialog, r.focus))) << r.message;
            user.shown.clear();
        });
    }
    AddByMenu(ID_ADD_TIME_BY_YEAR, actions);
    EXPECT_EQ(user.shown, (std::vector<std::string>{"! A Folder named \"2012\" already exists.", "! Operations Aborted!"}));
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"2012", L"2013-01-01 - 2013-06-30"})) << "2010 and 2011 not made";

    // 2009 to 2010 (typed the other way round), named in full.
    AddByMenu(ID_ADD_TIME_BY_YEAR, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Create Date Time Rule By Year");
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_YEAR_FOLDERS)));
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_YEAR_SHORT)));
            Click(dialog, IDC_YEAR_FOLDERS);
        },
        [](HWND dialog) {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_YEAR_FULL))) << "no folders, no names";
            Click(dialog, IDC_YEAR_FOLDERS);
        },
        [](HWND dialog) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_YEAR_FULL)));
            Click(dialog, IDC_YEAR_FULL);
            Type(ComboEdit(GetDlgItem(dialog, IDC_YEAR_FROM)), L"2010");
            Type(ComboEdit(GetDlgItem(dialog, IDC_YEAR_TO)), L"2009");
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(Saved(2, L"T1"), "Times .[2013-01-01..2013-06-30]{2012[2012-01-01..2012-12-31] "
                               "Year 2009[2009-01-01..2009-12-31] Year 2010[2010-01-01..2010-12-31]}");
}

TEST_F(SizeTimeEditor, BatchRulesByMonth) {
    ScriptedUser quiet;  // any message box would show here
    OpenPage(kTimePosition);
    AddByMenu(ID_ADD_TIME_BY_MONTH, {
        [](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Create Date Time Rule By Month");
            EXPECT_EQ(Text(dialog, IDC_MONTH_FROM), L" 1");
            EXPECT_EQ(Text(dialog, IDC_MONTH_TO), L"12");
            EXPECT_TRUE(Checked(GetDlgItem(dialog, IDC_MONTH_YEAR_NUMBER)));
            Type(ComboEdit(GetDlgItem(dialog, IDC_MONTH_YEAR)), L"2016");
            Press(GetDlgItem(dialog, IDC_MONTH_FROM), VK_DOWN);  // 2
            Press(GetDlgItem(dialog, IDC_MONTH_TO), VK_HOME);    // 1: swapped
            Click(dialog, IDC_MONTH_YEAR_NAME);
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(Saved(2, L"T1"), "Times .[2013-01-01..2013-06-30]{2012[2012-01-01..2012-12-31] "
                               "January, 2016[2016-01-01..2016-01-31] February, 2016[2016-02-01..2016-02-29]}");
}

// The day lists follow the year and the month; From after To makes nothing.
TEST_F(SizeTimeEditor, BatchRulesByDay) {
    OpenPage(kTimePosition);
    Open(L"2012");
    auto dayCount = [](HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0); };
    ScriptedUser user;
    AddByMenu(ID_ADD_TIME_BY_DAY, {
        [&](HWND dialog) {
            EXPECT_EQ(Text(dialog), L"Create Date Time Rule By Day");
            EXPECT_FALSE(Checked(GetDlgItem(dialog, IDC_DAY_FOLDERS)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DAY_FULL_NUMBER)));
            Type(ComboEdit(GetDlgItem(dialog, IDC_DAY_YEAR)), L"2012");
            Press(GetDlgItem(dialog, IDC_DAY_MONTH), VK_HOME);
            Press(GetDlgItem(dialog, IDC_DAY_MONTH), VK_DOWN);  // February
        },
        [&](HWND dialog) {
            EXPECT_EQ(dayCount(dialog, IDC_DAY_FROM), 29) << "February 2012";
            EXPECT_EQ(Text(dialog, IDC_DAY_TO), L"29");
            Type(ComboEdit(GetDlgItem(dialog, IDC_DAY_YEAR)), L"2013");  // the lists follow as it is typed
        },
        [&](HWND dialog) {
            EXPECT_EQ(Text(dialog, IDC_DAY_YEAR), L"2013");
            EXPECT_EQ(dayCount(dialog, IDC_DAY_TO), 28) << "February 2013";
            EXPECT_EQ(Text(dialog, IDC_DAY_TO), L"28");
            Press(GetDlgItem(dialog, IDC_DAY_FROM), VK_END);  // 28
            Press(GetDlgItem(dialog, IDC_DAY_TO), VK_HOME);   // 1
            Click(dialog, IDOK);
        },
    });
    EXPECT_TRUE(user.shown.empty()) << "nothing made, nothing said";
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"2012-01-01 - 2012-12-31"});
    EXPECT_FALSE(SaveEnabled());

    Press(list, VK_BACK);
    AddByMenu(ID_ADD_TIME_BY_DAY, {
        [](HWND dialog) {
            Type(ComboEdit(GetDlgItem(dialog, IDC_DAY_YEAR)), L"2016");
            Press(GetDlgItem(dialog, IDC_DAY_MONTH), VK_HOME);
            Press(GetDlgItem(dialog, IDC_DAY_MONTH), VK_DOWN);
        },
        [](HWND dialog) {
            Press(GetDlgItem(dialog, IDC_DAY_FROM), VK_END);
            Press(GetDlgItem(dialog, IDC_DAY_FROM), VK_UP);  // 28
            Click(dialog, IDC_DAY_FOLDERS);
        },
        [](HWND dialog) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DAY_FULL_NAME)));
            Click(dialog, IDC_DAY_FULL_NAME);
            Click(dialog, IDOK);
        },
    });
    EXPECT_EQ(Saved(2, L"T1"), "Times .[2013-01-01..2013-06-30]{2012[2012-01-01..2012-12-31] "
                               "February 28, 2016[2016-02-28..2016-02-28] February 29, 2016[2016-02-29..2016-02-29]}");
}

// Every command of the size and time Add menus is offered, in the New Item
// drop-down and in the list's context menu.
TEST_F(SizeTimeEditor, AddMenusOfferEveryCommand) {
    ScriptedUser quiet;  // any message box would show here
    struct Case {
        WPARAM position;
        std::vector<UINT> commands;
    };
    const Case cases[] = {
        {kSizePosition, {ID_ADD_FOLDER, ID_ADD_SIZE_RULE, ID_ADD_SIZE_FOLDERS, ID_ADD_SIZE_BATCH}},
        {kTimePosition, {ID_ADD_FOLDER, ID_ADD_TIME_RULE, ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH, ID_ADD_TIME_BY_DAY}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        if (wizard.CurrentPage() == Page::Profile) Previous();
        OpenPage(c.position);
        for (bool contextMenu : {false, true}) {
            std::vector<UINT> states;
            driver->WhenIdle([&](HWND menu) {
                for (UINT command : c.commands) states.push_back(MenuState(MenuOf(menu), command));
                EndMenu();
            });
            if (contextMenu) {
                RightClickListItem(list, -1);
            } else {
                Tool(IDC_NEW_ITEMS_TOOLBAR, ID_NEW_ITEMS);
            }
            EXPECT_EQ(states, std::vector<UINT>(c.commands.size(), 0u)) << "none grey, none missing";
        }
    }
}
