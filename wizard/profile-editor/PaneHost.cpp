#include "PaneHost.h"

#include "DialogFolderProperty.h"
#include "DialogNameProperty.h"
#include "DialogSizeProperty.h"
#include "DialogTimeProperty.h"
#include "DialogTypeProperty.h"

namespace ordvale::wizard {

ItemKind CPaneHost::ItemKindOf(PaneKind kind) {
    switch (kind) {
        case PaneKind::FolderProperty: return ItemKind::Folder;
        case PaneKind::TypeProperty: return ItemKind::TypeRule;
        case PaneKind::TimeProperty: return ItemKind::TimeRule;
        case PaneKind::SizeProperty: return ItemKind::SizeRule;
        case PaneKind::NameProperty: return ItemKind::NameRule;
        default: return ItemKind::None;
    }
}

PaneKind CPaneHost::PaneOf(ItemKind itemKind) {
    switch (itemKind) {
        case ItemKind::Folder: return PaneKind::FolderProperty;
        case ItemKind::TypeRule: return PaneKind::TypeProperty;
        case ItemKind::TimeRule: return PaneKind::TimeProperty;
        case ItemKind::SizeRule: return PaneKind::SizeProperty;
        case ItemKind::NameRule: return PaneKind::NameProperty;
        default: return PaneKind::FolderContents;
    }
}

void CPaneHost::Register(PaneKind kind, CProfilePane* pane, PaneBinding binding) {
    slots_[static_cast<int>(kind)] = {pane, std::move(binding)};
}

void CPaneHost::Create(HINSTANCE module, HWND page, HWND area) {
    page_ = page;
    RECT place = {};
    GetWindowRect(area, &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    ShowWindow(area, SW_HIDE);
    for (const PaneSlot& slot : slots_) {
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

void CPaneHost::CreateEditorPanes(EditorContext& context, HINSTANCE module, HWND page, HWND area) {
    Register(PaneKind::FolderContents, &contents_);
    AddPane<CDialogFolderProperty>(PaneKind::FolderProperty, context, BindFolderPane);
    AddPane<CDialogTypeProperty>(PaneKind::TypeProperty, context, BindTypePane);
    AddPane<CDialogNameProperty>(PaneKind::NameProperty, context, BindNamePane);
    AddPane<CDialogSizeProperty>(PaneKind::SizeProperty, context, BindSizePane);
    AddPane<CDialogTimeProperty>(PaneKind::TimeProperty, context, BindTimePane);
    Create(module, page, area);
}

void CPaneHost::HideAll() {
    for (const PaneSlot& slot : slots_)
        if (slot.pane && slot.pane->Handle()) ShowWindow(slot.pane->Handle(), SW_HIDE);
}

void CPaneHost::Show(PaneKind kind) {
    CProfilePane* pane = Slot(kind).pane;
    if (!pane || !pane->Handle()) return;
    if (shown_ != kind || !IsWindowVisible(pane->Handle())) {
        HideAll();
        ShowWindow(pane->Handle(), SW_SHOW);
    }
    shown_ = kind;
}

bool CPaneHost::Fill(PaneKind kind, const ProfileItemRef& item) {
    const PaneSlot& slot = Slot(kind);
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
    CProfilePane* pane = Slot(shown_).pane;
    if (pane && pane->Handle() && IsWindowVisible(pane->Handle())) pane->FocusFirstField();
}

CPaneHost::PaneMessage CPaneHost::Classify(UINT message, PaneKind* kind) const {
    for (int i = 0; i < kPaneKinds; ++i) {
        const PaneSlot& slot = slots_[i];
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
