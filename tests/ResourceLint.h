// Checks over the dialog templates and menus of a module, each made from its
// resources as the program makes them: each returns a description of every
// place a check does not hold (none when all is well).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// Radio buttons that follow one another (with only static texts or icons
// between them) answer one question: the dialog manager clears the others of
// a group when one is checked and moves among them with the arrow keys, so
// they must make up one group of their own. Creates every dialog template of
// the module in turn and describes each place where that does not hold.
std::vector<std::wstring> RadioGroupFaults(HINSTANCE module);

// Dialog templates (by resource id) that are shown at the same time, one
// inside the other (a page in its frame, a pane in its page): Alt with a
// letter reaches any of their controls, so they share one set of mnemonics.
using ShownTogether = std::vector<int>;

// Alt with a letter goes to the first control that has it as its mnemonic
// (the letter after a single "&" in a button's or a text's caption): a letter
// used twice leaves the second control out of reach. Describes each letter
// used more than once within one dialog template (or within one set of
// templates shown together; a template named in a set is checked as part of
// each of its sets), and within one popup of each menu (the items of the
// popup itself, each submenu on its own).
std::vector<std::wstring> MnemonicClashes(HINSTANCE module, const std::vector<ShownTogether>& together = {});

// A keyboard user picks a menu item by its mnemonic, or else walks to it
// with the arrow keys past every item before it. Describes each item of a
// menu's popups (a menu bar's own items, never shown by this system's
// programs, aside) that has none.
std::vector<std::wstring> MenuItemsWithoutMnemonic(HINSTANCE module);

// The mnemonic of a caption ("Pre&view..." has 'V'), upper case; 0 for none.
wchar_t MnemonicOf(const std::wstring& caption);

}  // namespace testing_support
