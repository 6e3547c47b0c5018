#include "CommandLinkButton.h"

#include <commctrl.h>

#include <cwchar>

#include "common/win/Dpi.h"
#include "common/win/Handle.h"
#include "common/win/Keys.h"

namespace ordvale::wizard {

namespace {

// mode: GRADIENT_FILL_RECT_V (top to bottom) or GRADIENT_FILL_RECT_H.
void Gradient(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to, ULONG mode) {
    if (right <= left || bottom <= top) return;
    TRIVERTEX v[2] = {{left, top, static_cast<COLOR16>(GetRValue(from) << 8), static_cast<COLOR16>(GetGValue(from) << 8),
                       static_cast<COLOR16>(GetBValue(from) << 8), 0},
                      {right, bottom, static_cast<COLOR16>(GetRValue(to) << 8), static_cast<COLOR16>(GetGValue(to) << 8),
                       static_cast<COLOR16>(GetBValue(to) << 8), 0}};
    GRADIENT_RECT r = {0, 1};
    GradientFill(dc, v, 2, &r, 1, mode);
}

void FillColour(HDC dc, const RECT& r, COLORREF colour) {
    win::UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.Get());
}

void RoundBorder(HDC dc, const RECT& r, COLORREF colour) {
    win::UniquePen pen(CreatePen(PS_SOLID, 1, colour));
    win::SelectedObject selectedPen(dc, pen.Get());
    win::SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 6, 6);
}

}  // namespace

CCommandLinkButton::CCommandLinkButton() {
    SetDpi(win::WindowDpi(nullptr));
}

void CCommandLinkButton::SetDpi(UINT dpi) {
    if (dpi == dpi_ && captionFont_) return;
    dpi_ = dpi;
    // The note in the message font, the caption in the same font enlarged to 12/9.
    const LOGFONTW note = win::MessageFontForDpi(dpi);
    LOGFONTW caption = note;
    caption.lfHeight = caption.lfHeight * 12 / 9;
    noteFont_.Reset(CreateFontIndirectW(&note));
    captionFont_.Reset(CreateFontIndirectW(&caption));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

CCommandLinkButton::~CCommandLinkButton() {
    if (hwnd_ && IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, ButtonProc, 1);
}

void CCommandLinkButton::Attach(HWND button) {
    hwnd_ = button;
    LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    SetWindowLongPtrW(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    SetWindowSubclass(button, ButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetDpi(win::WindowDpi(button));
}

void CCommandLinkButton::SetNote(const wchar_t* text) {
    hasNote_ = text != nullptr;
    note_ = text ? text : L"";
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CCommandLinkButton::SetIcon(HICON icon) {
    icon_.Reset(icon);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

COLORREF CCommandLinkButton::TextColour(bool pressed, bool hovered) {
    if (pressed) return RGB(0x06, 0x20, 0x73);
    if (hovered) return RGB(0x07, 0x4A, 0xE5);
    return RGB(0x15, 0x15, 0x55);
}

LRESULT CALLBACK CCommandLinkButton::ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR data) {
    auto* self = reinterpret_cast<CCommandLinkButton*>(data);
    switch (message) {
        case WM_MOUSEMOVE:
            if (!self->hovered_) {
                self->hovered_ = true;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            if (!self->tracking_) {
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
                self->tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            break;
        case WM_MOUSELEAVE:
            self->hovered_ = false;
            self->tracking_ = false;
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_UPDATEUISTATE:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_GETDLGCODE: {
            // Enter chooses the link, as Space and a click do, instead of
            // pressing the frame's default button. The characters of both
            // keys are the link's too, so the dialog manager never looks for
            // a mnemonic '\r' or ' ' starting from it: a character that
            // comes after the key's release (keys posted to the window, as
            // tests and some input tools do) finds the link on the page its
            // choice has hidden, and Wine's search from a hidden control
            // never ends: the wizard would hang.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (win::IsEnterKey(key) || (key && key->message == WM_CHAR && key->wParam == L' '))
                return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r') return 0;
            break;
        case BM_GETIMAGE:  // the icon it draws
            return wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(self->icon_.Get()) : 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ButtonProc, 1);
            self->hwnd_ = nullptr;
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void CCommandLinkButton::DrawItem(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    HGDIOBJ oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);

    FillColour(dc, r, RGB(255, 255, 255));
    COLORREF border;
    if (hovered_) {
        Gradient(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, RGB(255, 255, 255), RGB(0xF6, 0xF6, 0xF6), GRADIENT_FILL_RECT_V);
        Gradient(dc, r.left + 1, r.top + 3, r.left + 2, r.bottom - 3, RGB(255, 255, 255), RGB(0xFC, 0xFC, 0xFC), GRADIENT_FILL_RECT_V);
        Gradient(dc, r.right - 2, r.top + 3, r.right - 1, r.bottom - 3, RGB(255, 255, 255), RGB(0xFC, 0xFC, 0xFC), GRADIENT_FILL_RECT_V);
        RECT line = {r.left + 3, r.bottom - 2, r.right - 3, r.bottom - 1};
        FillColour(dc, line, RGB(0xFB, 0xFB, 0xFB));
        border = RGB(0xC6, 0xC6, 0xC6);
    } else {
        border = focused ? RGB(0x8C, 0xE8, 0xFF) : RGB(255, 255, 255);
    }
    RoundBorder(dc, r, border);
    if (pressed) {
        RECT inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillColour(dc, inner, RGB(0xF2, 0xF3, 0xF3));
        Gradient(dc, r.left + 1, r.top + 2, r.left + 3, r.bottom - 2, RGB(0xE8, 0xE9, 0xE9), RGB(0xFA, 0xFB, 0xFB), GRADIENT_FILL_RECT_H);
        Gradient(dc, r.left + 2, r.bottom - 3, r.right - 2, r.bottom, RGB(0xF1, 0xF2, 0xF2), RGB(0xD7, 0xD7, 0xD7), GRADIENT_FILL_RECT_V);
        Gradient(dc, r.right - 3, r.top + 2, r.right, r.bottom - 2, RGB(0xD7, 0xD7, 0xD7), RGB(0xF1, 0xF2, 0xF2), GRADIENT_FILL_RECT_H);
        Gradient(dc, r.left + 2, r.top, r.right - 2, r.top + 5, RGB(0xE0, 0xE0, 0xE0), RGB(0xF5, 0xF6, 0xF6), GRADIENT_FILL_RECT_V);
        RoundBorder(dc, r, RGB(0xC6, 0xC6, 0xC6));
    }
    SetTextColor(dc, TextColour(pressed, hovered_));
    SetBkMode(dc, TRANSPARENT);
    UINT prefix = 0;
    if (SendMessageW(item->hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) prefix = DT_HIDEPREFIX;

    // Margins in pixels at 96 DPI.
    const auto px = [this](int pixels) { return win::ScaleForDpi(pixels, dpi_); };
    if (icon_) DrawIconEx(dc, r.left + px(6), r.top + px(12), icon_.Get(), iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
    const int textLeft = r.left + iconSize_ + px(12 + gap_);
    wchar_t caption[260] = {};
    GetWindowTextW(item->hwndItem, caption, 260);
    SelectObject(dc, captionFont_.Get());
    RECT capRect = {textLeft, r.top + px(12 + captionOffset_), r.right - px(6), r.bottom};
    DrawTextW(dc, caption, -1, &capRect, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | prefix);
    capRect.right = r.right - px(6);
    DrawTextW(dc, caption, -1, &capRect, DT_SINGLELINE | DT_EXPANDTABS | prefix);
    if (hasNote_) {
        SelectObject(dc, noteFont_.Get());
        RECT noteRect = {textLeft, capRect.bottom + px(6), r.right - px(6), r.bottom};
        DrawTextW(dc, note_.c_str(), -1, &noteRect, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_CALCRECT);
        noteRect.right = r.right - px(6);
        DrawTextW(dc, note_.c_str(), -1, &noteRect, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
}

}  // namespace ordvale::wizard
