#include "PaneHost.h"

namespace ordvale::wizard {

ProfileItemKind CPaneHost::ItemKindOf(PaneKind kind) {
    switch (kind) {
        case PaneFolderProperty: return ItemFolder;
        case PaneTypeProperty: return ItemTypeRule;
        case PaneTimeProperty: return ItemTimeRule;
        case PaneSizeProperty: return ItemSizeRule;
        case PaneNameProperty: return ItemNameRule;
        default: return ItemNone;
    }
}

PaneKind CPaneHost::PaneOf(int32_t itemKind) {
    switch (itemKind) {
        case ItemFolder: return PaneFolderProperty;
        case ItemTypeRule: return PaneTypeProperty;
        case ItemTimeRule: return PaneTimeProperty;
        case ItemSizeRule: return PaneSizeProperty;
        case ItemNameRule: return PaneNameProperty;
        default: return PaneFolderContents;
    }
}

void CPaneHost::Register(PaneKind kind, CProfilePane* pane, PaneBinding binding) {
    slots_[kind] = {pane, std::move(binding)};
}

void CPaneHost::Create(HINSTANCE module, HWND page, HWND area) {
    page_ = page;
    RECT place = {};
    GetWindowRect(area, &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    ShowWindow(area, SW_HIDE);
    for (const Slot& slot : slots_) {
        CProfilePane* pane = slot.pane;
        if (!pane) continue;
        HWND hwnd = pane->Create(module, page);
        if (!hwnd) continue;
        SetWindowPos(hwnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(hwnd, SW_HIDE);
        pane->SetPage(page);
    }
}

void CPaneHost::HideAll() {
    for (const Slot& slot : slots_)
        if (slot.pane && slot.pane->Handle()) ShowWindow(slot.pane->Handle(), SW_HIDE);
}

void CPaneHost::Show(PaneKind kind) {
    CProfilePane* pane = slots_[kind].pane;
    if (!pane || !pane->Handle()) return;
    if (shown_ != kind || !IsWindowVisible(pane->Handle())) {
        HideAll();
        ShowWindow(pane->Handle(), SW_SHOW);
    }
    shown_ = kind;
}

bool CPaneHost::Fill(PaneKind kind, const ProfileItemRef& item) {
    const Slot& slot = slots_[kind];
    if (!slot.pane || !slot.pane->Handle() || !slot.binding.fill) return false;
    if (item.kind != ItemKindOf(kind) || (item.IsRule() && !item.Rule())) return false;
    slot.pane->SetPage(page_);
    // The focus stays on the same field, or goes to the first one when that
    // field went.
    HWND focus = GetFocus();
    const bool focusInPane = focus && IsChild(slot.pane->Handle(), focus);
    slot.binding.fill(item);
    slot.pane->EnableUpdate(false);  // filling is no edit
    if (focusInPane) {
        if (IsWindowEnabled(focus) && IsWindowVisible(focus)) {
            SetFocus(focus);
        } else {
            slot.pane->FocusFirstField();
        }
    }
    return true;
}

void CPaneHost::FocusShown() {
    // The folder-contents summary takes no focus.
    CProfilePane* pane = slots_[shown_].pane;
    if (pane && pane->Handle() && IsWindowVisible(pane->Handle())) pane->FocusFirstField();
}

CPaneHost::PaneMessage CPaneHost::Classify(UINT message, PaneKind* kind) const {
    for (int i = 0; i < PaneCount; ++i) {
        const Slot& slot = slots_[i];
        if (!slot.pane || !slot.binding.apply) continue;
        const PaneMessage found = message == slot.pane->ChangedMessage()  ? PaneMessage::Changed
                                  : message == slot.pane->UpdateMessage() ? PaneMessage::Update
                                                                          : PaneMessage::None;
        if (found == PaneMessage::None) continue;
        *kind = static_cast<PaneKind>(i);
        return found;
    }
    return PaneMessage::None;
}

}  // namespace ordvale::wizard
