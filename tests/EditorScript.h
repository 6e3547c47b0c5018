// Helpers for the profile editor's tests: profile documents written from a
// short XML body, folder trees written as one line, and a scripted user who
// answers every question (message boxes through the seam, Confirm Item
// Replacement and Rule Collision through the placement host) from a list and
// keeps a transcript of what was shown.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "Placement.h"
#include "TestSupport.h"
#include "common/MethodProfile.h"
#include "common/win/MessageBox.h"

namespace testing_support {

// A whole profile document holding one profile (id "P1", name "Profile1",
// the default) of the method with `body` as its content.
std::string OneProfileDocument(int method, const std::string& body);

// A profile of the method with `body` as its content, loaded from its own
// profile file (OneProfileDocument) in a temporary folder.
struct LoadedProfile {
    LoadedProfile(int method, const std::string& body);
    TempDir dir;
    ordvale::MethodProfile model;
};

// The tree on one line: each folder as Name[rule,rule]{children}, the root
// as "."; rules as .ext, #kind for specials, "begin..end" dates ("*" open),
// "lower..upper" sizes, "folders", "A-M" ranges, /regexp/.
std::string DumpTree(const ordvale::FolderNode& folder);

// The folder at a display path such as ".\Docs\Letters\" (nullptr when absent).
ordvale::FolderNode* FolderAt(ordvale::FolderNode& root, const std::wstring& displayPath);

// The scripted user. Every message box, replacement question and collision
// list is written to `shown`, one line each:
//   "! <first line>"   a message box (any icon), "? <first line>" a question
//   "Q2 <first line>"  the replacement question in its two-button form, "Q4" four
//   "C <first line> | .\path\#index ..."  the collision list
// Answers are taken in order; a question left without one fails the test.
class ScriptedUser : public ordvale::editor::PlacementHost {
public:
    explicit ScriptedUser(std::vector<int> answers = {});
    ~ScriptedUser() override;

    std::wstring Text(UINT id) const override;
    HWND Owner() const override { return nullptr; }
    ordvale::editor::ReplaceAnswer ConfirmReplacement(const std::wstring& question, bool fourButtons) override;
    void ShowCollisions(const std::wstring& message, ordvale::ModelMethod method,
                        const ordvale::editor::CollisionList& collisions) override;
    void PrepareRuleDisplay(ordvale::ModelMethod method, ordvale::RuleEntry* entry) override;

    std::deque<int> answers;
    std::vector<std::string> shown;
    std::vector<std::wstring> fullTexts;  // every text shown, whole
    std::vector<UINT> boxTypes;           // the type of every message box

private:
    int NextAnswer(const char* what);
    ordvale::win::ScopedMessageBoxHandler handler_;
};

std::string FirstLine(const std::wstring& text);

}  // namespace testing_support
