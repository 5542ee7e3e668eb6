// The small modal window "通信中" shown while one web-service request runs.
//
// The fetch starts from a timer 200 ms after the window opened, so that the
// window is on screen first; it runs on a worker thread while this thread keeps
// dispatching messages, with a time limit of 30 s. DoModal(owner,
// IDD_FETCH_PROGRESS) ends with 0 when the reply arrived with status 200 (it is
// then converted to code page 932) and with -1 in every other case.
#pragma once

#include "app/Dialog.h"

#include <windows.h>

#include <string>

namespace qx {

class FetchProgressDialog : public DialogImpl<FetchProgressDialog> {
public:
    static const MessageMap kMessageMap;

    static constexpr DWORD kTimeLimitMs = 30000;

    // url and reply stay the caller's and must outlive the dialog.
    FetchProgressDialog(const char* url, std::string& reply);
    ~FetchProgressDialog() override;

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    void OnOk();
    void OnCancel();
    void DeleteLabelFont();

    const char* url_;
    std::string& reply_;
    HFONT labelFont_ = nullptr;
    HWND label_ = nullptr;
    bool fetching_ = false;
};

}  // namespace qx
