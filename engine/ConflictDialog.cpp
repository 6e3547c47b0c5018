#include "engine/ConflictDialog.h"

#include <shlwapi.h>

#include "common/Text.h"
#include "engine/resource.h"

namespace ordvale {

namespace {

std::wstring LocalDateTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return L"";
    wchar_t date[64] = {}, clock[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, 64);
    return std::wstring(date) + L" " + clock;
}

std::wstring NameOf(const wchar_t* path) {
    std::wstring p(path ? path : L"");
    return p.substr(p.find_last_of(L'\\') + 1);
}

}  // namespace

std::wstring CDialogConflict::Describe(UINT label, const wchar_t* path, uint64_t size,
                                       const FILETIME& time) const {
    std::wstring sizeText;
    if (question_->isFolder) {
        sizeText = LoadText(IDS_CONFLICT_NO_SIZE);
    } else {
        wchar_t buf[64] = {};
        StrFormatByteSizeW(static_cast<LONGLONG>(size), buf, 64);
        sizeText = buf;
    }
    return FillTemplate(LoadText(IDS_CONFLICT_ITEM).c_str(),
                        {LoadText(label).c_str(), path ? path : L"", sizeText.c_str(),
                         LocalDateTime(time).c_str()});
}

BOOL CDialogConflict::OnInitDialog() {
    SendDlgItemMessageW(Handle(), IDC_CONFLICT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    if (!question_) return TRUE;
    const std::wstring name = NameOf(question_->destinationPath);
    SetItemText(IDC_CONFLICT_TEXT,
                FillTemplate(LoadText(question_->isFolder ? IDS_CONFLICT_FOLDER : IDS_CONFLICT_FILE).c_str(),
                             {name.c_str()}));
    SetItemText(IDC_CONFLICT_ARRIVING, Describe(IDS_CONFLICT_ARRIVING, question_->sourcePath,
                                                question_->sourceSize, question_->sourceTime));
    SetItemText(IDC_CONFLICT_EXISTING, Describe(IDS_CONFLICT_EXISTING, question_->destinationPath,
                                                question_->destinationSize, question_->destinationTime));
    if (question_->isFolder) SetItemText(IDC_CONFLICT_REPLACE, LoadText(IDS_CONFLICT_MERGE_FOLDER));
    return TRUE;
}

BOOL CDialogConflict::OnCommand(WORD id, WORD, HWND) {
    int chosen = 0;
    switch (id) {
        case IDC_CONFLICT_REPLACE: chosen = kAnswerReplace; break;
        case IDC_CONFLICT_KEEP_BOTH: chosen = kAnswerKeepBoth; break;
        case IDC_CONFLICT_SKIP: chosen = kAnswerSkip; break;
        case IDCANCEL: chosen = kAnswerCancel; break;
        default: return FALSE;
    }
    answer = chosen;
    if (chosen != kAnswerCancel && IsDlgButtonChecked(Handle(), IDC_CONFLICT_FOR_ALL) == BST_CHECKED)
        answer |= kAnswerForAll;
    End(answer);
    return TRUE;
}

}  // namespace ordvale
