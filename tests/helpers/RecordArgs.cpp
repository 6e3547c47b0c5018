// Stands in for another program in tests: writes its own command line, as
// UTF-8, to "args.txt" beside itself and exits.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\'));
    const wchar_t* line = GetCommandLineW();
    int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], n, nullptr, nullptr);
    std::wstring temp = folder + L"\\args.tmp";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(h);
    // Appears whole or not at all.
    return MoveFileExW(temp.c_str(), (folder + L"\\args.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
