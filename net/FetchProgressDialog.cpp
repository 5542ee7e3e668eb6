#include "net/FetchProgressDialog.h"

#include "net/ConvertUtf8Reply.h"
#include "net/HttpFetchJob.h"
#include "res/resource.h"

namespace qx {

const FetchProgressDialog::MessageMap FetchProgressDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &FetchProgressDialog::OnInitDialog),
    OnMessage(WM_TIMER, &FetchProgressDialog::OnTimer),
    OnCommand(IDOK, &FetchProgressDialog::OnOk),
    OnCommand(IDCANCEL, &FetchProgressDialog::OnCancel),
};

FetchProgressDialog::FetchProgressDialog(const char* url, std::string& reply) : url_(url), reply_(reply) {}

FetchProgressDialog::~FetchProgressDialog() {
    DeleteLabelFont();
}

LRESULT FetchProgressDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    labelFont_ = CreateFontA(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "ＭＳ ゴシック");
    label_ = Item(IDC_PROGRESS_LABEL);
    SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
    SetTimer(Window(), IDT_FETCH_START, 200, nullptr);
    return TRUE;
}

LRESULT FetchProgressDialog::OnTimer(WPARAM, LPARAM) {
    KillTimer(Window(), IDT_FETCH_START);
    if (fetching_) {
        return 0;
    }
    fetching_ = true;
    HttpFetchJobPtr job = HttpFetchJob::Create(url_ != nullptr ? url_ : "", &reply_);
    const int result = WaitForFetch(*job, FetchTextWorker, kTimeLimitMs);
    if (result == kFetchOk) {
        ConvertUtf8Reply(reply_);
        EndDialog(0);
    } else {
        EndDialog(-1);
    }
    return 0;
}

void FetchProgressDialog::OnOk() {
    OnCancel();
}

void FetchProgressDialog::OnCancel() {
    // The keys only reach here before the fetch starts; during it the fetch
    // loop dispatches without dialog keyboard handling.
    if (fetching_) {
        return;
    }
    KillTimer(Window(), IDT_FETCH_START);
    DeleteLabelFont();
    EndDialog(-1);
}

void FetchProgressDialog::DeleteLabelFont() {
    if (labelFont_ != nullptr && DeleteObject(labelFont_)) {
        labelFont_ = nullptr;
    }
}

}  // namespace qx
