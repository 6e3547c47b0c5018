// A large owner-drawn push button: icon at the left, a caption in a larger
// font and a wrapped note under it, with hover, focus and pressed looks.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/Handle.h"

namespace ordvale::wizard {

class CCommandLinkButton {
public:
    CCommandLinkButton();
    ~CCommandLinkButton();
    CCommandLinkButton(const CCommandLinkButton&) = delete;
    CCommandLinkButton& operator=(const CCommandLinkButton&) = delete;

    // Makes the button owner-drawn and follows its mouse; its fonts and
    // margins are those of the button's DPI.
    void Attach(HWND button);
    // Fonts and margins for another DPI (after a change of DPI); the icon
    // size is set apart.
    void SetDpi(UINT dpi);
    UINT Dpi() const { return dpi_; }
    HFONT CaptionFont() const { return captionFont_.Get(); }
    HFONT NoteFont() const { return noteFont_.Get(); }
    HWND Handle() const { return hwnd_; }
    void SetNote(const wchar_t* text);
    const wchar_t* Note() const { return hasNote_ ? note_.c_str() : nullptr; }
    // The button owns the icon from now on (any previous one is destroyed).
    void SetIcon(HICON icon);
    void SetIconSize(int size) { iconSize_ = size; }
    bool Hovered() const { return hovered_; }
    // The caption's colour for a state.
    static COLORREF TextColour(bool pressed, bool hovered);
    void DrawItem(const DRAWITEMSTRUCT* item);

private:
    static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    HWND hwnd_ = nullptr;
    UINT dpi_ = 0;
    int iconSize_ = 64;
    win::UniqueIcon icon_;
    int gap_ = 0;
    int captionOffset_ = 8;
    bool hovered_ = false;
    bool tracking_ = false;
    win::UniqueFont captionFont_;
    win::UniqueFont noteFont_;
    std::wstring note_;
    bool hasNote_ = false;
};

}  // namespace ordvale::wizard
