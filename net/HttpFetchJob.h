// One HTTP GET on a worker thread, while the user-interface thread keeps
// dispatching window messages and gives up after a time limit.
//
// The job is shared by the waiting side and the worker and freed by whichever
// lets go last: a worker blocked in the network can outlive the wait (where
// closing its handle does not cancel the call, as under Wine, until its
// five-second network time-out runs out). Everything
// the worker writes lives in the job itself; the caller's reply text is
// written only by WaitForFetch, on the caller's thread, after the worker ended.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ScopedHandles.h"

namespace qx {

// Result codes besides the HTTP status. 200 is the only success.
inline constexpr int kFetchOk = 200;
// No request was made: empty or unsplittable URL, no buffer, no output file.
inline constexpr int kFetchNotStarted = -1;
// The body broke off before its end (a failed read, or fewer bytes than the
// announced length): nothing of it is handed on.
inline constexpr int kFetchBodyBroken = -2;
// The status could not be read (no session, connection or request, server
// unreachable, a certificate the platform refused, or the waiting side gave up
// before the status came).
inline constexpr int kFetchNoStatus = 0;
// An https request was redirected to a plain http address: nothing of the
// answer is taken.
inline constexpr int kFetchLeftHttps = -3;
// The wait ended before the worker did (time limit, or stopWaiting): the
// thread's still-active exit code.
inline constexpr int kFetchGivenUp = 259;

class HttpFetchJob;

struct HttpFetchJobRelease {
    void operator()(HttpFetchJob* job) const;
};

// The waiting side's hold on a job.
using HttpFetchJobPtr = std::unique_ptr<HttpFetchJob, HttpFetchJobRelease>;

class HttpFetchJob {
public:
    // A prepared job: url and outputPath are copied, since the worker may
    // outlive the caller's texts; reply (may be null) is the caller's text that
    // receives the body. With removeOutputAtEnd the output file is held open
    // for deletion from the start: it goes when the job is freed or when the
    // process ends, whichever comes first, so a file fetch whose result nobody
    // takes leaves nothing, even when the program ends while a worker stuck in
    // the network still holds the job. Its body is then had through CopyOutputTo.
    static HttpFetchJobPtr Create(std::string_view url, std::string* reply,
                                  std::string_view outputPath = {}, bool removeOutputAtEnd = false);

    HttpFetchJob(const HttpFetchJob&) = delete;
    HttpFetchJob& operator=(const HttpFetchJob&) = delete;

    const std::string url;
    const std::string outputPath;
    std::string* const reply;

    // The hand-over of the internet handles between worker and waiting side.
    // The worker publishes, under one lock, the handle of each blocking call
    // before the call (BeginCall) and withdraws it after (EndCall). To give
    // up, the waiting side takes the lock, marks the job given up and closes
    // the published handle, if any: the documented way to cancel the call in
    // progress. The worker makes no call once the job is given up, and lets
    // go of a handle closed during its call without using or closing it
    // again. So no handle is used after its close, and the waiting side only
    // ever closes a handle the worker still holds open, never a value the
    // platform may since have handed to another fetch.
    enum class HandleKind { Request, Connection, Session };

    // Worker: false once given up, and then no call may be made.
    bool BeginCall(HINTERNET handle, HandleKind kind);
    // Worker: false when the waiting side closed the handle during the call.
    bool EndCall();
    bool givenUp() const;
    // Waiting side: no call is made from now on; the one in progress is cancelled.
    void GiveUp();
    // Either side: adds a close to handleCloses.
    void RecordClose(HandleKind kind, bool accepted);

    // The closes of the fetch's internet handles, in the order made, each with
    // whether the platform accepted it; read once the worker has ended.
    struct HandleClose {
        HandleKind kind;
        bool accepted;
    };
    std::vector<HandleClose> handleCloses;

    // The body as the worker received it, and whether the worker got as far
    // as emptying the reply. Read by the waiting side only after the worker ended.
    std::string received;
    bool replyEmptied = false;
    // How many reads of the body the worker made; read after the worker ended.
    std::size_t reads = 0;

    // Set by the owner on the user-interface thread (for example when its
    // window closes): the wait stops at its next poll as at the time limit.
    bool stopWaiting = false;

    // Signalled when the worker has ended; an owner may wait on it after a
    // time-out to know that the worker is gone.
    const KernelHandle workerEnded;

    void AddReference();
    void Release();

    // Whether the output file is held for deletion (removeOutputAtEnd and the
    // open succeeded). Without the hold nothing removes the file for the caller.
    bool holdsOutput() const { return static_cast<bool>(outputHold_); }

    // Writes the output file's bytes to path (created or replaced). For the
    // waiting side, after the worker ended, of a job made with removeOutputAtEnd.
    // False when any read or write failed; path is then left empty.
    bool CopyOutputTo(const char* path) const;

private:
    HttpFetchJob(std::string_view urlText, std::string* replyText, std::string_view outputFile,
                 bool removeOutputAtEnd);
    ~HttpFetchJob() = default;

    // The output file opened for deletion on close, or nothing.
    KernelHandle outputHold_;
    bool started_ = false;
    std::atomic<int> references_{1};

    mutable std::mutex handOver_;
    HINTERNET callHandle_ = nullptr;
    HandleKind callKind_ = HandleKind::Request;
    bool callHandleClosed_ = false;
    bool givenUp_ = false;

    friend int WaitForFetch(HttpFetchJob& job, LPTHREAD_START_ROUTINE worker, DWORD timeLimitMs);
};

// Thread entries: the body as text (up to its first zero byte) into the job,
// or every byte into the job's output file. Each returns the result
// code as the thread's exit code.
DWORD WINAPI FetchTextWorker(void* job);
DWORD WINAPI FetchFileWorker(void* job);

// Starts worker on job and dispatches this thread's messages until the worker
// ends or timeLimitMs has passed. Returns the result code; at the time limit
// (or when stopWaiting was set) the job is marked given up and the result is
// not 200. When the worker ended after emptying the reply, the caller's reply
// receives the body (empty unless the result is 200); otherwise it is left as it was.
// A job serves one fetch: a second call returns kFetchNotStarted.
int WaitForFetch(HttpFetchJob& job, LPTHREAD_START_ROUTINE worker, DWORD timeLimitMs);

}  // namespace qx
