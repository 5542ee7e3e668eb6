#include "net/FetchProgressDialog.h"

#include "LocalWeb.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace qx {
namespace {

// Whether the progress window was on screen when the request reached the
// service: recorded by a thread timer that fires inside the dialog's loops.
HWND g_progressWindow = nullptr;

BOOL CALLBACK FindProgress(HWND window, LPARAM) {
    char caption[32] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && std::string(caption) == "通信中") {
        g_progressWindow = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WatchForProgress(HWND, UINT, UINT_PTR, DWORD) {
    if (g_progressWindow == nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), &FindProgress, 0);
    }
}

struct FetchOutcome {
    INT_PTR result;
    std::string reply;
    bool windowShown;
};

FetchOutcome RunFetch(const std::string& url, std::string reply = "unchanged") {
    test::PumpPendingMessages();
    g_progressWindow = nullptr;
    const UINT_PTR watch = SetTimer(nullptr, 0, 20, &WatchForProgress);
    FetchProgressDialog dialog(url.c_str(), reply);
    const INT_PTR result = dialog.DoModal(nullptr, IDD_FETCH_PROGRESS);
    KillTimer(nullptr, watch);
    return {result, reply, g_progressWindow != nullptr};
}

TEST(FetchProgressDialog, JapaneseReplyArrivesInCodePage932) {
    const FetchOutcome outcome = RunFetch(qxtest::LocalWebUrl(
        "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86&operation=GetAreaClass&version=2007-02-28"));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(outcome.windowShown);
    // "東京都" in code page 932, which its UTF-8 form would not contain.
    EXPECT_NE(outcome.reply.find("\x93\x8C\x8B\x9E\x93\x73"), std::string::npos);
    EXPECT_EQ(outcome.reply.find("\xE6\x9D\xB1"), std::string::npos);
}

TEST(FetchProgressDialog, AsciiBodyComesBackByteForByte) {
    const FetchOutcome outcome = RunFetch(qxtest::LocalWebUrl("/_fault/large?bytes=5000"));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.reply, qxtest::PatternBytes(5000));
}

TEST(FetchProgressDialog, FailuresEndWithMinusOne) {
    // No body of a failed fetch is handed on: the reply is emptied once the
    // request was made, or left as it was when none could be.
    struct Case {
        const char* name;
        std::string url;
        bool requestMade;
    };
    const Case cases[] = {
        {"status 404", qxtest::LocalWebUrl("/_fault/status404"), true},
        {"status 500", qxtest::LocalWebUrl("/_fault/status500"), true},
        {"broken body", qxtest::LocalWebUrl("/_fault/reset"), true},
        {"nobody listening", "http://127.0.0.1:1/", false},
    };
    for (const Case& c : cases) {
        const FetchOutcome outcome = RunFetch(c.url);
        EXPECT_EQ(outcome.result, -1) << c.name;
        if (c.requestMade) {
            EXPECT_EQ(outcome.reply, "") << c.name;
        } else {
            EXPECT_TRUE(outcome.reply.empty() || outcome.reply == "unchanged") << c.name;
        }
    }
}

TEST(FetchProgressDialog, EmptyUrlEndsWithMinusOneAndLeavesTheReply) {
    const FetchOutcome outcome = RunFetch("");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.reply, "unchanged");
}

}  // namespace
}  // namespace qx
