// Every change the profile editor makes to a profile's folder tree: folders
// made, renamed, relocated and deleted; rules added, moved, replaced and
// removed. A profile holds a rule only once in its whole tree, and time, size
// and character-range name rules may not overlap anywhere in it. Adding a
// rule that sits in another folder asks whether to move it here; adding one
// that overlaps others shows them and refuses. Batches share one
// PlacementMode, so "Yes to all" and "Cancel" carry from rule to rule.
//
// No windows here: questions go through the host (the page shows Confirm
// Item Replacement and Rule Collision; tests script the answers) and
// messages through the message-box seam.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "EditorTexts.h"
#include "RuleDisplay.h"
#include "common/MethodProfile.h"

namespace ordvale::editor {

// The answer state of one command; single-rule commands start at
// PlaceSingle, batches at PlaceAskEach.
enum PlacementMode : int32_t {
    PlaceCancelled = 0,  // every later placement succeeds at once and adds nothing
    PlaceYesToAll = 1,   // duplicates elsewhere are moved without asking
    PlaceSingle = 3,     // ask Yes/No
    PlaceAskEach = 4,    // ask Yes/Yes to all/No/Cancel
};

// Answers of Confirm Item Replacement.
enum ReplaceAnswer : int { kReplaceYes = IDYES, kReplaceYesToAll = 1005, kReplaceNo = IDNO, kReplaceCancel = IDCANCEL };

// One rule of a tree: the folder and the index in its rule list.
struct RuleLocation {
    FolderNode* folder = nullptr;
    int index = -1;
    bool operator==(const RuleLocation& other) const { return folder == other.folder && index == other.index; }
};
// In tree order: a folder's own rules, then its subfolders depth first.
using CollisionList = std::vector<RuleLocation>;

// One row of the Rule Collision list, its cells in column order.
struct CollisionRow {
    std::vector<std::wstring> cells;
    int image = -1;  // the rule's icon in the page's small image list
};
struct CollisionColumn {
    UINT title;  // string id
    int width;   // pixels at 96 DPI
};
// Time rules: Path, From, To; size and name rules: Rule, Path.
std::vector<CollisionColumn> CollisionColumns(ModelMethod method);
std::vector<CollisionRow> CollisionRows(const TextSource& texts, ModelMethod method, const CollisionList& collisions);

class PlacementHost : public TextSource {
public:
    virtual HWND Owner() const = 0;
    // Confirm Item Replacement (kReplaceCancel when closed).
    virtual ReplaceAnswer ConfirmReplacement(const std::wstring& question, bool fourButtons) = 0;
    // Rule Collision: the message and the colliding rules of a method's tree.
    virtual void ShowCollisions(const std::wstring& message, ModelMethod method, const CollisionList& collisions) = 0;
    // The display fields of a new or changed rule: texts and icon.
    virtual void PrepareRuleDisplay(ModelMethod method, RuleEntry* entry) = 0;

    // A message box through the seam, captioned with the application title.
    int Message(const std::wstring& text, UINT type) const;
};

// ---- Folders ----

// Whether a folder may carry this name (spaces and tabs around it ignored):
// not blank, none of \ / : * ? " < > | and no control characters, not "."
// or "..", not ending in a dot, not a device name (CON, PRN, AUX, NUL, COM1
// to COM9, LPT1 to LPT9, also with an extension).
bool ValidateFolderName(const std::wstring& text);

// The subfolder with this name (ignoring case), or nullptr.
FolderNode* FindChildByName(FolderNode* folder, const std::wstring& name);

// A new last subfolder, its name trimmed; the parent is marked modified.
// An invalid name or one a subfolder already has is reported (exclamation
// icon) and gives nullptr.
FolderNode* AddFolder(PlacementHost& host, FolderNode* parent, const std::wstring& name,
                      const std::wstring& location);

// Where the names of new folders come from: typed by the user, or made by
// a batch from its rules (an invalid one is then named in the message).
enum class FolderNames { Typed, Generated };
// For a batch, before it makes anything: every name valid, none taken in the
// parent, no two alike. The first problem is reported as AddFolder would;
// an invalid generated name is named first.
bool CheckNewFolderNames(PlacementHost& host, FolderNode* parent, const std::vector<std::wstring>& names,
                         FolderNames source = FolderNames::Generated);

enum class RenameResult { Renamed, Failed, Duplicate };
// The name trimmed; failed for the root, a blank or invalid name; duplicate
// when another subfolder of the parent has it (ignoring case).
RenameResult RenameFolder(FolderNode* folder, const std::wstring& name);

// Stores the trimmed location with a backslash appended, recomputes the
// paths of the folder and everything below it, marks the folder modified.
void SetFolderLocation(FolderNode* folder, const std::wstring& location);

enum class DeleteResult { Deleted, NotChild };
// Deletes the subfolder with everything below it.
DeleteResult DeleteChildFolder(FolderNode* parent, FolderNode* folder);

// Whether the folder or any folder below it is marked modified.
bool IsTreeModified(const FolderNode& folder);

// The root of the folder's tree.
FolderNode* RootOf(FolderNode* folder);
// Whether folder is ancestor itself or lies below it.
bool IsSameOrInside(const FolderNode* folder, const FolderNode* ancestor);

// ---- Rules ----

// The first rule of the tree equal to `rule` (the kind's own equality),
// leaving out the rule at `exclude` when one is given.
bool FindInTree(FolderNode* root, const RuleEntry& rule, RuleLocation* found,
                const RuleLocation* exclude = nullptr);
// Every rule of the tree that overlaps `rule`, leaving out `exclude`.
CollisionList CollectCollisions(FolderNode* root, const RuleEntry& rule, const RuleLocation* exclude = nullptr);

bool AddRule(FolderNode* folder, const RuleEntry& rule);
enum class RemoveResult { Removed, NotFound, NoFolder };
// Removes the first equal entry.
RemoveResult RemoveRule(FolderNode* folder, const RuleEntry& rule);
// Removes the entry at this position.
bool RemoveRuleAt(FolderNode* folder, int index);
// Copies the new values (display fields too) into the entry at the index.
bool ReplaceRule(FolderNode* folder, int index, const RuleEntry& newRule);
enum class MoveResult { Moved, AlreadyThere, Failed };
// Moves the entry to the end of `to`; AlreadyThere, doing nothing, when
// from is to.
MoveResult MoveRule(FolderNode* from, int index, FolderNode* to);

// ---- Placement ----
// Each returns true on success (also when the answers add nothing) and false
// on failure; the caller then shows its own failure message.

// An extension rule (kind 0) or a special (kind 1 to 3, extension holding
// its special name) into the target, which must be a folder of a type model.
bool PlaceTypeRule(PlacementHost& host, FolderNode* target, const std::wstring& extension, PlacementMode* mode,
                   int kind);
// A date range; a missing bound is open (at least one must be given).
bool PlaceTimeRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, const FILETIME* begin,
                   const FILETIME* end);
// A size range (kind 0, at least one bound given; a missing one is 0) or the
// folders special (kind 1).
bool PlaceSizeRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, int kind, const int64_t* lower,
                   const int64_t* upper);
// A character range (kind 0) or a regular expression (kind 1, not blank).
bool PlaceNameRule(PlacementHost& host, PlacementMode* mode, FolderNode* folder, int kind, wchar_t first,
                   wchar_t last, const wchar_t* expression);

// Changes the rule at (folder, index) to the new values, as the property
// panes do. The rule itself is left out of the duplicate search and the
// collision list. A duplicate in the same folder is refused with a message;
// one elsewhere is offered for moving (Yes: its values replace the edited
// rule and it leaves its folder); overlaps are shown and refused. The new
// values must be of the rule's kind.
bool ReplaceEditedRule(PlacementHost& host, FolderNode* folder, int index, const RuleEntry& newValues);

}  // namespace ordvale::editor
