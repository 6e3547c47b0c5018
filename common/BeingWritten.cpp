#include "BeingWritten.h"

#include <windows.h>

#include <cwchar>
#include <unordered_set>

#include "Text.h"
#include "win/Handle.h"

namespace ordvale {

namespace {

std::wstring Folded(std::wstring_view view) {
    std::wstring text(view);
    if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Letter case aside, as the file system compares names.
bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return EqualsNoCase(a.data(), a.size(), b.data(), b.size());
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view tail) {
    return text.size() > tail.size() && EqualNoCase(text.substr(text.size() - tail.size()), tail);
}

// The folder part and the name of a path, as parts of its text.
void SplitPath(std::wstring_view path, std::wstring_view* folder, std::wstring_view* name) {
    if (path.size() > 1 && path.back() == L'\\') path.remove_suffix(1);
    const std::size_t slash = path.rfind(L'\\');
    *folder = slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash);
    *name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// The name without its last extension ("a.b.txt" -> "a.b"); a name whose
// only dot leads it has none.
std::wstring_view Stem(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

bool HasDownloadSuffix(std::wstring_view name) {
    static const wchar_t* const kSuffixes[] = {L".crdownload", L".part", L".partial", L".download",
                                               L".opdownload", L".!ut",  L".!qb"};
    // Each is a dot and what follows it: the name ends in one when its part
    // from the last dot is one (and something comes before it).
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return false;
    const std::wstring_view last = name.substr(dot);
    for (const wchar_t* suffix : kSuffixes)
        if (EqualNoCase(last, suffix)) return true;
    return false;
}

uint64_t SettleTime() {
    wchar_t text[32] = {};
    const DWORD n = GetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", text, 32);
    if (n == 0 || n >= 32) return kSettleTime;
    wchar_t* end = nullptr;
    const unsigned long seconds = wcstoul(text, &end, 10);
    if (end == text || *end) return kSettleTime;
    return static_cast<uint64_t>(seconds) * 10000000ull;
}

bool IsRecentlyWritten(uint64_t lastWrite, uint64_t now, uint64_t settle) {
    if (lastWrite == kUnknownTime) return true;
    return lastWrite <= now ? now - lastWrite < settle : lastWrite - now < settle;
}

std::vector<WriteState> FindBeingWritten(const std::vector<ListedItem>& items, uint64_t now, uint64_t settle) {
    std::vector<WriteState> states(items.size(), WriteState::Settled);
    // Folder and stem (folded) of every file written a moment ago, both
    // "folder|name" and "folder|stem", so "x.tmp" finds "x" and "x.doc".
    std::unordered_set<std::wstring> busy;
    std::wstring_view folder, name;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ListedItem& item = items[i];
        if (!item.isFile) continue;
        SplitPath(item.path, &folder, &name);
        if (HasDownloadSuffix(name)) {
            states[i] = WriteState::Downloading;
        } else if (IsRecentlyWritten(item.lastWrite, now, settle)) {
            states[i] = WriteState::RecentlyWritten;
            const std::wstring key = Folded(folder) + L"|";
            busy.insert(key + Folded(name));
            busy.insert(key + Folded(Stem(name)));
        }
    }
    if (busy.empty()) return states;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ListedItem& item = items[i];
        if (!item.isFile || states[i] != WriteState::Settled) continue;
        SplitPath(item.path, &folder, &name);
        if (!EndsWithNoCase(name, L".tmp")) continue;
        const std::wstring_view stem = name.substr(0, name.size() - 4);
        if (busy.count(Folded(folder) + L"|" + Folded(stem))) states[i] = WriteState::Downloading;
    }
    return states;
}

namespace {

uint64_t TimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A file made or written a moment ago; a folder made a moment ago (its last
// write changes with every item moved into it, which is no filling).
bool RecentlyMadeOrWritten(const WIN32_FIND_DATAW& data, uint64_t now, uint64_t settle) {
    if (IsRecentlyWritten(TimeValue(data.ftCreationTime), now, settle)) return true;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           IsRecentlyWritten(TimeValue(data.ftLastWriteTime), now, settle);
}

}  // namespace

bool FolderBeingFilled(const std::wstring& folder, uint64_t now, uint64_t settle, std::size_t maxEntries) {
    if (settle == 0) return false;
    std::wstring root = folder;
    while (root.size() > 3 && root.back() == L'\\') root.pop_back();
    WIN32_FIND_DATAW data;
    {
        win::UniqueFind self(FindFirstFileExW(root.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                              nullptr, 0));
        if (self && RecentlyMadeOrWritten(data, now, settle)) return true;
    }
    std::vector<std::wstring> pending = {root};
    std::size_t seen = 0;
    while (!pending.empty() && seen < maxEntries) {
        const std::wstring current = pending.back();
        pending.pop_back();
        const std::wstring base = current.back() == L'\\' ? current : current + L"\\";
        win::UniqueFind find(FindFirstFileExW((base + L"*").c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr, 0));
        if (!find) continue;
        do {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
            if (++seen > maxEntries) break;
            if (RecentlyMadeOrWritten(data, now, settle)) return true;
            // Linked folders lead elsewhere: what is written there is not filling this one.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                pending.push_back(base + data.cFileName);
        } while (FindNextFileW(find.Get(), &data));
    }
    return false;
}

uint64_t FileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace ordvale
