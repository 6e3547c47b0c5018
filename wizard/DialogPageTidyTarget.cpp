#include "DialogPageTidyTarget.h"

#include "Icons.h"
#include "PageMessages.h"
#include "common/TidyJob.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogPageTidyTarget::CDialogPageTidyTarget() : CDialogEx(IDD_PAGE_TARGET, true, IDC_TARGET_TITLE) {}

CDialogPageTidyTarget::~CDialogPageTidyTarget() = default;

BOOL CDialogPageTidyTarget::OnInitDialog() {
    CDialogEx::OnInitDialog();
    static const int notes[] = {IDS_NOTE_DESKTOP, IDS_NOTE_FOLDER, IDS_NOTE_SELECTION};
    for (int i = 0; i < 3; ++i) {
        links_[i].Attach(Item(IDC_LINK_DESKTOP + i));
        links_[i].SetNote(LoadText(notes[i]).c_str());
    }
    LoadIcons();
    return TRUE;
}

void CDialogPageTidyTarget::LoadIcons() {
    const int size = win::ScaleForDpi(kLinkIconSize, Dpi());
    images_ = MakeImageList(Module(), size, {IDI_LINK_DESKTOP, IDI_LINK_FOLDER, IDI_LINK_SELECTION});
    for (int i = 0; i < 3; ++i) {
        links_[i].SetIconSize(size);
        links_[i].SetIcon(ImageList_GetIcon(images_.Get(), i, ILD_NORMAL));
    }
}

void CDialogPageTidyTarget::ApplyDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    CDialogEx::ApplyDpi(dpi);
    for (auto& link : links_) link.SetDpi(dpi);
    LoadIcons();
}

HWND CDialogPageTidyTarget::ShowChoice(int32_t target, const wchar_t* folder) {
    std::wstring note = LoadText(IDS_NOTE_FOLDER);
    if (target == static_cast<int32_t>(TidyTarget::Folder) && folder && *folder) note += std::wstring(L"\r\n") + folder;
    links_[1].SetNote(note.c_str());
    return target >= 0 && target < 3 ? links_[target].Handle() : nullptr;
}

BOOL CDialogPageTidyTarget::OnCommand(WORD id, WORD code, HWND) {
    if (code == BN_CLICKED && id >= IDC_LINK_DESKTOP && id <= IDC_LINK_SELECTION) {
        SendMessageW(GetParent(Handle()), WM_TARGET_CHOSEN, id - IDC_LINK_DESKTOP, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CDialogPageTidyTarget::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        for (auto& link : links_) {
            if (link.Handle() == item->hwndItem) {
                link.DrawItem(item);
                *result = TRUE;
                return TRUE;
            }
        }
    }
    return FALSE;
}

}  // namespace ordvale::wizard
