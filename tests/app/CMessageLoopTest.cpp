#include "app/CMessageLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

constexpr UINT kIdle = 0;  // stands for an idle pass in the recorded sequences
constexpr UINT kCaretBlinkTimerMessage = 0x0118;

// Records every message offered to the filters and every idle pass; each
// idle pass runs the next step of a script.
class ScriptRecorder : public MessageFilter, public IdleHandler {
public:
    explicit ScriptRecorder(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {}

    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_TIMER) {
            KillTimer(nullptr, msg->wParam);
        }
        sequence.push_back(msg->message);
        return false;
    }

    bool OnIdle() override {
        sequence.push_back(kIdle);
        if (next_ < steps_.size()) {
            steps_[next_++]();
        } else {
            PostQuitMessage(99);
        }
        return false;
    }

    std::vector<UINT> sequence;

private:
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
};

// A thread timer: its message arrives only once the queue has been empty for
// a while, so it shows whether an idle pass ran in between.
void PostLater() {
    SetTimer(nullptr, 0, 50, nullptr);
}

TEST(CMessageLoopTest, OnlyMouseMovesPaintAndCaretBlinkLeaveIdleProcessingDisarmed) {
    test::PumpPendingMessages();
    ScriptRecorder recorder({
        [] {
            PostMessageA(nullptr, WM_MOUSEMOVE, 0, 0);
            PostLater();
        },
        [] {
            PostMessageA(nullptr, WM_NCMOUSEMOVE, 0, 0);
            PostMessageA(nullptr, WM_PAINT, 0, 0);
            PostMessageA(nullptr, kCaretBlinkTimerMessage, 0, 0);
            PostLater();
        },
        [] { PostMessageA(nullptr, WM_APP, 0, 0); },
        [] { PostMessageA(nullptr, WM_LBUTTONDOWN, 0, 0); },
        [] { PostQuitMessage(5); },
    });
    CMessageLoop loop;
    ASSERT_TRUE(loop.AddMessageFilter(&recorder));
    ASSERT_TRUE(loop.AddIdleHandler(&recorder));
    EXPECT_FALSE(loop.AddIdleHandler(&recorder));
    EXPECT_EQ(loop.Run(), 5);
    const std::vector<UINT> expected{
        kIdle, WM_MOUSEMOVE, WM_TIMER,
        kIdle, WM_NCMOUSEMOVE, WM_PAINT, kCaretBlinkTimerMessage, WM_TIMER,
        kIdle, WM_APP,
        kIdle, WM_LBUTTONDOWN,
        kIdle,
    };
    EXPECT_EQ(recorder.sequence, expected);
}

// Counts the idle calls of each period and keeps idle processing armed for a
// given number of passes.
class CountingLoop : public CMessageLoop {
public:
    bool OnIdle(int idleCount) override {
        counts.push_back(idleCount);
        if (counts.size() == 3) {
            PostMessageA(nullptr, WM_APP, 0, 0);
        } else if (counts.size() == 6) {
            PostQuitMessage(0);
        }
        return idleCount < 2;
    }
    std::vector<int> counts;
};

TEST(CMessageLoopTest, IdleCountRunsWithinAPeriodAndRestartsAfterAMessage) {
    test::PumpPendingMessages();
    CountingLoop loop;
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(loop.counts, (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

class Filter : public MessageFilter {
public:
    Filter(std::vector<char>& seen, char name, UINT consumes) : seen_(seen), name_(name), consumes_(consumes) {}
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message < WM_APP) {
            return false;
        }
        seen_.push_back(name_);
        return msg->message == consumes_;
    }

private:
    std::vector<char>& seen_;
    char name_;
    UINT consumes_;
};

std::vector<UINT> dispatched;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP) {
        dispatched.push_back(message);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(CMessageLoopTest, FiltersSeeMessagesNewestFirstAndAConsumedMessageIsNotDispatched) {
    test::PumpPendingMessages();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &RecordingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QxLoopTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("QxLoopTestWindow", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);

    std::vector<char> seen;
    Filter first(seen, 'A', WM_APP + 3);
    Filter second(seen, 'B', WM_APP + 2);
    CMessageLoop loop;
    EXPECT_FALSE(loop.AddMessageFilter(nullptr));
    ASSERT_TRUE(loop.AddMessageFilter(&first));
    ASSERT_TRUE(loop.AddMessageFilter(&second));
    EXPECT_FALSE(loop.AddMessageFilter(&first));

    dispatched.clear();
    PostMessageA(window, WM_APP + 1, 0, 0);
    PostMessageA(window, WM_APP + 2, 0, 0);
    PostMessageA(window, WM_APP + 3, 0, 0);
    PostQuitMessage(9);
    EXPECT_EQ(loop.Run(), 9);
    EXPECT_EQ(seen, (std::vector<char>{'B', 'A', 'B', 'B', 'A'}));
    EXPECT_EQ(dispatched, (std::vector<UINT>{WM_APP + 1}));

    EXPECT_TRUE(loop.RemoveMessageFilter(&second));
    EXPECT_FALSE(loop.RemoveMessageFilter(&second));
    seen.clear();
    dispatched.clear();
    PostMessageA(window, WM_APP + 2, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(seen, (std::vector<char>{'A'}));
    EXPECT_EQ(dispatched, (std::vector<UINT>{WM_APP + 2}));
    DestroyWindow(window);
}

}  // namespace
}  // namespace qx
