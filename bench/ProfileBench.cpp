// Profile loading and name matching, timed side by side with a baseline.
//   1. Load a type profile of 2,000 folders and 20,000 rules from profile.xml.
//   2. Match 100,000 names against a name profile of 200 regular expressions
//      and 50 character ranges, walking the tree in its pass order as the
//      planner does; the same walk with std::wregex search for the
//      expressions is the baseline, and compiling every expression afresh per
//      name is shown as well.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/MethodProfile.h"
#include "common/RegExp.h"
#include "common/win/Com.h"

using namespace ordvale;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + name;
}

bool WriteUtf8(const std::wstring& path, const std::string& text) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    return written == text.size();
}

// 2,000 folders (40 top-level, each with 7 below it and 6 below each of
// those), ten extension rules each.
std::string TypeProfileDocument() {
    std::string xml = "<?xml version=\"1.0\"?>\n<Ordvale><TypeProfiles default=\"Type1\">"
                      "<TypeConfigure id=\"Type1\" displayname=\"Big\">";
    int folder = 0, rule = 0;
    auto rules = [&](std::string* out) {
        for (int r = 0; r < 10; ++r) *out += "<Ext t=\".e" + std::to_string(rule++) + "\"/>";
    };
    for (int top = 0; top < 40; ++top) {
        xml += "<Folder displayname=\"Top" + std::to_string(folder++) + "\">";
        rules(&xml);
        for (int mid = 0; mid < 7; ++mid) {
            xml += "<Folder displayname=\"Mid" + std::to_string(folder++) + "\">";
            rules(&xml);
            for (int leaf = 0; leaf < 6; ++leaf) {
                xml += "<Folder displayname=\"Leaf" + std::to_string(folder++) + "\">";
                rules(&xml);
                xml += "</Folder>";
            }
            xml += "</Folder>";
        }
        xml += "</Folder>";
    }
    xml += "</TypeConfigure></TypeProfiles></Ordvale>\n";
    std::printf("type profile: %d folders, %d rules\n", folder, rule);
    return xml;
}

// Expressions both dialects read alike: sets, ranges, ., *, +, ?, groups,
// alternation, anchors and escaped dots.
std::vector<std::wstring> Patterns() {
    const wchar_t* words[] = {L"report", L"invoice", L"draft", L"photo", L"scan", L"notes",
                              L"budget", L"letter", L"summary", L"backup"};
    const wchar_t* shapes[] = {
        L"^%s_[0-9]+\\.txt$",  L"%s-(final|v[0-9]+)", L"^[A-Z]%s[0-9][0-9]",
        L"%s.*copy$",          L"(old|new)_%s",        L"^%s[a-z]?\\.(doc|pdf)$",
        L"[0-9][0-9][0-9][0-9]-%s", L"%s \\(([0-9]+)\\)", L"^~%s",
        L"%s[._-]bak$",        L"^(IMG|DSC)_%s",       L"%sx+y",
        L"%s[^a-z]$",          L"^%s[0-9]*$",          L"temp.*%s",
        L"%s_[a-f0-9]+\\.tmp", L"^[a-z]+_%s_[0-9]",    L"%s(s|es)?\\.csv$",
        L"^%s\\.", L"q%s",
    };
    std::vector<std::wstring> out;
    for (const wchar_t* shape : shapes) {
        for (const wchar_t* word : words) {
            std::wstring p = shape;
            p.replace(p.find(L"%s"), 2, word);
            out.push_back(p);
        }
    }
    return out;  // 200
}

std::vector<std::wstring> Names(std::size_t count) {
    const wchar_t* stems[] = {L"report", L"holiday", L"IMG", L"scan", L"notes", L"Budget",
                              L"letter", L"song", L"movie", L"setup", L"readme", L"photo"};
    const wchar_t* exts[] = {L".txt", L".jpg", L".pdf", L".doc", L".mp3", L".zip", L".csv", L""};
    std::mt19937 random(42);
    std::vector<std::wstring> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::wstring name = stems[random() % 12];
        name += (random() % 2) ? L"_" : L" ";
        name += std::to_wstring(random() % 100000);
        if (random() % 5 == 0) name += L"-final";
        name += exts[random() % 8];
        out.push_back(name);
    }
    return out;
}

// Ten folders of twenty expressions and five ranges each, below one root.
void BuildNameProfile(MethodProfile* profile, const std::vector<std::wstring>& patterns) {
    for (int f = 0; f < 10; ++f) {
        auto folder = std::make_unique<FolderNode>(ModelMethod::Name);
        folder->parent = &profile->root;
        folder->SetDisplayName((L"Group" + std::to_wstring(f)).c_str());
        auto* rule = static_cast<CConfigureTypeName*>(folder->rule.get());
        for (int p = 0; p < 20; ++p) {
            NameEntry entry;
            entry.kind = kNameRegExp;
            wcsncpy(entry.pattern, patterns[f * 20 + p].c_str(), 259);
            rule->Add(&entry);
        }
        for (int r = 0; r < 5; ++r) {
            NameEntry entry;
            entry.kind = kNameRange;
            entry.first = static_cast<wchar_t>(L'!' + f * 5 + r);
            entry.last = entry.first;
            rule->Add(&entry);
        }
        profile->root.children.push_back(std::move(folder));
    }
}

// The planner's walk: pre-order, own rules before sub-folders, per pass.
const FolderNode* FindFolder(const FolderNode& node, const ShellItem& item, int pass,
                             const std::function<bool(const FolderNode&, const ShellItem&, int)>& takes) {
    if (takes(node, item, pass)) return &node;
    for (const auto& child : node.children)
        if (const FolderNode* found = FindFolder(*child, item, pass, takes)) return found;
    return nullptr;
}

struct RunResult {
    double seconds;
    std::size_t taken;
};

RunResult Run(const MethodProfile& profile, const std::vector<std::wstring>& names,
              const std::function<bool(const FolderNode&, const ShellItem&, int)>& takes) {
    ShellItem item;
    item.attributes = kAttrFileSystem | kAttrStream;
    std::size_t taken = 0;
    auto start = Clock::now();
    for (const std::wstring& name : names) {
        item.name = name;
        for (int pass : profile.root.rule->PassOrder()) {
            if (FindFolder(profile.root, item, pass, takes)) {
                ++taken;
                break;
            }
        }
    }
    return {Seconds(start), taken};
}

}  // namespace

int main(int argc, char** argv) {
    win::ComInit com;
    std::size_t nameCount = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 100000;

    // 1. Loading.
    const std::wstring file = TempFile(L"ordvale-bench-profile.xml");
    WriteUtf8(file, TypeProfileDocument());
    MethodProfile typeProfile(ModelMethod::Type);
    auto start = Clock::now();
    bool loaded = typeProfile.Load(file.c_str(), nullptr);
    std::printf("load: %s in %.3f s\n", loaded ? "ok" : "FAILED", Seconds(start));
    DeleteFileW(file.c_str());

    // 2. Matching.
    const std::vector<std::wstring> patterns = Patterns();
    const std::vector<std::wstring> names = Names(nameCount);
    MethodProfile nameProfile(ModelMethod::Name);
    BuildNameProfile(&nameProfile, patterns);
    std::printf("name profile: %zu expressions, 50 ranges; %zu names\n", patterns.size(), names.size());

    RunResult ours = Run(nameProfile, names, [](const FolderNode& node, const ShellItem& item, int pass) {
        return node.rule->Matches(&item, pass);
    });

    // Baseline: the same walk, expressions searched with std::wregex.
    // Compiled up front, found by entry without a search.
    std::unordered_map<const NameEntry*, std::wregex> compiled;
    for (const auto& folder : nameProfile.root.children) {
        auto* rule = static_cast<CConfigureTypeName*>(folder->rule.get());
        for (int i = 0; i < rule->EntryCount(); ++i)
            if (rule->GetEntry(i)->kind == kNameRegExp)
                compiled.emplace(rule->GetEntry(i), std::wregex(rule->GetEntry(i)->pattern));
    }
    RunResult baseline = Run(nameProfile, names, [&](const FolderNode& node, const ShellItem& item, int pass) {
        auto* rule = static_cast<CConfigureTypeName*>(node.rule.get());
        if (pass != 1) return node.rule->Matches(&item, pass);
        for (int i = 0; i < rule->EntryCount(); ++i) {
            const NameEntry* e = rule->GetEntry(i);
            if (e->kind != kNameRegExp) continue;
            if (std::regex_search(item.name.c_str(), compiled.at(e))) return true;
        }
        return false;
    });

    // Compiling every expression afresh for every name (a tenth of the names).
    const std::vector<std::wstring> someNames(names.begin(), names.begin() + names.size() / 10);
    RunResult oursOnSome = Run(nameProfile, someNames, [](const FolderNode& node, const ShellItem& item, int pass) {
        return node.rule->Matches(&item, pass);
    });
    RunResult fresh = Run(nameProfile, someNames, [](const FolderNode& node, const ShellItem& item, int pass) {
        auto* rule = static_cast<CConfigureTypeName*>(node.rule.get());
        if (pass != 1) return node.rule->Matches(&item, pass);
        for (int i = 0; i < rule->EntryCount(); ++i) {
            const NameEntry* e = rule->GetEntry(i);
            if (e->kind == kNameRegExp && MatchesPattern(item.name, e->pattern)) return true;
        }
        return false;
    });

    std::printf("match, ours (compiled once):     %.3f s, %zu taken\n", ours.seconds, ours.taken);
    std::printf("match, ours (compiled per name): %.3f s for a tenth of the names (%.1fx the cached run)\n",
                fresh.seconds, fresh.seconds / oursOnSome.seconds);
    std::printf("match, baseline std::wregex:     %.3f s, %zu taken\n", baseline.seconds, baseline.taken);
    std::printf("speed-up over std::wregex: %.1fx (target at least 5x)\n", baseline.seconds / ours.seconds);
    if (ours.taken != baseline.taken || oursOnSome.taken != fresh.taken)
        std::printf("WARNING: the three runs disagree on what is taken\n");
    return loaded ? 0 : 1;
}
