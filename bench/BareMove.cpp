// The baseline a tidy run is held against, as a whole process of its own:
// moves every file of the folder into its subfolder Out, one MoveFileExW
// each, and nothing else.
//
//   bare_move <folder>
#include <windows.h>

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring folder = argv[1];
    CreateDirectoryW((folder + L"\\Out").c_str(), nullptr);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 1;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const std::wstring& name : names)
        MoveFileExW((folder + L"\\" + name).c_str(), (folder + L"\\Out\\" + name).c_str(), 0);
    return 0;
}
