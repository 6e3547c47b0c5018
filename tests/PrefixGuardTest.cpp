// The tests run in a throwaway Wine prefix whose user folders are real
// folders inside it. If any of them were a link into a real home, a tidy run
// would move a person's files: these tests stop the run first.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
    CoTaskMemFree(path);
    return out;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t buf[4096] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 4096);
    return n && n < 4096 ? std::wstring(buf) : std::wstring();
}

}  // namespace

TEST(PrefixGuard, UserFoldersAreRealFoldersNotLinks) {
    const std::pair<const char*, const KNOWNFOLDERID*> folders[] = {
        {"Desktop", &FOLDERID_Desktop},
        {"Documents", &FOLDERID_Documents},
        {"Downloads", &FOLDERID_Downloads},
    };
    for (const auto& folder : folders) {
        std::wstring path = KnownFolder(*folder.second);
        ASSERT_FALSE(path.empty()) << folder.first;
        DWORD attributes = GetFileAttributesW(path.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder.first << " " << Narrow(path);
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder.first;
        EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            << folder.first << " is a link out of the prefix: " << Narrow(path);
    }
}

// Under Wine the user folders must resolve to places inside the sandbox.
TEST(PrefixGuard, UserFoldersLieInsideTheSandbox) {
    const std::wstring sandbox = EnvironmentValue(L"ORDVALE_SANDBOX");
    ASSERT_FALSE(sandbox.empty()) << "tests run only through the sandbox wrapper";
    EXPECT_EQ(EnvironmentValue(L"WINEPREFIX").rfind(sandbox + L"/", 0), 0u);

    using UnixName = char*(__cdecl*)(const wchar_t*);
    auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    ASSERT_NE(toUnix, nullptr) << "expected to run under Wine";
    const std::string inside = Narrow(sandbox) + "/";
    for (const KNOWNFOLDERID* id : {&FOLDERID_Desktop, &FOLDERID_Documents, &FOLDERID_Downloads,
                                    &FOLDERID_RoamingAppData}) {
        char* unixPath = toUnix(KnownFolder(*id).c_str());
        ASSERT_NE(unixPath, nullptr);
        EXPECT_EQ(std::string(unixPath).rfind(inside, 0), 0u) << unixPath;
        HeapFree(GetProcessHeap(), 0, unixPath);
    }
}
