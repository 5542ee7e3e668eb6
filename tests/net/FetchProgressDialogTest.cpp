#include "net/FetchProgressDialog.h"

#include "res/resource.h"
#include "tests/support/HostDialog.h"
#include "tests/support/LocalService.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qx {
namespace {

// The progress window, when it is on screen.
HWND VisibleProgressWindow() {
    HWND window = FindWindowA("#32770", "通信中");
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// Runs the dialog with watch called on every tick of the driver inside its loops.
INT_PTR RunWatched(const std::function<INT_PTR()>& runModal, const std::function<void()>& watch) {
    test::ModalDriver driver;
    driver.Add("watch", [&watch](HWND) {
        watch();
        return false;
    }, INFINITE);
    return driver.Run(runModal);
}

struct FetchOutcome {
    INT_PTR result;
    std::string reply;
    bool windowShown;
    bool cancelledByUser;
};

FetchOutcome RunFetch(const std::string& url, std::string reply = "unchanged") {
    test::PumpPendingMessages();
    bool shown = false;
    FetchProgressDialog dialog(url.c_str(), reply);
    const INT_PTR result = RunWatched([&] { return dialog.DoModal(nullptr, IDD_FETCH_PROGRESS); },
                                      [&] { shown = shown || VisibleProgressWindow() != nullptr; });
    return {result, reply, shown, dialog.CancelledByUser()};
}

TEST(FetchProgressDialog, JapaneseReplyArrivesInCodePage932) {
    const FetchOutcome outcome = RunFetch(test::ServiceUrl(test::kAreaTarget));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.windowShown) << "a quick reply flashed the progress window";
    // "東京都" in code page 932, which its UTF-8 form would not contain.
    EXPECT_NE(outcome.reply.find("\x93\x8C\x8B\x9E\x93\x73"), std::string::npos);
    EXPECT_EQ(outcome.reply.find("\xE6\x9D\xB1"), std::string::npos);
}

TEST(FetchProgressDialog, AsciiBodyComesBackByteForByte) {
    const FetchOutcome outcome = RunFetch(test::ServiceUrl("/_fault/large?bytes=5000"));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.reply, test::PatternBytes(5000));
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
        {"status 404", test::ServiceUrl("/_fault/status404"), true},
        {"status 500", test::ServiceUrl("/_fault/status500"), true},
        {"broken body", test::ServiceUrl("/_fault/reset"), true},
        {"nobody listening", "http://127.0.0.1:1/", false},
    };
    for (const Case& c : cases) {
        const FetchOutcome outcome = RunFetch(c.url);
        EXPECT_EQ(outcome.result, -1) << c.name;
        EXPECT_FALSE(outcome.cancelledByUser) << c.name;
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

// The window's own look, its timing against the request, its limit and Cancel.
const std::string kUntouched = "left as it was";

// How the test closes the progress window, as the user can.
enum class Close {
    Never,
    OnSight,      // the Cancel command (Escape) as soon as the window is seen
    DuringFetch,  // the close command (Alt+F4, close box) once the request has arrived
};

// What the driver's ticks see of the progress window while the dialog runs.
struct Observation {
    std::string marker;       // the request to look for in the service's log
    Close close = Close::Never;
    HWND owner = nullptr;
    bool ownerEverEnabled = false;
    bool keysPressed = false;    // before the window shows
    DWORD shownAt = 0;        // tick at which the window was first seen visible
    bool shownAtEnd = false;  // on the last tick that saw the dialog at all
    DWORD requestedAt = 0;    // tick at which the request was first in the log
    LONG style = 0;
    RECT client{};
    RECT designed{};
    char caption[64] = {};
    char label[64] = {};
    LOGFONTA font{};
};
Observation g_seen;

// Real key presses, to whatever window has the keyboard now: Enter, Escape,
// a letter and Alt+F4.
void PressKeys() {
    const struct {
        WORD key;
        DWORD flags;
    } strokes[] = {{VK_RETURN, 0}, {VK_RETURN, KEYEVENTF_KEYUP}, {VK_ESCAPE, 0}, {VK_ESCAPE, KEYEVENTF_KEYUP},
                   {'A', 0},       {'A', KEYEVENTF_KEYUP},       {VK_MENU, 0},   {VK_F4, 0},
                   {VK_F4, KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}};
    std::vector<INPUT> inputs;
    for (const auto& stroke : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = stroke.key;
        input.ki.dwFlags = stroke.flags;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Observe() {
    if (g_seen.owner && IsWindowEnabled(g_seen.owner)) {
        g_seen.ownerEverEnabled = true;
    }
    HWND anyState = FindWindowA("#32770", "通信中");
    if (anyState) {
        g_seen.shownAtEnd = IsWindowVisible(anyState) != FALSE;
        if (!g_seen.shownAtEnd && g_seen.owner && !g_seen.keysPressed) {
            g_seen.keysPressed = true;
            PressKeys();
        }
    }
    HWND dialog = VisibleProgressWindow();
    if (dialog && g_seen.shownAt == 0) {
        g_seen.shownAt = GetTickCount();
        g_seen.style = GetWindowLongA(dialog, GWL_STYLE);
        GetClientRect(dialog, &g_seen.client);
        g_seen.designed = {0, 0, 138, 51};
        MapDialogRect(dialog, &g_seen.designed);
        GetWindowTextA(dialog, g_seen.caption, sizeof g_seen.caption);
        HWND label = GetDlgItem(dialog, IDC_PROGRESS_LABEL);
        GetWindowTextA(label, g_seen.label, sizeof g_seen.label);
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), sizeof g_seen.font, &g_seen.font);
        if (g_seen.close == Close::OnSight) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    if (g_seen.requestedAt == 0 && !g_seen.marker.empty() && !test::LoggedRequests(g_seen.marker).empty()) {
        g_seen.requestedAt = GetTickCount();
    }
    if (dialog && g_seen.requestedAt != 0 && g_seen.close == Close::DuringFetch) {
        g_seen.close = Close::Never;
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

struct DialogRun {
    INT_PTR result;
    std::string reply;
    DWORD elapsedMs;
    bool cancelledByUser;
};

DialogRun RunDialog(const std::string& url, const std::string& marker, DWORD limitMs = 10000,
                    Close close = Close::Never, HWND owner = nullptr) {
    g_seen = Observation();
    g_seen.marker = marker;
    g_seen.close = close;
    g_seen.owner = owner;
    DialogRun run{0, kUntouched, 0, false};
    const DWORD start = GetTickCount();
    FetchProgressDialog dialog(url.c_str(), run.reply, limitMs);
    run.result = RunWatched([&] { return dialog.DoModal(owner, IDD_FETCH_PROGRESS); }, &Observe);
    run.elapsedMs = GetTickCount() - start;
    if (g_seen.shownAt != 0) {
        g_seen.shownAt -= start;
    }
    // A quick reply can end the dialog before a tick sees its request in the
    // log; it then came after every tick, the one that saw the window among them.
    if (g_seen.requestedAt == 0 && !g_seen.marker.empty() && !test::LoggedRequests(g_seen.marker).empty()) {
        g_seen.requestedAt = GetTickCount();
    }
    if (g_seen.requestedAt != 0) {
        g_seen.requestedAt -= start;
    }
    run.cancelledByUser = dialog.CancelledByUser();
    return run;
}

class FetchProgress : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ServiceStartedAroundTest() || GetACP() != 932) {
            GTEST_SKIP() << "needs the local web service and code page 932";
        }
        marker_ = test::UniqueMarker();
    }
    std::string Canned(const std::string& body) {
        EXPECT_TRUE(test::ArmPage("/canned/" + marker_, body));
        return test::ServiceUrl("/canned/" + marker_);
    }
    // The service's front page, after the given seconds; the next request
    // of this serial test is the dialog's.
    std::string Delayed(const char* seconds) {
        EXPECT_TRUE(test::ArmFault("/", "delay", std::string("&seconds=") + seconds));
        return test::ServiceUrl("/?" + marker_);
    }
    std::string marker_;
};

TEST_F(FetchProgress, QuickReplyShowsNoWindowAndIsConvertedToCodePage932) {
    // 東京都, then a Thai letter that code page 932 lacks.
    const DialogRun run = RunDialog(Canned("<a>\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD\xE0\xB8\x81</a>"), marker_);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.reply, "<a>\x93\x8C\x8B\x9E\x93\x73?</a>");
    EXPECT_EQ(g_seen.shownAt, 0u) << "the window flashed for a quick reply";
    EXPECT_NE(g_seen.requestedAt, 0u);
}

TEST_F(FetchProgress, SlowReplyShowsTheWindowAfterAboutAThirdOfASecondUntilItArrives) {
    test::HostDialog host(nullptr);
    HWND owner = host.Create(nullptr, IDD_TEST_BINDING);
    ASSERT_NE(owner, nullptr);
    ShowWindow(owner, SW_SHOW);
    SetForegroundWindow(owner);
    SetFocus(GetDlgItem(owner, IDC_TEST_EDIT));
    const DialogRun run = RunDialog(Delayed("1.2"), marker_, 10000, Close::Never, owner);
    EXPECT_EQ(run.result, 0) << "a key pressed before the window showed cancelled the fetch";
    EXPECT_FALSE(run.cancelledByUser);
    EXPECT_GE(g_seen.shownAt, 280u);
    EXPECT_LT(g_seen.shownAt, 1000u);
    EXPECT_TRUE(g_seen.shownAtEnd) << "the window went before the reply came";
    EXPECT_LT(g_seen.requestedAt, 250u) << "the fetch waited before it started";
    EXPECT_TRUE(g_seen.keysPressed);
    EXPECT_FALSE(g_seen.ownerEverEnabled) << "the owner took input during the fetch";
    char typed[16] = "";
    GetDlgItemTextA(owner, IDC_TEST_EDIT, typed, sizeof typed);
    EXPECT_STREQ(typed, "") << "a key reached the owner";
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST_F(FetchProgress, IsTheDesignedWindow) {
    RunDialog(Delayed("0.6"), marker_);
    EXPECT_STREQ(g_seen.caption, "通信中");
    EXPECT_STREQ(g_seen.label, "データ読み込み中...");
    EXPECT_EQ(g_seen.style & WS_SYSMENU, 0);
    EXPECT_EQ(g_seen.style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME), WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    EXPECT_EQ(g_seen.client.right, g_seen.designed.right);
    EXPECT_EQ(g_seen.client.bottom, g_seen.designed.bottom);
    EXPECT_EQ(g_seen.font.lfHeight, 16);
    EXPECT_EQ(g_seen.font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(g_seen.font.lfFaceName, "ＭＳ ゴシック");
}

TEST_F(FetchProgress, EmptyReplyIsASuccess) {
    const DialogRun empty = RunDialog(Canned(""), marker_);
    EXPECT_EQ(empty.result, 0);
    EXPECT_EQ(empty.reply, "");
}

TEST_F(FetchProgress, GivesUpJustAfterTheLimit) {
    const DialogRun run = RunDialog(test::ServiceUrl("/_fault/hang?seconds=3"), marker_, 400);
    EXPECT_EQ(run.result, -1);
    EXPECT_FALSE(run.cancelledByUser) << "running out of time is a failure";
    EXPECT_GE(run.elapsedMs, 400u);
    EXPECT_LT(run.elapsedMs, 2000u);
    EXPECT_EQ(run.reply, kUntouched);
    EXPECT_EQ(FindWindowA("#32770", "通信中"), nullptr);
}

TEST_F(FetchProgress, CancelOfTheShownWindowEndsAtOnceAndLeavesTheReply) {
    const DialogRun run = RunDialog(Delayed("3"), marker_, 10000, Close::OnSight);
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(run.cancelledByUser);
    EXPECT_EQ(run.reply, kUntouched);
    EXPECT_LT(run.elapsedMs, 2500u);
}

TEST_F(FetchProgress, ClosingTheWindowDuringTheFetchIsACancelNotAFailure) {
    const std::string path = "/hanging/" + marker_;
    ASSERT_TRUE(test::ArmFault(path, "hang", "&seconds=3"));
    const DialogRun run = RunDialog(test::ServiceUrl(path), marker_, 10000, Close::DuringFetch);
    EXPECT_NE(g_seen.requestedAt, 0u);
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(run.cancelledByUser);
    EXPECT_LT(run.elapsedMs, 2500u) << "the window closes without waiting for the server";
    EXPECT_EQ(FindWindowA("#32770", "通信中"), nullptr);
}

// A fetch given up while the server never answers, at the time limit or by
// the user, is over for the service: nothing of it arrives again, not even
// when the server at last closes the connection, one that the fetch before
// had left open for reuse.
TEST_F(FetchProgress, GivenUpFetchNeverReachesTheServiceAgain) {
    const struct {
        const char* name;
        DWORD limitMs;
        Close close;
    } cases[] = {{"time limit", 1000, Close::Never}, {"cancel", 30000, Close::DuringFetch}};
    std::vector<std::string> paths;
    for (const auto& c : cases) {
        ASSERT_EQ(RunDialog(test::ServiceUrl("/?" + marker_), "").result, 0) << c.name;
        const std::string path = "/hanging/" + test::UniqueMarker();
        ASSERT_TRUE(test::ArmFault(path, "hang", "&seconds=20"));
        const DialogRun run = RunDialog(test::ServiceUrl(path), path, c.limitMs, c.close);
        EXPECT_EQ(run.result, -1) << c.name;
        EXPECT_EQ(run.cancelledByUser, c.close == Close::DuringFetch) << c.name;
        paths.push_back(path);
    }
    // Both fetches wait together, well past the server's close.
    Sleep(60000);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(test::LoggedRequests(paths[i]).size(), 1u) << cases[i].name;
    }
}

}  // namespace
}  // namespace qx
