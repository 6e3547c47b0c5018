// The wizard's windows at 150 % (144 DPI, see DpiMain.cpp), used as a person
// does: every icon a page shows and every image list of its lists, toolbars
// and boxes has the size that DPI asks for (24 and 48 pixels for the small
// and large icons, 96 for the target page's command links), and the profile
// list, full enough to scroll, needs no sideways scroll bar.
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ProfilePageFixture.h"
#include "common/win/Dpi.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

constexpr int kSmall = 24;
constexpr int kLarge = 48;
constexpr int kLink = 96;


// The width of an image list's images (0 without one).
int ImageWidth(LRESULT list) {
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(list), &cx, &cy)) return 0;
    EXPECT_EQ(cx, cy);
    return cx;
}

int ButtonIcon(HWND window, int id) {
    return IconWidth(reinterpret_cast<HICON>(SendDlgItemMessageW(window, id, BM_GETIMAGE, IMAGE_ICON, 0)));
}

int StaticIcon(HWND window, int id) {
    return IconWidth(reinterpret_cast<HICON>(SendDlgItemMessageW(window, id, STM_GETICON, 0, 0)));
}

// A type profile with more folders than the list shows at once.
std::string LongDocument() {
    std::string folders;
    for (int i = 1; i <= 40; ++i) folders += "<Folder displayname=\"Folder number " + std::to_string(i) + "\"/>";
    return "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"Type1\">"
           "<TypeConfigure id=\"Type1\" displayname=\"Home\"><Ext t=\".txt\"/>" +
           folders + "</TypeConfigure></TypeProfiles></Ordvale>";
}

class WizardAtDpi : public ProfilePageFixture {
protected:
    std::string Document() const override { return LongDocument(); }
    void SetUp() override {
        ProfilePageFixture::SetUp();
        ASSERT_EQ(win::WindowDpi(frame), 144u) << "the tests mean 150 %";
    }
    HWND Target() { return wizard.TargetPage().Handle(); }
    void ClickLink(int id) { Click(GetDlgItem(Target(), id)); }
};

}  // namespace

TEST_F(WizardAtDpi, EveryPageShowsItsIconsAtTheScreensSize) {
    for (int id : {IDC_LINK_DESKTOP, IDC_LINK_FOLDER, IDC_LINK_SELECTION})
        EXPECT_EQ(ButtonIcon(Target(), id), kLink) << "command link " << id;
    EXPECT_EQ(ButtonIcon(frame, IDC_MENU_BUTTON), kSmall) << "menu button";
    EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0))), kSmall);
    EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_BIG, 0))), kLarge);

    ClickLink(IDC_LINK_DESKTOP);
    ASSERT_EQ(wizard.CurrentPage(), Page::Method);
    HWND method = wizard.MethodPage().Handle();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(StaticIcon(method, IDC_METHOD_ICON_FIRST + i), kLarge) << "method " << i;

    Next();
    ASSERT_EQ(wizard.CurrentPage(), Page::Profile);
    for (int id : {IDC_PROFILE_TOOLBAR, IDC_NAVIGATION_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR})
        EXPECT_EQ(ImageWidth(SendMessageW(Toolbar(id), TB_GETIMAGELIST, 0, 0)), kSmall) << "toolbar " << id;
    EXPECT_EQ(ImageWidth(SendDlgItemMessageW(Toolbar(IDC_NAVIGATION_TOOLBAR), IDC_PATH_BOX, CBEM_GETIMAGELIST, 0, 0)),
              kSmall)
        << "path box";
    EXPECT_EQ(ImageWidth(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), kLarge);
    EXPECT_EQ(ImageWidth(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), kSmall);

    Next();
    ASSERT_EQ(wizard.CurrentPage(), Page::Summary);
    HWND summary = wizard.SummaryPage().Handle();
    for (int id : {IDC_TARGET_ICON, IDC_METHOD_ICON, IDC_PROFILE_ICON})
        EXPECT_EQ(StaticIcon(summary, id), kSmall) << "summary icon " << id;
}

TEST_F(WizardAtDpi, SelectionListShowsSmallIconsAtTheScreensSize) {
    ClickLink(IDC_LINK_SELECTION);
    ASSERT_EQ(wizard.CurrentPage(), Page::Items);
    HWND items = wizard.ItemsPage().List();
    EXPECT_EQ(ImageWidth(SendMessageW(items, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), kSmall);
    EXPECT_EQ(GetWindowLongPtrW(items, GWL_STYLE) & WS_HSCROLL, 0) << "the list's one column fits it";
}

TEST_F(WizardAtDpi, ProfileListScrollsOnlyDownwards) {
    ClickLink(IDC_LINK_DESKTOP);
    Next();
    ASSERT_EQ(wizard.CurrentPage(), Page::Profile);
    ASSERT_GE(ListView_GetItemCount(list), 40);
    EXPECT_NE(GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL, 0) << "the list is full enough to scroll";
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL, 0) << "its columns fit beside the scroll bar";
    EXPECT_GE(ListView_GetColumnWidth(list, 0), win::ScaleForDpi(120, 144)) << "the name column grows with the DPI";
}

namespace {

// The height of a font in pixels (0 without one).
int FontHeight(HFONT font) {
    LOGFONTW lf = {};
    return font && GetObjectW(font, sizeof(lf), &lf) ? std::abs(lf.lfHeight) : 0;
}

int ControlFontHeight(HWND window, int id) {
    return FontHeight(reinterpret_cast<HFONT>(SendDlgItemMessageW(window, id, WM_GETFONT, 0, 0)));
}

// What a change of DPI must make again, as the wizard shows it.
struct Drawn {
    int linkIcon, methodIcon, menuIcon;
    int targetTitle, methodTitle, summaryTitle;
    int caption, note;
};

}  // namespace

// A change of DPI as the system tells it to a top-level window
// (WM_DPICHANGED with the new DPI and the suggested place): every page's
// icons and fonts are made again for the new DPI, and for the old one again
// on the way back. Wine never sends the message, nor changes a window's DPI
// while it runs; what the system does to the pages on its own
// (WM_DPICHANGED_AFTERPARENT, the dialog's layout) stays untested here.
TEST_F(WizardAtDpi, AChangeOfDpiMakesIconsAndFontsAgain) {
    CCommandLinkButton& link = wizard.TargetPage().Link(0);
    const auto drawn = [&] {
        return Drawn{ButtonIcon(Target(), IDC_LINK_DESKTOP),
                     StaticIcon(wizard.MethodPage().Handle(), IDC_METHOD_ICON_FIRST),
                     ButtonIcon(frame, IDC_MENU_BUTTON),
                     ControlFontHeight(Target(), IDC_TARGET_TITLE),
                     ControlFontHeight(wizard.MethodPage().Handle(), IDC_METHOD_TITLE),
                     ControlFontHeight(wizard.SummaryPage().Handle(), IDC_SUMMARY_TITLE),
                     FontHeight(link.CaptionFont()),
                     FontHeight(link.NoteFont())};
    };
    const Drawn at144 = drawn();
    ASSERT_EQ(at144.linkIcon, kLink);
    ASSERT_GT(at144.targetTitle, 0);
    ASSERT_GT(at144.note, 0);
    EXPECT_GT(at144.caption, at144.note) << "the caption is the larger";
    const auto changeTo = [&](UINT dpi) {
        RECT suggested = {};
        GetWindowRect(frame, &suggested);
        SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    };
    // A font made for 192 DPI is 4/3 of the one for 144, give or take the rounding.
    const auto scaled = [](int height) { return height * 4 / 3; };

    changeTo(192);
    const Drawn at192 = drawn();
    EXPECT_EQ(at192.linkIcon, 128) << "command link";
    EXPECT_EQ(at192.methodIcon, win::LargeIconSize(192)) << "method icon";
    EXPECT_EQ(at192.menuIcon, win::SmallIconSize(192)) << "menu button";
    const struct {
        const char* what;
        int before, after;
    } fonts[] = {{"target page's title", at144.targetTitle, at192.targetTitle},
                 {"method page's title", at144.methodTitle, at192.methodTitle},
                 {"summary page's title", at144.summaryTitle, at192.summaryTitle},
                 {"link caption", at144.caption, at192.caption},
                 {"link note", at144.note, at192.note}};
    for (const auto& font : fonts) EXPECT_NEAR(font.after, scaled(font.before), 1) << font.what;

    changeTo(144);
    const Drawn back = drawn();
    EXPECT_EQ(back.linkIcon, kLink);
    EXPECT_EQ(back.methodIcon, kLarge);
    EXPECT_EQ(back.menuIcon, kSmall);
    for (const auto& [before, after] : {std::pair{at144.targetTitle, back.targetTitle},
                                        std::pair{at144.caption, back.caption}, std::pair{at144.note, back.note}})
        EXPECT_EQ(after, before) << "back at 144 DPI";
}
