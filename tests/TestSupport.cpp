#include "TestSupport.h"

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Journal.h"
#include "common/Text.h"
#include "common/win/Com.h"

#include <shlobj.h>

#include <cwchar>
#include <winioctl.h>

#include "common/RealPath.h"
#include "common/win/Handle.h"

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

std::wstring RunIdSecondsAgo(unsigned seconds) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t = {{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= seconds * 10000000ull;
    const FILETIME began = {t.LowPart, t.HighPart};
    SYSTEMTIME utc = {};
    FileTimeToSystemTime(&began, &utc);
    return ordvale::RunIdAt(utc);
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

namespace {

// Wine's converters between its paths and the host's; null on Windows.
using ToUnixName = char*(__cdecl*)(const wchar_t*);
using ToDosName = wchar_t*(__cdecl*)(const char*);

std::string HostPath(const std::wstring& path) {
    auto toUnix = reinterpret_cast<ToUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    char* unixPath = toUnix(path.c_str());
    if (!unixPath) return std::string();
    std::string out = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}

std::wstring DosPath(const std::string& hostPath) {
    auto toDos = reinterpret_cast<ToDosName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) return std::wstring();
    wchar_t* dos = toDos(hostPath.c_str());
    if (!dos) return std::wstring();
    std::wstring out = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return out.compare(0, 4, L"\\\\?\\") == 0 ? out.substr(4) : out;
}

// Starts a program of the host under Wine ("/bin/ln", each argument in
// quotes, so none may hold one); true when it started. Wine's handle of a host
// program cannot be waited for and gives no exit code: the caller waits
// for what it makes (WaitUntilMade).
bool RunHostProgram(const std::string& program, const std::vector<std::string>& arguments) {
    const std::wstring exe = DosPath(program);
    if (exe.empty()) return false;
    std::wstring line = L"\"" + exe + L"\"";
    for (const std::string& a : arguments) line += L" \"" + std::wstring(a.begin(), a.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ordvale::win::UniqueHandle process(info.hProcess), thread(info.hThread);
    return true;
}

// Whether `made` comes true within a while, looked at every 50 ms (Wine
// also looks at its prefix's drives again only now and then).
template <typename Made>
bool WaitUntilMade(Made made) {
    for (int i = 0; i < 400; ++i) {
        if (made()) return true;
        Sleep(50);
    }
    return made();
}

// Whether `alias` opens as the folder `target`.
bool LeadsTo(const std::wstring& alias, const std::wstring& target) {
    std::wstring a, b;
    return ordvale::path::FinalPathOnDisk(alias, &a) && ordvale::path::FinalPathOnDisk(target, &b) &&
           ordvale::EqualsNoCase(a, b);
}

bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    ordvale::win::UniqueHandle h(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const std::wstring substitute = L"\\??\\" + target;
    // REPARSE_DATA_BUFFER of a mount point: tag, length, reserved, then the
    // offsets and lengths of the two names and the names themselves.
    std::vector<unsigned char> buffer(16 + (substitute.size() + target.size() + 2) * sizeof(wchar_t));
    auto put16 = [&](std::size_t at, std::size_t value) {
        buffer[at] = static_cast<unsigned char>(value);
        buffer[at + 1] = static_cast<unsigned char>(value >> 8);
    };
    const std::size_t subBytes = substitute.size() * sizeof(wchar_t), printBytes = target.size() * sizeof(wchar_t);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(buffer.data(), &tag, 4);
    put16(4, buffer.size() - 8);
    put16(8, 0);
    put16(10, subBytes);
    put16(12, subBytes + sizeof(wchar_t));
    put16(14, printBytes);
    memcpy(buffer.data() + 16, substitute.c_str(), subBytes);
    memcpy(buffer.data() + 16 + subBytes + sizeof(wchar_t), target.c_str(), printBytes);
    DWORD returned = 0;
    const bool made = h && DeviceIoControl(h.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                           static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    h.Reset();
    if (!made) RemoveDirectoryW(link.c_str());
    return made;
}

}  // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::string* why) {
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */) &&
        LeadsTo(link, target))
        return true;
    RemoveDirectoryW(link.c_str());
    if (MakeJunction(link, target) && LeadsTo(link, target)) return true;
    RemoveDirectoryW(link.c_str());
    const std::string from = HostPath(target), at = HostPath(link);
    if (!from.empty() && !at.empty() && RunHostProgram("/bin/ln", {"-s", from, at}) &&
        WaitUntilMade([&] { return LeadsTo(link, target); }))
        return true;
    *why = "this system makes no symbolic link, junction or host link to a folder here";
    return false;
}

std::wstring ShortPathOf(const std::wstring& path, std::string* why) {
    std::vector<wchar_t> buffer(MAX_PATH * 4);
    const DWORD n = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    const std::wstring shortPath = n && n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
    if (shortPath.empty() || ordvale::EqualsNoCase(shortPath, path) || !LeadsTo(shortPath, path)) {
        *why = "the file system gives no short name for " + Narrow(path) + " that opens it";
        return std::wstring();
    }
    return shortPath;
}

MappedDrive::MappedDrive(const std::wstring& folder) : folder_(folder) {
    // A letter is used once in a process: Wine keeps seeing a drive
    // removed from its prefix for a while.
    static DWORD usedBefore = 0;
    const DWORD used = GetLogicalDrives() | usedBefore;
    wchar_t letter = 0;
    for (wchar_t l = L'Q'; l <= L'Y' && !letter; ++l)
        if (!(used & (1u << (l - L'A')))) letter = l;
    if (letter) usedBefore |= 1u << (letter - L'A');
    if (!letter) {
        why_ = "no drive letter is free";
        return;
    }
    const std::wstring device = std::wstring(1, letter) + L":";
    const std::wstring root = device + L"\\";
    if (DefineDosDeviceW(0, device.c_str(), folder.c_str())) {
        device_ = device;
        if (LeadsTo(root, folder)) {
            root_ = root;
            return;
        }
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device_.c_str(), folder.c_str());
        device_.clear();
    }
    // Wine maps drives by the links in its prefix's "dosdevices" folder.
    const std::string drives = HostPath(L"C:\\");
    const std::size_t at = drives.rfind("/dosdevices/");
    const std::string target = HostPath(folder);
    if (at != std::string::npos && !target.empty()) {
        std::string link = drives.substr(0, at + 12);
        link += static_cast<char>(towlower(letter));
        link += ':';
        if (RunHostProgram("/bin/ln", {"-s", target, link})) {
            hostLink_ = link;
            if (WaitUntilMade([&] { return LeadsTo(root, folder); })) {
                root_ = root;
                return;
            }
        }
    }
    why_ = "no drive letter could be mapped onto a folder here";
}

MappedDrive::~MappedDrive() {
    if (!device_.empty())
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device_.c_str(), folder_.c_str());
    if (!hostLink_.empty()) RunHostProgram("/bin/rm", {"-f", hostLink_});
}

std::vector<OtherName> OtherNamesOf(const std::wstring& folder, const std::wstring& linkAt) {
    std::vector<OtherName> names(3);
    names[0].way = "folder link";
    if (MakeFolderLink(linkAt, folder, &names[0].why)) names[0].path = linkAt;
    names[1].way = "short name";
    names[1].path = ShortPathOf(folder, &names[1].why);
    names[2].way = "mapped drive";
    names[2].drive = std::make_shared<MappedDrive>(folder);
    names[2].path = names[2].drive->Root();
    names[2].why = names[2].drive->Why();
    return names;
}

}  // namespace testing_support
