#include "net/FetchProgressDialog.h"

#include "controls/WindowDpi.h"
#include "net/ConvertUtf8Reply.h"
#include "res/resource.h"

namespace qx {
namespace {

// A fetch that ends sooner than this shows no window at all, so that nothing
// flashes on screen for a few milliseconds.
constexpr UINT kShowAfterMs = 300;

// The label's text height in pixels at 96 dpi.
constexpr int kLabelFontHeight = 16;

HFONT CreateLabelFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, "ＭＳ ゴシック");
}

}  // namespace

const FetchProgressDialog::MessageMap FetchProgressDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &FetchProgressDialog::OnInitDialog),
    OnMessage(kStartFetchMessage, &FetchProgressDialog::OnStartFetch),
    OnMessage(WM_TIMER, &FetchProgressDialog::OnTimer),
    OnCommand(IDOK, &FetchProgressDialog::OnOk),
    OnCommand(IDCANCEL, &FetchProgressDialog::OnCancel),
};

FetchProgressDialog::FetchProgressDialog(const char* url, std::string& reply, DWORD timeLimitMs)
    : url_(url), reply_(&reply), timeLimitMs_(timeLimitMs) {}

FetchProgressDialog::~FetchProgressDialog() {
    DeleteLabelFont();
}

INT_PTR FetchProgressDialog::Run() {
    return DoModal(GetActiveWindow(), IDD_FETCH_PROGRESS);
}

LRESULT FetchProgressDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    label_ = Item(IDC_PROGRESS_LABEL);
    labelFont_.reset(CreateLabelFont(ScaleToWindow(label_, kLabelFontHeight)));
    if (labelFont_) {
        SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), TRUE);
    }
    // Posted, so that the fetch runs inside the modal loop, with the owner
    // already disabled, and before the loop first shows the window.
    PostMessageA(Window(), kStartFetchMessage, 0, 0);
    return TRUE;
}

LRESULT FetchProgressDialog::OnStartFetch(WPARAM, LPARAM) {
    if (fetchStarted_ || ended_) {
        return 0;
    }
    fetchStarted_ = true;
    SetTimer(Window(), IDT_PROGRESS_SHOW, kShowAfterMs, nullptr);
    const int result = FetchEveryRequest();
    KillTimer(Window(), IDT_PROGRESS_SHOW);
    if (ended_) {
        return 0;  // OK or Cancel arrived during the wait: the dialog has already ended with -1
    }
    EndDialog(result == kFetchOk ? 0 : -1);
    ended_ = true;
    return 0;
}

int FetchProgressDialog::FetchEveryRequest() {
    std::string url = url_ ? url_ : "";
    for (;;) {
        HttpFetchJobPtr job = HttpFetchJob::Create(url, reply_);
        runningJob_ = job.get();
        const int result = WaitForFetch(*job, FetchTextWorker, timeLimitMs_);
        runningJob_ = nullptr;
        if (ended_ || result != kFetchOk) {
            return result;
        }
        ConvertUtf8Reply(*reply_);
        std::string progress;
        if (!followUp_ || !followUp_(url, progress)) {
            return result;
        }
        ShowProgress(progress);
    }
}

void FetchProgressDialog::ShowProgress(const std::string& progress) {
    if (labelText_.empty()) {
        char text[64] = {};
        GetWindowTextA(label_, text, sizeof text);
        labelText_ = text;
    }
    SetWindowTextA(label_, (labelText_ + " " + progress).c_str());
}

LRESULT FetchProgressDialog::OnTimer(WPARAM timerId, LPARAM) {
    if (timerId != IDT_PROGRESS_SHOW) {
        return 0;
    }
    KillTimer(Window(), IDT_PROGRESS_SHOW);
    if (!ended_ && !IsWindowVisible(Window())) {
        ShowWindow(Window(), SW_SHOW);
        UpdateWindow(Window());
    }
    return 0;
}

void FetchProgressDialog::OnOk() {
    Abandon();
}

void FetchProgressDialog::OnCancel() {
    Abandon();
}

void FetchProgressDialog::Abandon() {
    if (ended_) {
        return;  // the fetch has already ended the dialog with its result
    }
    if (fetchStarted_ && !IsWindowVisible(Window())) {
        return;  // Alt+F4 before the window showed: there is nothing on screen to cancel
    }
    DeleteLabelFont();
    if (runningJob_) {
        runningJob_->stopWaiting = true;
    }
    ended_ = true;
    cancelledByUser_ = true;
    EndDialog(-1);
}

void FetchProgressDialog::DeleteLabelFont() {
    if (!labelFont_) {
        return;
    }
    if (IsWindow(label_)) {
        SendMessageA(label_, WM_SETFONT, 0, FALSE);  // the label must not paint with a deleted font
    }
    labelFont_.reset();
}

}  // namespace qx
