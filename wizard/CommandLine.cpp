#include "CommandLine.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "common/AppPaths.h"
#include "common/PathText.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsSwitch(const std::wstring& word) { return !word.empty() && word[0] == L'/'; }

bool IsAbsolute(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
    // "\\server\share\...": a server name and a share name, at least.
    if (path.size() >= 5 && path[0] == L'\\' && path[1] == L'\\') {
        const std::size_t share = path.find(L'\\', 2);
        return share != std::wstring::npos && share > 2 && share + 1 < path.size() && path[share + 1] != L'\\';
    }
    return false;
}

unsigned MessageIdFor(PathProblem problem) {
    switch (problem) {
        case PathProblem::Missing: return IDS_START_MISSING;
        case PathProblem::NotAFolder: return IDS_START_NOT_A_FOLDER;
        case PathProblem::NotAbsolute: return IDS_START_NOT_ABSOLUTE;
        case PathProblem::TooLong: return IDS_START_TOO_LONG;
        case PathProblem::None: break;
    }
    return 0;
}

// A message box is as wide as its longest line: a long path is shown by its
// beginning and its end.
std::wstring PathForMessage(const std::wstring& path) {
    constexpr std::size_t kHead = 60, kTail = 50;
    if (path.size() <= kHead + kTail + 10) return path;
    return path.substr(0, kHead) + L"..." + path.substr(path.size() - kTail);
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& arguments) {
    std::vector<std::wstring> words;
    std::wstring word;
    bool inWord = false;
    bool quoted = false;
    for (wchar_t c : arguments) {
        if (c == L'"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty word
        } else if (IsBlank(c) && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

StartRequest ParseStartRequest(const std::vector<std::wstring>& words) {
    StartRequest request;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::wstring& word = words[i];
        if (EqualsNoCase(word, L"/desktop")) {
            request.mode = StartMode::Desktop;
            return request;
        }
        if (EqualsNoCase(word, L"/history")) {
            request.mode = StartMode::History;
            return request;
        }
        if (EqualsNoCase(word, L"/folder")) {
            if (i + 1 < words.size() && !IsSwitch(words[i + 1])) {
                request.mode = StartMode::Folder;
                request.paths.push_back(words[i + 1]);
            }
            return request;
        }
        if (EqualsNoCase(word, L"/items")) {
            for (std::size_t j = i + 1; j < words.size() && !IsSwitch(words[j]); ++j) request.paths.push_back(words[j]);
            if (!request.paths.empty()) request.mode = StartMode::Items;
            return request;
        }
    }
    return request;
}

StartRequest ParseStartRequest(const std::wstring& arguments) {
    return ParseStartRequest(SplitCommandLine(arguments));
}

bool GathersStarts(StartMode mode) {
    return mode == StartMode::Folder || mode == StartMode::Items;
}

PathProblem CheckStartPath(const std::wstring& path, bool mustBeFolder) {
    if (path.size() >= kTextUnits) return PathProblem::TooLong;
    if (!IsAbsolute(path)) return PathProblem::NotAbsolute;
    if (FolderExists(path)) return PathProblem::None;
    if (FileExists(path)) return mustBeFolder ? PathProblem::NotAFolder : PathProblem::None;
    return PathProblem::Missing;
}

namespace {

// Every path of the gathering requests from `from` on, as one selection.
void AddSelection(const std::vector<StartRequest>& requests, std::size_t from, StartTarget* target) {
    std::vector<std::wstring> seen;  // folded, for "unique ignoring case"
    for (std::size_t r = from; r < requests.size(); ++r) {
        if (!GathersStarts(requests[r].mode)) continue;
        for (const std::wstring& path : requests[r].paths) {
            const PathProblem problem = CheckStartPath(path, false);
            if (problem != PathProblem::None) {
                target->problems.push_back({problem, path});
                continue;
            }
            const std::wstring item = path::WithoutTrailingSeparator(path);
            const std::wstring key = path::FoldCase(item);
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
            seen.push_back(key);
            target->items.push_back(item);
        }
    }
    if (!target->items.empty()) target->mode = StartMode::Items;
}

}  // namespace

StartTarget ResolveStart(const std::vector<StartRequest>& requests) {
    StartTarget target;
    if (requests.empty()) return target;
    if (requests.front().mode == StartMode::Desktop) {
        target.mode = StartMode::Desktop;
        return target;
    }
    const StartRequest* lone = nullptr;  // a single /folder start, nothing gathered with it
    std::size_t gathering = 0;
    for (const StartRequest& request : requests) {
        if (!GathersStarts(request.mode)) continue;
        ++gathering;
        lone = request.mode == StartMode::Folder && request.paths.size() == 1 ? &request : nullptr;
    }
    if (gathering == 1 && lone) {
        const std::wstring& folder = lone->paths.front();
        const PathProblem problem = CheckStartPath(folder, true);
        if (problem != PathProblem::None) {
            target.problems.push_back({problem, folder});
            return target;
        }
        target.mode = StartMode::Folder;
        target.folder = path::WithoutTrailingSeparator(folder);
        return target;
    }
    AddSelection(requests, 0, &target);
    return target;
}

StartTarget ResolveLateStarts(const std::vector<StartRequest>& requests, std::size_t from) {
    StartTarget target;
    AddSelection(requests, from, &target);
    return target;
}

std::wstring StartProblemsMessage(const std::vector<StartProblem>& problems,
                                  const std::function<std::wstring(unsigned)>& text, std::size_t listed) {
    std::wstring message;
    std::size_t shown = 0;
    for (const StartProblem& p : problems) {
        if (shown == listed) break;
        const unsigned id = MessageIdFor(p.problem);
        if (!id) continue;
        if (!message.empty()) message += L"\r\n\r\n";
        message += FillTemplate(text(id).c_str(), {PathForMessage(p.path).c_str()});
        ++shown;
    }
    if (problems.size() > shown) {
        message += L"\r\n\r\n";
        message += FillTemplate(text(IDS_START_MORE).c_str(), {IntToText(problems.size() - shown).c_str()});
    }
    return message;
}

std::vector<unsigned char> EncodeStartRequest(const StartRequest& request) {
    std::vector<unsigned char> bytes;
    const int32_t mode = static_cast<int32_t>(request.mode);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>((mode >> (8 * i)) & 0xFF));
    auto unit = [&bytes](wchar_t c) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
    };
    for (const std::wstring& path : request.paths) {
        for (wchar_t c : path) unit(c);
        unit(L'\0');
    }
    unit(L'\0');
    return bytes;
}

bool DecodeStartRequest(const void* data, std::size_t size, StartRequest* request) {
    *request = StartRequest();
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes || size < 6 || size % 2 != 0) return false;
    int32_t mode = 0;
    for (int i = 0; i < 4; ++i) mode |= static_cast<int32_t>(bytes[i]) << (8 * i);
    if (mode < static_cast<int32_t>(StartMode::Plain) || mode > static_cast<int32_t>(StartMode::Items)) return false;
    std::vector<std::wstring> paths;
    std::wstring path;
    for (std::size_t at = 4; at + 1 < size; at += 2) {
        const wchar_t c = static_cast<wchar_t>(bytes[at] | (bytes[at + 1] << 8));
        if (c != L'\0') {
            path += c;
            continue;
        }
        if (path.empty()) {  // the list's end: nothing may follow
            if (at + 2 != size) return false;
            request->mode = static_cast<StartMode>(mode);
            request->paths = std::move(paths);
            return true;
        }
        paths.push_back(path);
        path.clear();
    }
    return false;
}

}  // namespace ordvale::wizard
