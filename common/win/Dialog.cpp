#include "Dialog.h"

namespace ordvale::win {

std::wstring LoadModuleText(HINSTANCE module, UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

INT_PTR CDialog::DoModal(HINSTANCE module, HWND owner) {
    module_ = module;
    modal_ = true;
    return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND CDialog::Create(HINSTANCE module, HWND parent) {
    module_ = module;
    modal_ = false;
    return CreateDialogParamW(module, MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

std::wstring CDialog::ItemText(int id) const {
    HWND item = Item(id);
    int length = item ? GetWindowTextLengthW(item) : 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    if (item) GetWindowTextW(item, &text[0], length + 1);
    text.resize(wcslen(text.c_str()));
    return text;
}

void CDialog::SetItemText(int id, const std::wstring& text) const {
    SetDlgItemTextW(hwnd_, id, text.c_str());
}

std::wstring CDialog::Title() const {
    wchar_t buf[260] = {};
    GetWindowTextW(hwnd_, buf, 260);
    return buf;
}

void CDialog::End(INT_PTR result) {
    if (modal_) {
        EndDialog(hwnd_, result);
    } else {
        DestroyWindow(hwnd_);
    }
}

BOOL CDialog::OnCommand(WORD id, WORD, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        End(id);
        return TRUE;
    }
    return FALSE;
}

std::wstring CDialog::LoadText(UINT id) const {
    return LoadModuleText(module_, id);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
            hwnd_ = nullptr;
            return FALSE;
        default: {
            LRESULT result = 0;
            if (OnMessage(message, wParam, lParam, &result)) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
    }
}

}  // namespace ordvale::win
