#include "net/HttpFetchJob.h"

#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using qx::test::ServiceUrl;
using qx::test::LoggedRequests;
using qx::test::PatternBytes;
using qx::test::UniqueMarker;

const std::string kUntouched = "left as it was";

struct TextFetch {
    int result;
    std::string reply;
    DWORD elapsedMs;
};

TextFetch FetchText(const std::string& url, DWORD limitMs = 10000) {
    TextFetch fetch{0, kUntouched, 0};
    auto job = qx::HttpFetchJob::Create(url, &fetch.reply);
    const DWORD start = GetTickCount();
    fetch.result = qx::WaitForFetch(*job, qx::FetchTextWorker, limitMs);
    fetch.elapsedMs = GetTickCount() - start;
    return fetch;
}

std::string TempPath(const char* name) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    return std::string(directory) + name;
}

int FetchFile(const std::string& url, const std::string& path) {
    auto job = qx::HttpFetchJob::Create(url, nullptr, path);
    return qx::WaitForFetch(*job, qx::FetchFileWorker, 10000);
}

using Kind = qx::HttpFetchJob::HandleKind;

// True when the worker closed request, connection and session, in that order,
// each once and each accepted (a handle closed after its parent is refused).
bool ClosedChildFirst(const qx::HttpFetchJob& job) {
    const Kind order[] = {Kind::Request, Kind::Connection, Kind::Session};
    if (job.handleCloses.size() != 3) {
        return false;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (job.handleCloses[i].kind != order[i] || !job.handleCloses[i].accepted) {
            return false;
        }
    }
    return true;
}

class HttpFetch : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qx::test::ServiceStartedAroundTest()) {
            GTEST_SKIP() << "the local web service is not running (run through CTest)";
        }
    }
};

TEST_F(HttpFetch, TextOf200IsTheWholeBody) {
    // Several reads of 1024 bytes and a short last one.
    const TextFetch fetch = FetchText(ServiceUrl("/_fault/large?bytes=5000"));
    EXPECT_EQ(fetch.result, 200);
    EXPECT_EQ(fetch.reply, PatternBytes(5000));
}

TEST_F(HttpFetch, StatusOtherThan200GivesThatStatusAndAnEmptyReply) {
    const struct {
        const char* path;
        int status;
    } cases[] = {{"/_fault/status404", 404}, {"/_fault/status500", 500}, {"/no/such/page", 404}};
    for (const auto& c : cases) {
        const TextFetch fetch = FetchText(ServiceUrl(c.path));
        EXPECT_EQ(fetch.result, c.status) << c.path;
        EXPECT_EQ(fetch.reply, "") << c.path;
    }
}

TEST_F(HttpFetch, UrlThatCannotBeUsedEndsAtOnceWithoutARequest) {
    const std::string marker = UniqueMarker();
    const std::string cases[] = {
        "",
        "not a url " + marker,
        // A query of 1024 characters does not fit the 1024-byte buffer.
        ServiceUrl("/?" + marker + std::string(1024 - marker.size(), 'q')),
    };
    for (const std::string& url : cases) {
        const TextFetch fetch = FetchText(url);
        EXPECT_EQ(fetch.result, qx::kFetchNotStarted) << url.size();
        EXPECT_EQ(fetch.reply, kUntouched) << url.size();
        EXPECT_LT(fetch.elapsedMs, 1000u) << url.size();
    }
    EXPECT_TRUE(LoggedRequests(marker).empty());

    // One character less fits: with its question mark and zero it fills the buffer.
    const std::string fits = UniqueMarker();
    EXPECT_EQ(FetchText(ServiceUrl("/?" + fits + std::string(1022 - fits.size(), 'q'))).result, 200);
    EXPECT_EQ(LoggedRequests(fits).size(), 1u);
}

TEST_F(HttpFetch, PathAndQueryArriveExactlyAsWritten) {
    const std::string marker = UniqueMarker();
    const std::string target = "/?t=" + marker + "&q=%41%2f%E6%9D%B1+%20&r=%25%3D";
    const TextFetch fetch = FetchText(ServiceUrl(target));
    EXPECT_EQ(fetch.result, 200);
    const auto logged = LoggedRequests(marker);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].target, target);
}

TEST_F(HttpFetch, UrlWithNothingAfterTheHostAsksForTheRoot) {
    const TextFetch fetch = FetchText("http://" + qx::test::ServiceHost());
    EXPECT_EQ(fetch.result, 200);
    EXPECT_NE(fetch.reply.find("localweb"), std::string::npos);
}

TEST_F(HttpFetch, AgentIsSentForTextOnly) {
    const std::string textMarker = UniqueMarker();
    const std::string fileMarker = UniqueMarker();
    FetchText(ServiceUrl("/?" + textMarker));
    const std::string path = TempPath("qx-agent-test.bin");
    EXPECT_EQ(FetchFile(ServiceUrl("/?" + fileMarker), path), 200);
    DeleteFileA(path.c_str());

    const auto text = LoggedRequests(textMarker);
    const auto file = LoggedRequests(fileMarker);
    ASSERT_EQ(text.size(), 1u);
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(text[0].userAgent, "LOVANTE-KOGEI");
    EXPECT_EQ(file[0].userAgent, "null");
}

TEST_F(HttpFetch, UnreachableServerIsNot200) {
    // Port 9 on the loopback: nothing listens there, the connection is refused.
    const TextFetch fetch = FetchText("http://127.0.0.1:9/x");
    EXPECT_NE(fetch.result, 200);
    EXPECT_NE(fetch.result, qx::kFetchNotStarted);
    EXPECT_EQ(fetch.reply, "");
}

// A reset in the middle of the body fails a read; an orderly close after half
// the announced length fails none, and only the count of bytes shows it.
TEST_F(HttpFetch, BodyThatBreaksOffIsNotASuccess) {
    for (const char* fault : {"/_fault/reset", "/_fault/short"}) {
        const TextFetch fetch = FetchText(ServiceUrl(fault));
        EXPECT_EQ(fetch.result, qx::kFetchBodyBroken) << fault;
        EXPECT_EQ(fetch.reply, "") << fault;

        const std::string path = TempPath("qx-broken-test.bin");
        EXPECT_EQ(FetchFile(ServiceUrl(fault), path), qx::kFetchBodyBroken) << fault;
        DeleteFileA(path.c_str());
    }
}

TEST_F(HttpFetch, LargeBodyComesWholeInFewReads) {
    // 4 MB would take 4096 reads of 1 KB.
    constexpr std::size_t kSize = 4 * 1024 * 1024;
    std::string reply;
    auto job = qx::HttpFetchJob::Create(ServiceUrl("/_fault/large?bytes=" + std::to_string(kSize)), &reply);
    EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 10000), 200);
    EXPECT_TRUE(reply == PatternBytes(kSize)) << reply.size();
    EXPECT_GT(job->reads, 1u);
    EXPECT_LT(job->reads, kSize / 1024 / 4) << "reads of the body";
}

TEST_F(HttpFetch, TextEndsAtTheBodysFirstZeroByteWhereverItStands) {
    // Before, inside and after the first read of a large body, and at its ends.
    const struct {
        std::size_t at;
        std::size_t bytes;
    } cases[] = {{0, 4096}, {100, 4096}, {4096, 4096}, {70000, 300000}, {299999, 300000}};
    for (const auto& c : cases) {
        const TextFetch fetch = FetchText(ServiceUrl("/_fault/zerobyte?at=" + std::to_string(c.at) +
                                                     "&bytes=" + std::to_string(c.bytes)));
        EXPECT_EQ(fetch.result, 200) << c.at;
        EXPECT_TRUE(fetch.reply == PatternBytes(c.at)) << c.at << ": " << fetch.reply.size() << " bytes";
    }
}

TEST_F(HttpFetch, FileGetsEveryByteZeroBytesIncluded) {
    const std::string path = TempPath("qx-zero-test.bin");
    EXPECT_EQ(FetchFile(ServiceUrl("/_fault/zerobyte?at=100"), path), 200);
    const std::string expected = PatternBytes(100) + std::string(1, '\0') + PatternBytes(4096).substr(100);
    EXPECT_EQ(qx::test::ReadWholeFile(path), expected);

    EXPECT_EQ(FetchFile(ServiceUrl("/_fault/large?bytes=300001"), path), 200);
    EXPECT_EQ(qx::test::ReadWholeFile(path), PatternBytes(300001));
    DeleteFileA(path.c_str());
}

TEST_F(HttpFetch, FileOfAFailedStatusIsLeftEmpty) {
    const std::string path = TempPath("qx-404-test.bin");
    EXPECT_EQ(FetchFile(ServiceUrl("/_fault/large?bytes=100"), path), 200);
    EXPECT_EQ(FetchFile(ServiceUrl("/_fault/status404"), path), 404);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(qx::test::ReadWholeFile(path), "");
    DeleteFileA(path.c_str());
}

TEST_F(HttpFetch, FileThatCannotBeOpenedEndsWithoutARequest) {
    const std::string marker = UniqueMarker();
    EXPECT_EQ(FetchFile(ServiceUrl("/?" + marker), TempPath("no-such-directory\\x.bin")), qx::kFetchNotStarted);
    EXPECT_TRUE(LoggedRequests(marker).empty());
}

TEST_F(HttpFetch, EveryEndedFetchClosesItsHandlesChildFirst) {
    const struct {
        std::string url;
        int result;
    } cases[] = {
        {ServiceUrl("/"), 200},
        {ServiceUrl("/_fault/status404"), 404},
        {ServiceUrl("/_fault/reset"), qx::kFetchBodyBroken},
        // Refused connection: the request exists but is never sent.
        {"http://127.0.0.1:9/x", qx::kFetchNoStatus},
    };
    for (const auto& c : cases) {
        std::string reply;
        auto job = qx::HttpFetchJob::Create(c.url, &reply);
        EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 10000), c.result) << c.url;
        EXPECT_TRUE(ClosedChildFirst(*job)) << c.url;
    }
    auto unsplittable = qx::HttpFetchJob::Create("not a url", nullptr);
    EXPECT_EQ(qx::WaitForFetch(*unsplittable, qx::FetchTextWorker, 10000), qx::kFetchNotStarted);
    EXPECT_TRUE(unsplittable->handleCloses.empty());
}

TEST_F(HttpFetch, JobServesOneFetchOnly) {
    std::string reply;
    auto job = qx::HttpFetchJob::Create(ServiceUrl("/"), &reply);
    EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 10000), 200);
    reply = kUntouched;
    EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 10000), qx::kFetchNotStarted);
    EXPECT_EQ(reply, kUntouched);
}

// Counts the timer messages dispatched while a fetch is awaited.
int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_ticks;
}

TEST_F(HttpFetch, NeverAnsweringServerIsGivenUpAtTheLimitAndTheWorkerEndsSoonWritingNothing) {
    std::string reply = kUntouched;
    auto job = qx::HttpFetchJob::Create(ServiceUrl("/_fault/hang?seconds=20"), &reply);
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
    const DWORD start = GetTickCount();
    const int result = qx::WaitForFetch(*job, qx::FetchTextWorker, 300);
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(nullptr, timer);

    EXPECT_EQ(result, qx::kFetchGivenUp);
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 1500u);
    EXPECT_GE(g_ticks, 3) << "messages were not dispatched during the wait";
    EXPECT_EQ(reply, kUntouched);

    // The service holds the connection for twenty seconds; the worker ends
    // long before, when the give-up cancels its call or its receive time-out
    // of five seconds runs out.
    ASSERT_EQ(WaitForSingleObject(job->workerEnded.get(), 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(GetTickCount() - start, 7000u) << "the given-up worker waited for the server";
    EXPECT_EQ(reply, kUntouched);
    // The request handle closed by the waiting side, the others by the worker, each once.
    EXPECT_TRUE(ClosedChildFirst(*job));
}

TEST_F(HttpFetch, GivingUpDuringTheBodyStopsTheReadsAndClosesChildFirst) {
    // The body arrives in 4096 pieces over three seconds.
    std::string reply = kUntouched;
    auto job = qx::HttpFetchJob::Create(ServiceUrl("/_fault/drip?seconds=3&interval=0.01"), &reply);
    const DWORD start = GetTickCount();
    EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 300), qx::kFetchGivenUp);
    ASSERT_EQ(WaitForSingleObject(job->workerEnded.get(), 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(GetTickCount() - start, 2000u) << "the worker kept reading after the wait gave up";
    EXPECT_EQ(reply, kUntouched);
    EXPECT_TRUE(ClosedChildFirst(*job));
}

TEST_F(HttpFetch, LateWorkerOutlivesItsWaitingSide) {
    // The waiting side lets go first; the worker frees the job when it ends.
    HANDLE ended = nullptr;
    {
        auto job = qx::HttpFetchJob::Create(ServiceUrl("/_fault/delay?seconds=1"), nullptr);
        DuplicateHandle(GetCurrentProcess(), job->workerEnded.get(), GetCurrentProcess(), &ended, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 100), qx::kFetchGivenUp);
    }
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ(WaitForSingleObject(ended, 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(ended);
}

void CALLBACK PostQuit(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(7);
}

TEST_F(HttpFetch, QuitMessageDuringTheWaitIsKeptForTheCallersLoop) {
    SetTimer(nullptr, 0, 20, PostQuit);
    auto job = qx::HttpFetchJob::Create(ServiceUrl("/_fault/delay?seconds=0.3"), nullptr);
    EXPECT_EQ(qx::WaitForFetch(*job, qx::FetchTextWorker, 10000), 200);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
