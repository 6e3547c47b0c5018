// One profile of one tidy method in memory: its name, identifier,
// destination root and folder tree. Every folder owns one rule object of the
// method's kind.
#pragma once

#include <cstdint>
#include <string>
#include <memory>
#include <vector>

#include "ConfigureType.h"
#include "NodeXml.h"

namespace ordvale {

// The method a profile model sorts by, with the numbers the job record and
// TidyMethod give the methods; None for no method.
enum class ModelMethod : int32_t { None = 0, Type = 1, Time = 2, Size = 3, Name = 4 };
// The model method of a job's method number; None for any other number.
ModelMethod ModelMethodOf(int32_t method);

// One line of a method's profile list.
struct ProfileEntry {
    int32_t isDefault = 0;
    wchar_t displayName[260] = {};
    wchar_t id[260] = {};
};

// A new, empty rule object of the method's kind; None gets the type kind.
std::unique_ptr<CConfigureType> MakeRule(ModelMethod method);

class FolderNode {
public:
    explicit FolderNode(ModelMethod method);
    ~FolderNode();
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    wchar_t displayName[260] = {};    // trimmed
    wchar_t location[260] = {};       // empty, or trimmed and ending in a backslash
    wchar_t effectivePath[260] = {};  // where the folder will be, for display
    wchar_t displayPath[260] = {};    // ".\" for the root, ".\Documents\Letters\" below
    std::unique_ptr<CConfigureType> rule;
    std::vector<std::unique_ptr<FolderNode>> children;
    wchar_t methodWord[260] = {};
    FolderNode* parent = nullptr;
    bool modified = false;

    ModelMethod Method() const { return method_; }

    void SetDisplayName(const wchar_t* text);
    void SetLocation(const wchar_t* text);
    // A location as SetLocation stores it: cut, trimmed, ending in a backslash.
    static std::wstring StoredLocation(const std::wstring& text);
    void UpdatePaths();
    void LoadTree(NodeXml::CXmlDocument* document, const NodeXml::CXmlNodePtr& element);
    void Clear();
    void ClearModified();

private:
    ModelMethod method_;
};

class MethodProfile {
public:
    explicit MethodProfile(ModelMethod method);
    MethodProfile(const MethodProfile&) = delete;
    MethodProfile& operator=(const MethodProfile&) = delete;

    wchar_t displayName[260] = {};
    wchar_t profileId[260] = {};
    wchar_t rootPath[260] = {};  // empty, or a folder ending in one backslash
    FolderNode root;
    std::vector<ProfileEntry> profileList;
    wchar_t methodWord[260] = {};

    ModelMethod Method() const { return root.Method(); }

    // Loads the profile with the identifier, or the method's default profile
    // when identifier is null. False, with the tree empty, when the file, the
    // method's section or the profile cannot be found.
    bool Load(const wchar_t* profileFile, const wchar_t* identifier);
    void Clear();
    void ClearModified() { root.ClearModified(); }
    void SetDestinationRoot(const wchar_t* text);
};

}  // namespace ordvale
