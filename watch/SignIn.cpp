#include "watch/SignIn.h"

#include <windows.h>

#include <vector>

namespace ordvale::watch {

std::wstring SignInCommand(const std::wstring& program) { return L"\"" + program + L"\""; }

std::wstring StartAtSignInCommand() {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
        bytes == 0)
        return std::wstring();
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS)
        return std::wstring();
    return text.data();
}

bool SetStartAtSignIn(bool on, const std::wstring& program) {
    const std::wstring command = SignInCommand(program);
    const std::wstring now = StartAtSignInCommand();
    if (on ? now == command : now.empty()) return true;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LSTATUS status;
    if (on)
        status = RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    else
        status = RegDeleteValueW(key, kRunValue);
    RegCloseKey(key);
    return status == ERROR_SUCCESS || (!on && status == ERROR_FILE_NOT_FOUND);
}

}  // namespace ordvale::watch
