// The small modal progress window shown while one web-service request runs,
// or a series of them that the caller names one by one (the pages of a search).
//
// The fetch starts as soon as the modal loop runs, on a worker thread while
// this thread keeps dispatching messages; the window itself shows only when
// the fetch is still running after 300 ms. The owner is disabled either way.
// The UTF-8 reply is converted to code page 932.
#pragma once

#include "framework/Dialog.h"
#include "framework/ScopedHandles.h"
#include "net/HttpFetchJob.h"

#include <functional>
#include <string>
#include <utility>

namespace qx {

class FetchProgressDialog : public DialogImpl<FetchProgressDialog> {
public:
    static const MessageMap kMessageMap;

    // Web-service requests are given up after this long.
    static constexpr DWORD kTimeLimitMs = 30000;

    // url and reply stay the caller's and must outlive the dialog. The limit
    // is a parameter only so that tests need not wait half a minute.
    FetchProgressDialog(const char* url, std::string& reply, DWORD timeLimitMs = kTimeLimitMs);
    ~FetchProgressDialog() override;

    // Runs modally, owned by the active window. 0 when the reply arrived with
    // status 200 and has been converted; -1 otherwise, the reply then holding
    // nothing useful (empty, or unchanged when no request was made).
    INT_PTR Run();

    // Asked after each reply that arrived and was converted, while the reply
    // text holds it: true, with the request to fetch next into the same reply
    // text and a progress text to show after the label's own (such as
    // "2 / 4"), keeps the window open for that fetch; false ends it with 0.
    // A fetch that fails ends the window with -1 as a single fetch does.
    using FollowUp = std::function<bool(std::string& nextUrl, std::string& progress)>;
    void SetFollowUp(FollowUp followUp) { followUp_ = std::move(followUp); }

    // After an end with -1: true when the user closed the shown window
    // (Escape, Enter, Alt+F4 or the close box), false when the fetch failed or ran out
    // of time. Callers tell the user of a failure, never of a cancel.
    bool CancelledByUser() const { return cancelledByUser_; }

private:
    static constexpr UINT kStartFetchMessage = WM_APP + 1;

    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnStartFetch(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    void OnOk();
    void OnCancel();
    void DeleteLabelFont();
    // Fetches the url, then every request the follow-up names, until it names
    // none or a fetch fails; the result of the last fetch.
    int FetchEveryRequest();
    void ShowProgress(const std::string& progress);
    // Ends the dialog with -1 as cancelled by the user and stops a running wait.
    void Abandon();

    const char* url_;
    std::string* reply_;
    GdiObject<HFONT> labelFont_;
    HWND label_ = nullptr;
    const DWORD timeLimitMs_;
    bool fetchStarted_ = false;
    bool ended_ = false;
    bool cancelledByUser_ = false;
    HttpFetchJob* runningJob_ = nullptr;
    FollowUp followUp_;
    std::string labelText_;
};

}  // namespace qx
