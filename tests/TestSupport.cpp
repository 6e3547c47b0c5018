#include "TestSupport.h"

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Text.h"
#include "common/win/Com.h"

#include <shlobj.h>

#include <cwchar>

namespace testing_support {

TempDir::TempDir() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"ordvale-test-" + ordvale::NewJobName().substr(1, 8);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

bool RemoveTree(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(path.c_str()) || RemoveDirectoryW(path.c_str());
    }
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() ||
              WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

bool WriteText(const std::wstring& path, const std::string& utf8) {
    return WriteBytes(path, std::vector<unsigned char>(utf8.begin(), utf8.end()));
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        bytes.resize(got);
    }
    CloseHandle(h);
    return bytes;
}

std::string ReadUtf8(const std::wstring& path) {
    std::vector<unsigned char> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool MakeFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

namespace {

void AddTree(const std::wstring& root, const std::wstring& under, std::map<std::wstring, std::string>* tree) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((root + L"\\" + under + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring relative = under + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*tree)[relative] = "<folder>";
            AddTree(root, relative + L"\\", tree);
        } else {
            (*tree)[relative] = ReadUtf8(root + L"\\" + relative);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace

std::map<std::wstring, std::string> FolderTree(const std::wstring& root) {
    std::map<std::wstring, std::string> tree;
    AddTree(root, L"", &tree);
    return tree;
}

std::string ShowTree(const std::map<std::wstring, std::string>& tree) {
    std::string text;
    for (const auto& entry : tree) text += Narrow(entry.first) + "=" + entry.second + "\n";
    return text;
}

FILETIME DateTime(int year, int month, int day, int hour) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    FILETIME file = {};
    SystemTimeToFileTime(&time, &file);
    return file;
}

bool SetLastWriteTime(const std::wstring& path, uint64_t time) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const FILETIME t = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    const BOOL ok = SetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
    return ok != FALSE;
}

uint64_t LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool MakeShortcut(const std::wstring& at, const std::wstring& target) {
    ordvale::win::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Put()))))
        return false;
    link->SetPath(target.c_str());
    auto file = link.As<IPersistFile>(IID_IPersistFile);
    return file && SUCCEEDED(file->Save(at.c_str(), TRUE));
}

ShortcutContent ReadShortcut(const std::wstring& at) {
    ShortcutContent content;
    ordvale::win::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Put()))))
        return content;
    auto file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(at.c_str(), STGM_READ))) return content;
    wchar_t text[MAX_PATH * 4] = {};
    if (FAILED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) return content;
    content.target = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH * 4);
    content.arguments = text;
    content.loaded = true;
    return content;
}

VersionResource ReadVersionResource(const std::wstring& path) {
    VersionResource version;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return version;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return version;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        auto dotted = [](DWORD high, DWORD low) {
            return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
                   std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
        };
        version.fileVersion = dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        version.productVersion = dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    WORD* translation = nullptr;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < 2 * sizeof(WORD))
        return version;
    wchar_t prefix[64] = {};
    std::swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t* text = nullptr;
        if (VerQueryValueW(block.data(), (std::wstring(prefix) + name).c_str(), reinterpret_cast<void**>(&text),
                           &length) &&
            text)
            version.texts[name] = text;
    }
    return version;
}

std::wstring TestProgramFolder() {
    return ordvale::ModuleFolder();
}

std::wstring BinFolder() {
    return ordvale::ParentFolder(TestProgramFolder()) + L"\\bin";
}

std::wstring DistFolder() {
    return ordvale::ParentFolder(TestProgramFolder()) + L"\\dist";
}

void AppendInt32(std::vector<unsigned char>* out, int32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i)));
}

void AppendText(std::vector<unsigned char>* out, const std::wstring& text) {
    for (wchar_t c : text) {
        out->push_back(static_cast<unsigned char>(c & 0xff));
        out->push_back(static_cast<unsigned char>((c >> 8) & 0xff));
    }
    out->push_back(0);
    out->push_back(0);
}

std::string Narrow(const std::wstring& text) {
    return ordvale::ToUtf8(text);
}

}  // namespace testing_support
