// Changing a folder, a type rule or a name rule in place, as their property
// panes do, without windows: the change test that enables "&Update", and
// applying the pane's values with the checks and messages on the way. Each
// apply says what the pane must do next (which field gets the focus, which
// text goes back into it); the page then updates its list, path box and
// Save button. Also the reading of a typed extension that the New File Type
// dialog shares with the type pane.
#pragma once
#include <windows.h>

#include <string>

#include "EditorTexts.h"
#include "Placement.h"
#include "common/MethodProfile.h"

namespace ordvale::editor {

// Where a check's messages go: their owner window and caption.
struct MessageTarget {
    const TextSource& texts;
    HWND owner;
    std::wstring caption;
    int Show(const std::wstring& text, UINT type) const;
};

// A typed extension, normalised: blank or nothing after the last "." is
// refused with a message; "txt" or "file.tar.gz" asks whether ".txt" or
// ".gz" was meant. True with *normalized when accepted.
bool ConfirmExtension(const MessageTarget& target, const std::wstring& typed, std::wstring* normalized);

// ---- Folder property pane ----

struct FolderPaneValues {
    std::wstring name;
    bool absolute = false;  // "Absolute Path" checked
    std::wstring location;  // the browse edit, used only when absolute
};
struct FolderPaneChanges {
    bool name = false;
    bool location = false;
    bool Any() const { return name || location; }
};
// Name (trimmed) and location (trimmed when absolute, else empty) compared
// with the folder's, without regard to case.
FolderPaneChanges CompareFolderPane(const FolderNode& folder, const FolderPaneValues& values);

enum class PaneFocus { None, First, Second };  // the pane's first or second field
struct FolderEdit {
    bool renamed = false;
    bool relocated = false;
    PaneFocus focus = PaneFocus::None;  // First: the name edit; Second: the browse edit
    bool Applied() const { return renamed || relocated; }
};
// The name first: an invalid name stops everything; a rename refused (a
// sibling has the name) is reported and the location still follows. Then
// the location: "Absolute Path" needs an absolute drive path.
FolderEdit ApplyFolderPane(PlacementHost& host, FolderNode* folder, const FolderPaneValues& values,
                           const FolderPaneChanges& changes);

// ---- Rule panes ----

struct RuleEdit {
    bool applied = false;
    PaneFocus focus = PaneFocus::None;
    bool setText = false;  // put `text` into the pane's edit
    std::wstring text;
};

// Type rule pane: the extension edit, trimmed, against the rule's extension
// without regard to case.
bool TypePaneDiffers(const TypeEntry& rule, const std::wstring& typed);
// A special rule is refused (its name goes back into the edit); the typed
// extension is normalised (ConfirmExtension, captioned with the
// application's title) and replaces the rule's through placement.
RuleEdit ApplyTypePane(PlacementHost& host, FolderNode* folder, int index, const std::wstring& typed);

// Name rule pane. A combo without a selection (a character it does not
// list) keeps the rule's character.
struct NamePaneValues {
    bool hasFirst = false;
    wchar_t first = 0;
    bool hasLast = false;
    wchar_t last = 0;
    std::wstring expression;
};
// Range: a selected character differs from the rule's. Expression: the edit,
// trimmed, is not blank and differs from the rule's, letter case counting.
bool NamePaneDiffers(const NameEntry& rule, const NamePaneValues& values);
// The rule keeps its kind. An expression must be storable
// (ExpressionProblem); a range has its characters put in order. Refused
// placements end with "Update name rule failed."; the focus then goes to the
// first character (First) or the expression (Second).
RuleEdit ApplyNamePane(PlacementHost& host, FolderNode* folder, int index, const NamePaneValues& values);

}  // namespace ordvale::editor
