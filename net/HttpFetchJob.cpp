#include "net/HttpFetchJob.h"

#include "net/CopyFileBytes.h"
#include "net/InternetHandle.h"
#include "parse/DecimalText.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qx {
namespace {

constexpr char kAgent[] = "LOVANTE-KOGEI";
// Connect, send and receive time-outs of every fetch.
constexpr DWORD kNetworkTimeoutMs = 5000;
// The most one read takes: a large body takes few calls, a small one a single call.
constexpr DWORD kReadSize = 64 * 1024;
// Never from the cache, keep-alive, no prompts.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI;

enum class FetchKind { Text, File };

// The URL split into fixed buffers; a part that does not fit fails the split.
struct UrlParts {
    char scheme[256] = {};
    char host[256] = {};
    char user[256] = {};
    char password[256] = {};
    char path[1024] = {};
    char extra[1024] = {};
    INTERNET_PORT port = 0;
    INTERNET_SCHEME schemeType = INTERNET_SCHEME_UNKNOWN;
};

bool SplitUrl(const std::string& url, UrlParts& parts) {
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszScheme = parts.scheme;
    components.dwSchemeLength = sizeof parts.scheme;
    components.lpszHostName = parts.host;
    components.dwHostNameLength = sizeof parts.host;
    components.lpszUserName = parts.user;
    components.dwUserNameLength = sizeof parts.user;
    components.lpszPassword = parts.password;
    components.dwPasswordLength = sizeof parts.password;
    components.lpszUrlPath = parts.path;
    components.dwUrlPathLength = sizeof parts.path;
    components.lpszExtraInfo = parts.extra;
    components.dwExtraInfoLength = sizeof parts.extra;
    if (!InternetCrackUrlA(url.c_str(), 0, ICU_ESCAPE, &components)) {
        return false;
    }
    parts.port = components.nPort;
    parts.schemeType = components.nScheme;
    return true;
}

// The path and query exactly as written in the URL, so that escapes reach the
// server unchanged; the split parts only when the URL text cannot be followed.
std::string ObjectName(const std::string& url, const UrlParts& parts) {
    const std::size_t hostAt = url.find(parts.host);
    if (hostAt != std::string::npos) {
        const std::size_t slashAt = url.find('/', hostAt);
        if (slashAt != std::string::npos) {
            return url.substr(slashAt);
        }
    }
    return std::string(parts.path) + parts.extra;
}

const char* NullWhenEmpty(const char* text) {
    return text[0] == '\0' ? nullptr : text;
}

// One fetch on the worker thread. Its destructor is the single clean-up path:
// it closes request, connection and session, each derived handle before its
// parent, and records each close; the members then free the read buffer and
// last the output file.
class FetchRun {
public:
    FetchRun(HttpFetchJob& job, FetchKind kind) : job_(job), kind_(kind) {}
    ~FetchRun();
    FetchRun(const FetchRun&) = delete;
    FetchRun& operator=(const FetchRun&) = delete;

    int Run();

private:
    bool OpenOutput();
    bool SendRequest(const std::string& object);
    bool LeftHttps();
    bool ReadStatus(bool sent, char (&status)[32]);
    bool ReadBody();
    char* ReadTarget(DWORD wanted);
    bool StoreChunk(DWORD length);
    void EndTextAtFirstZero();
    bool HasAnnouncedLength(unsigned long long received);
    void SetTimeouts();
    bool WaitForData(DWORD& available);
    bool ReadInto(char* into, DWORD size, DWORD& length);
    template <typename Call>
    bool BlockingCall(InternetHandle& handle, HttpFetchJob::HandleKind kind, Call call);
    void CloseInternetHandle(InternetHandle& handle, HttpFetchJob::HandleKind kind);
    // The waiting side stopped waiting: nothing more is asked of the network.
    bool Abandoned() const { return job_.givenUp(); }

    HttpFetchJob& job_;
    const FetchKind kind_;
    UrlParts parts_;
    KernelHandle output_;
    // The file fetch's read buffer; the text fetch reads straight into the text.
    std::unique_ptr<char[]> buffer_;
    std::size_t textLength_ = 0;
    InternetHandle session_;
    InternetHandle connection_;
    InternetHandle request_;
};

FetchRun::~FetchRun() {
    CloseInternetHandle(request_, HttpFetchJob::HandleKind::Request);
    CloseInternetHandle(connection_, HttpFetchJob::HandleKind::Connection);
    CloseInternetHandle(session_, HttpFetchJob::HandleKind::Session);
}

// Closed here rather than by the holder, since the record keeps whether the
// platform accepted the close.
void FetchRun::CloseInternetHandle(InternetHandle& handle, HttpFetchJob::HandleKind kind) {
    if (handle) {
        const bool accepted = InternetCloseHandle(handle.release()) != FALSE;
        job_.RecordClose(kind, accepted);
    }
}

int FetchRun::Run() {
    if (job_.url.empty() || !SplitUrl(job_.url, parts_)) {
        return kFetchNotStarted;
    }
    const std::string object = ObjectName(job_.url, parts_);
    if (kind_ == FetchKind::File && !OpenOutput()) {
        return kFetchNotStarted;
    }
    if (kind_ == FetchKind::File) {
        buffer_.reset(new (std::nothrow) char[kReadSize]);
        if (!buffer_) {
            return kFetchNotStarted;
        }
    }
    char status[32] = "";
    const bool sent = ReadStatus(SendRequest(object), status);
    if (kind_ == FetchKind::Text) {
        job_.received.clear();
        job_.replyEmptied = true;
    }
    if (LeftHttps()) {
        return kFetchLeftHttps;
    }
    if (sent && !ReadBody()) {
        job_.received.clear();
        return kFetchBodyBroken;
    }
    if (kind_ == FetchKind::Text) {
        EndTextAtFirstZero();
    }
    return DecimalToInt(status);
}

// Created or emptied, written in binary. Shared for deletion, so that a job
// holding the file for deletion (and the process end) can remove it while
// this worker still writes.
bool FetchRun::OpenOutput() {
    output_.reset(CreateFileA(job_.outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(output_);
}

bool FetchRun::SendRequest(const std::string& object) {
    const bool text = kind_ == FetchKind::Text;
    if (Abandoned()) {
        return false;
    }
    session_.reset(InternetOpenA(text ? kAgent : nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session_) {
        return false;
    }
    connection_.reset(InternetConnectA(session_.get(), parts_.host, parts_.port, NullWhenEmpty(parts_.user),
                                       NullWhenEmpty(parts_.password), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_ || Abandoned()) {
        return false;
    }
    DWORD flags = kRequestFlags;
    if (parts_.schemeType == INTERNET_SCHEME_HTTPS) {
        flags |= INTERNET_FLAG_SECURE;
    }
    request_.reset(HttpOpenRequestA(connection_.get(), "GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request_ || Abandoned()) {
        return false;
    }
    SetTimeouts();
    return BlockingCall(request_, HttpFetchJob::HandleKind::Request,
                        [](HINTERNET request) { return HttpSendRequestA(request, nullptr, 0, nullptr, 0) != FALSE; });
}

// On the request handle, whose calls are the ones that block: Wine passes no
// send or receive time-out down from the session. An option refused leaves
// WinINet's own time-out; the waiting side still gives up at its limit.
void FetchRun::SetTimeouts() {
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD timeout = kNetworkTimeoutMs;
        InternetSetOptionA(request_.get(), option, &timeout, sizeof timeout);
    }
}

// Blocks until some of the body has arrived or it has ended (available 0).
bool FetchRun::WaitForData(DWORD& available) {
    return BlockingCall(request_, HttpFetchJob::HandleKind::Request, [&](HINTERNET request) {
        return InternetQueryDataAvailable(request, &available, 0, 0) != FALSE;
    });
}

bool FetchRun::ReadInto(char* into, DWORD size, DWORD& length) {
    return BlockingCall(request_, HttpFetchJob::HandleKind::Request, [&](HINTERNET request) {
        return InternetReadFile(request, into, size, &length) != FALSE;
    });
}

// One blocking call on handle, published to the waiting side for its length
// so that giving up cancels it by closing the handle. A handle closed so is
// let go of here and never used or closed again.
template <typename Call>
bool FetchRun::BlockingCall(InternetHandle& handle, HttpFetchJob::HandleKind kind, Call call) {
    if (!job_.BeginCall(handle.get(), kind)) {
        return false;
    }
    const bool succeeded = call(handle.get());
    if (!job_.EndCall()) {
        handle.release();
        return false;
    }
    return succeeded;
}

// Whether an https request ended anywhere but on an https address. WinINet
// follows redirects by itself; the address it ended on is the request's URL
// option. An address that cannot be read counts as left.
bool FetchRun::LeftHttps() {
    if (parts_.schemeType != INTERNET_SCHEME_HTTPS || !request_ || Abandoned()) {
        return false;
    }
    DWORD length = 0;
    InternetQueryOptionA(request_.get(), INTERNET_OPTION_URL, nullptr, &length);
    std::string finalUrl(length + 1, '\0');
    if (length == 0 || !InternetQueryOptionA(request_.get(), INTERNET_OPTION_URL, finalUrl.data(), &length)) {
        return true;
    }
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    return !InternetCrackUrlA(finalUrl.c_str(), 0, 0, &components) || components.nScheme != INTERNET_SCHEME_HTTPS;
}

// Only a status of exactly "200" lets the body be read.
bool FetchRun::ReadStatus(bool sent, char (&status)[32]) {
    if (!request_ || Abandoned()) {
        return false;
    }
    DWORD length = sizeof status;
    if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE, status, &length, nullptr)) {
        status[0] = '\0';
        return sent;
    }
    status[std::min<DWORD>(length, sizeof status - 1)] = '\0';
    return sent && std::strcmp(status, "200") == 0;
}

// False when the body broke off: a failed read (time-out, reset), a failed
// write, or fewer bytes than the server announced.
bool FetchRun::ReadBody() {
    unsigned long long received = 0;
    for (;;) {
        // A read asks for no more than has arrived: a larger one would block
        // until it is filled, however slowly the rest comes.
        DWORD available = 0;
        if (!WaitForData(available)) {
            return false;
        }
        const DWORD wanted = available == 0 ? kReadSize : std::min(available, kReadSize);
        DWORD length = 0;
        if (!ReadInto(ReadTarget(wanted), wanted, length)) {
            return false;
        }
        ++job_.reads;
        if (length == 0) {
            return HasAnnouncedLength(received);
        }
        received += length;
        if (!StoreChunk(length)) {
            return false;
        }
    }
}

// The text grows by one read's room at its end (the string's capacity grows
// geometrically, so the text is not copied on every read); a file is read
// through the buffer.
char* FetchRun::ReadTarget(DWORD wanted) {
    if (kind_ == FetchKind::File) {
        return buffer_.get();
    }
    job_.received.resize(textLength_ + wanted);
    return &job_.received[textLength_];
}

// The text keeps exactly the bytes read; a file takes every byte.
bool FetchRun::StoreChunk(DWORD length) {
    if (kind_ == FetchKind::Text) {
        textLength_ += length;
        job_.received.resize(textLength_);
        return true;
    }
    DWORD written = 0;
    return WriteFile(output_.get(), buffer_.get(), length, &written, nullptr) && written == length;
}

// The reply is zero-terminated text: it ends at the body's first zero byte,
// wherever the network happened to split the body into reads.
void FetchRun::EndTextAtFirstZero() {
    const std::size_t zero = job_.received.find('\0');
    if (zero != std::string::npos) {
        job_.received.resize(zero);
    }
    job_.received.shrink_to_fit();
}

bool FetchRun::HasAnnouncedLength(unsigned long long received) {
    DWORD announced = 0;
    DWORD size = sizeof announced;
    if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &size, nullptr)) {
        return true;  // no length announced: the end of the connection ends the body
    }
    return received == announced;
}

// Holds the worker's reference to the job, let go after the end is signalled.
DWORD RunWorker(void* parameter, FetchKind kind) {
    const HttpFetchJobPtr job(static_cast<HttpFetchJob*>(parameter));
    int result = kFetchNotStarted;
    {
        FetchRun run(*job, kind);
        result = run.Run();
    }
    if (job->workerEnded) {
        SetEvent(job->workerEnded.get());
    }
    return static_cast<DWORD>(result);
}

// Dispatches every pending message of this thread. A quit message is kept
// back for the caller's own loop, which would otherwise never see it.
void DispatchPending(bool& quitSeen, WPARAM& quitCode) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen = true;
            quitCode = message.wParam;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// True when the worker ended within the limit; false when the wait gave up.
bool PumpUntilEnded(const HttpFetchJob& job, HANDLE thread, DWORD timeLimitMs) {
    const DWORD start = GetTickCount();
    bool quitSeen = false;
    WPARAM quitCode = 0;
    bool ended = false;
    for (;;) {
        if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        DispatchPending(quitSeen, quitCode);
        const DWORD elapsed = GetTickCount() - start;
        if (job.stopWaiting || elapsed > timeLimitMs) {
            break;
        }
        // Sleeps until the worker ends, a message arrives or the limit passes.
        MsgWaitForMultipleObjects(1, &thread, FALSE, timeLimitMs - elapsed + 1, QS_ALLINPUT);
    }
    if (quitSeen) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    return ended;
}

}  // namespace

void HttpFetchJobRelease::operator()(HttpFetchJob* job) const {
    job->Release();
}

HttpFetchJobPtr HttpFetchJob::Create(std::string_view url, std::string* reply, std::string_view outputPath,
                                     bool removeOutputAtEnd) {
    return HttpFetchJobPtr(new HttpFetchJob(url, reply, outputPath, removeOutputAtEnd));
}

HttpFetchJob::HttpFetchJob(std::string_view urlText, std::string* replyText, std::string_view outputFile,
                           bool removeOutputAtEnd)
    : url(urlText),
      outputPath(outputFile),
      reply(replyText),
      workerEnded(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (removeOutputAtEnd && !outputPath.empty()) {
        outputHold_.reset(CreateFileA(outputPath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    }
}

void HttpFetchJob::AddReference() {
    references_.fetch_add(1, std::memory_order_relaxed);
}

void HttpFetchJob::Release() {
    if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete this;
    }
}

bool HttpFetchJob::BeginCall(HINTERNET handle, HandleKind kind) {
    const std::lock_guard<std::mutex> hold(handOver_);
    if (givenUp_) {
        return false;
    }
    callHandle_ = handle;
    callKind_ = kind;
    callHandleClosed_ = false;
    return true;
}

bool HttpFetchJob::EndCall() {
    const std::lock_guard<std::mutex> hold(handOver_);
    callHandle_ = nullptr;
    return !callHandleClosed_;
}

bool HttpFetchJob::givenUp() const {
    const std::lock_guard<std::mutex> hold(handOver_);
    return givenUp_;
}

// Closing under the lock: the worker cannot withdraw the handle, let alone
// close it, while it is being closed here.
void HttpFetchJob::GiveUp() {
    const std::lock_guard<std::mutex> hold(handOver_);
    givenUp_ = true;
    if (callHandle_ && !callHandleClosed_) {
        handleCloses.push_back({callKind_, InternetCloseHandle(callHandle_) != FALSE});
        callHandleClosed_ = true;
    }
}

void HttpFetchJob::RecordClose(HandleKind kind, bool accepted) {
    const std::lock_guard<std::mutex> hold(handOver_);
    handleCloses.push_back({kind, accepted});
}

bool HttpFetchJob::CopyOutputTo(const char* path) const {
    if (!outputHold_ || SetFilePointer(outputHold_.get(), 0, nullptr, FILE_BEGIN) != 0) {
        return false;
    }
    // Shared for reading: a reader of the picture file elsewhere must not cost the picture.
    const KernelHandle copy(
        CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return copy && CopyFileBytes(outputHold_.get(), copy.get());
}

DWORD WINAPI FetchTextWorker(void* job) {
    return RunWorker(job, FetchKind::Text);
}

DWORD WINAPI FetchFileWorker(void* job) {
    return RunWorker(job, FetchKind::File);
}

int WaitForFetch(HttpFetchJob& job, LPTHREAD_START_ROUTINE worker, DWORD timeLimitMs) {
    if (job.started_) {
        return kFetchNotStarted;
    }
    job.started_ = true;
    job.AddReference();  // the worker's, released when it ends
    const KernelHandle thread(CreateThread(nullptr, 0, worker, &job, 0, nullptr));
    if (!thread) {
        job.Release();
        return kFetchNotStarted;
    }
    int result = kFetchGivenUp;
    if (PumpUntilEnded(job, thread.get(), timeLimitMs)) {
        DWORD exitCode = 0;
        GetExitCodeThread(thread.get(), &exitCode);
        result = static_cast<int>(exitCode);
        if (job.reply && job.replyEmptied) {
            *job.reply = std::move(job.received);
        }
    } else {
        job.GiveUp();
    }
    return result;
}

}  // namespace qx
