// The controls of the profile page that keep Enter for the page: in the
// list, the selector, the path box and the toolbars, Enter opens the first
// selected item instead of pressing the frame's default button. A drop-down
// list that is open takes Enter itself, to close with the entry chosen. The
// Application key in the list opens the list's menu at its selection.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace ordvale::wizard {

class CEnterSubclass {
public:
    // Enter in any of the controls calls onEnter.
    explicit CEnterSubclass(std::function<void()> onEnter) : onEnter_(std::move(onEnter)) {}
    // The subclass leaves the controls that are still there.
    ~CEnterSubclass();
    CEnterSubclass(const CEnterSubclass&) = delete;
    CEnterSubclass& operator=(const CEnterSubclass&) = delete;

    enum class Control { Plain, DropDownList };
    void Add(HWND control, Control kind);
    // The list, whose Application key posts WM_CONTEXTMENU to the page.
    void AddList(HWND list, HWND page);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    void Forget(HWND hwnd);

    std::function<void()> onEnter_;
    std::vector<HWND> controls_;
    HWND list_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace ordvale::wizard
