// How the tests act on windows: as a person does, with the mouse (click),
// the keyboard (press, type) and the eyes (read). Every act is posted to the
// window's own thread, so one set of calls drives a window of another
// process, of a modal dialog's loop or of this very thread: for a window of
// this thread, a UiDriver (UiDriver.h) then dispatches what was posted, unless
// the act is one of its scripted answers, played inside a modal loop that
// dispatches it itself.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/Handle.h"

namespace testing_support {

// Keys held while a key is pressed.
enum class Held : unsigned { Nothing = 0, Shift = 1, Control = 2, Alt = 4 };
inline Held operator|(Held a, Held b) { return static_cast<Held>(static_cast<unsigned>(a) | static_cast<unsigned>(b)); }
inline bool Holds(Held held, Held key) { return (static_cast<unsigned>(held) & static_cast<unsigned>(key)) != 0; }

// ---- click ----
// A click on the button (BM_CLICK, as the mouse gives it): an automatic radio
// button or check box changes its own state on the way, a disabled one
// does nothing.
void Click(HWND button);
// A click on the control with this id: the window's own child, or else the
// visible one anywhere below it (pages are child dialogs of a frame); a test
// failure when there is none.
void Click(HWND window, int id);
void ClickToolbarButton(HWND toolbar, int command);
// A click on a list view item's label (index -1: the empty space below the
// items), with the keys (MK_CONTROL, MK_SHIFT) held.
void ClickListItem(HWND list, int index, UINT keys = 0);
void DoubleClickListItem(HWND list, int index);
void RightClickListItem(HWND list, int index);

// ---- press ----
// A key pressed and released, `times` over, in the window: a control gets it
// itself; a top-level window's keys go to the control that has the focus in
// its thread (a test failure when nothing has it). Alt makes it a system key
// (Alt with a letter: a mnemonic); Shift and Control are held in the thread's
// keyboard state while it is handled, which only this thread's windows see.
void Press(HWND window, UINT key, Held held = Held::Nothing, int times = 1);

// ---- choose from a menu ----
// With a menu of the window's thread open (the window may be the menu's
// own), picks the item of that command by the keyboard, as a person does:
// the mnemonic (the letter after '&') of each submenu on the way, then of the
// item. `layout` says how the menu is laid out: the open menu itself for a
// menu of this process (MenuOf), the menu as the program's resources hold it
// for another's (ProgramMenu), since a menu's items cannot be read from
// another process under Wine. A test failure when the command is not in the
// layout or an item on the way has no mnemonic.
void ChooseMenuItem(HWND window, HMENU layout, UINT command);
// The menu an open menu window shows (of this process).
HMENU MenuOf(HWND menuWindow);
// A menu resource of a program file, loaded as data and held while it lives.
class ProgramMenu {
public:
    ProgramMenu(const std::wstring& program, int menuId);
    // The menu bar's popup at that index (the one a button or a drop-down opens).
    HMENU Popup(int index) const { return menu_ ? GetSubMenu(menu_.Get(), index) : nullptr; }

private:
    ordvale::win::UniqueMenu menu_;
};
// The state (MF_GRAYED and others) of a menu item by command, searched in
// submenus too; -1 when it is not there.
UINT MenuState(HMENU menu, UINT command);

// ---- type ----
// Characters typed into the window: for an edit, End and one Backspace for
// each character it holds first, so the text replaces what it held; for a
// ComboBoxEx, into its combo box (a drop-down list picks an entry by letter).
void Type(HWND window, const std::wstring& text);
// Puts the text on the clipboard and pastes it over the whole text of the
// edit (Ctrl+A, Ctrl+V): how text a user cannot type (a tab, say) gets into
// a box.
void Paste(HWND edit, const std::wstring& text);

// ---- read ----
std::wstring Text(HWND window);
std::wstring Text(HWND dialog, int id);
// A message box's text.
std::wstring MessageBoxText(HWND box);
// The control that has the keyboard focus in the window's thread.
HWND Focus(HWND window);
// A list view's rows and cells, also when the list belongs to another
// process; a row's columns are joined by " | ".
int RowCount(HWND list);
std::wstring Cell(HWND list, int row, int column);
std::vector<std::wstring> Rows(HWND list, int columns = 1);
// The texts of a combo box's entries (ComboBoxEx too), of this process.
std::vector<std::wstring> ComboEntries(HWND combo);
bool ToolbarButtonEnabled(HWND toolbar, int command);

// The visible control with this id anywhere below the window; nullptr when
// there is none.
HWND VisibleControl(HWND top, int id);

// Called after each act: dispatches what was posted when a driver of this
// thread says so (UiDriver sets it).
class Settler {
public:
    virtual ~Settler() = default;
    virtual void Settle(HWND window) = 0;
};
void SetSettler(Settler* settler);
// Stops `settler` being called, unless another has taken its place since.
void RemoveSettler(Settler* settler);

// The width of an icon's image (0 without an icon); icons are square.
int IconWidth(HICON icon);

}  // namespace testing_support
