#include "EditorScript.h"

#include <gtest/gtest.h>

#include "RuleDisplay.h"
#include "TestSupport.h"
#include "common/ProfileDocument.h"
#include "common/Text.h"
#include "common/win/Dialog.h"

using namespace ordvale;
using namespace ordvale::editor;

namespace testing_support {

std::string OneProfileDocument(int method, const std::string& body) {
    const std::string word = Narrow(profile_doc::MethodWord(method));
    return "<?xml version=\"1.0\"?><Ordvale><" + word + "Profiles default=\"P1\"><" + word +
           "Configure id=\"P1\" displayname=\"Profile1\">" + body + "</" + word + "Configure></" + word +
           "Profiles></Ordvale>";
}

LoadedProfile::LoadedProfile(int method, const std::string& body) : model(ModelMethodOf(method)) {
    EXPECT_TRUE(WriteText(dir / L"profile.xml", OneProfileDocument(method, body)));
    EXPECT_TRUE(model.Load((dir / L"profile.xml").c_str(), L"P1"));
}

namespace {

std::string DateText(const FILETIME& time) {
    if (IsZeroTime(time)) return "*";
    std::wstring text;
    FormatDate(&text, &time);
    return Narrow(text);
}

std::string RuleText(ModelMethod method, const RuleEntry& entry) {
    switch (method) {
        case ModelMethod::Type: {
            const auto& rule = static_cast<const TypeEntry&>(entry);
            return rule.kind ? "#" + std::to_string(rule.kind) : Narrow(rule.extension);
        }
        case ModelMethod::Time: {
            const auto& rule = static_cast<const TimeEntry&>(entry);
            return DateText(rule.begin) + ".." + DateText(rule.end);
        }
        case ModelMethod::Size: {
            const auto& rule = static_cast<const SizeEntry&>(entry);
            if (rule.kind == kSizeFolders) return "folders";
            return std::to_string(rule.lower) + ".." + std::to_string(rule.upper);
        }
        default: {
            const auto& rule = static_cast<const NameEntry&>(entry);
            if (rule.kind == kNameRegExp) return "/" + Narrow(rule.pattern) + "/";
            return Narrow(std::wstring{rule.first, L'-', rule.last});
        }
    }
}

}  // namespace

std::string DumpTree(const FolderNode& folder) {
    std::string out = folder.parent ? Narrow(folder.displayName) : ".";
    out += "[";
    for (int i = 0; i < RuleCount(folder); ++i) {
        if (i) out += ",";
        out += RuleText(folder.Method(), *RuleAt(folder, i));
    }
    out += "]";
    if (!folder.children.empty()) {
        out += "{";
        for (std::size_t i = 0; i < folder.children.size(); ++i) {
            if (i) out += " ";
            out += DumpTree(*folder.children[i]);
        }
        out += "}";
    }
    return out;
}

FolderNode* FolderAt(FolderNode& root, const std::wstring& displayPath) {
    if (EqualsNoCase(FieldText(root.displayPath), displayPath)) return &root;
    for (auto& child : root.children)
        if (FolderNode* found = FolderAt(*child, displayPath)) return found;
    return nullptr;
}

std::string FirstLine(const std::wstring& text) {
    return Narrow(text.substr(0, text.find_first_of(L"\r\n")));
}

ScriptedUser::ScriptedUser(std::vector<int> scripted)
    : answers(scripted.begin(), scripted.end()),
      handler_([this](const win::MessageBoxCall& call) {
          fullTexts.push_back(call.text);
          boxTypes.push_back(call.type);
          const UINT buttons = call.type & MB_TYPEMASK;
          const bool question = buttons != MB_OK;
          shown.push_back((question ? "? " : "! ") + FirstLine(call.text));
          return question ? NextAnswer("message box") : IDOK;
      }) {}

ScriptedUser::~ScriptedUser() {
    EXPECT_TRUE(answers.empty()) << answers.size() << " answers left unused";
}

int ScriptedUser::NextAnswer(const char* what) {
    if (answers.empty()) {
        ADD_FAILURE() << "no answer scripted for a " << what << ": " << (shown.empty() ? "" : shown.back());
        return IDCANCEL;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::wstring ScriptedUser::Text(UINT id) const {
    return win::LoadModuleText(GetModuleHandleW(nullptr), id);
}

ReplaceAnswer ScriptedUser::ConfirmReplacement(const std::wstring& question, bool fourButtons) {
    fullTexts.push_back(question);
    shown.push_back((fourButtons ? "Q4 " : "Q2 ") + FirstLine(question));
    return static_cast<ReplaceAnswer>(NextAnswer("replacement question"));
}

void ScriptedUser::ShowCollisions(const std::wstring& message, ModelMethod, const CollisionList& collisions) {
    fullTexts.push_back(message);
    std::string line = "C " + FirstLine(message) + " |";
    for (const RuleLocation& at : collisions)
        line += " " + Narrow(at.folder->displayPath) + "#" + std::to_string(at.index);
    shown.push_back(line);
}

void ScriptedUser::PrepareRuleDisplay(ModelMethod method, RuleEntry* entry) {
    PrepareRuleTexts(*this, method, entry);
    entry->iconIndex = DefaultRuleIcon(method, *entry);
}

}  // namespace testing_support
