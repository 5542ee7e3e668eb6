// Redirects of fetches over TLS, against the local web service's TLS
// listener, whose certificate the test command made and whose authority the
// test prefix trusts. (The program's walk over TLS fetches text and a
// picture and meets the bad certificates.)
#include "net/HttpFetchJob.h"

#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using qx::test::PatternBytes;
using qx::test::PercentEncodeAll;
using qx::test::ServiceUrl;
using qx::test::TlsState;

const std::string kUntouched = "left as it was";
const std::string kRedirect = "/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=";

struct Fetched {
    int result;
    std::string body;
};

Fetched FetchText(const std::string& url) {
    Fetched fetched{0, kUntouched};
    auto job = qx::HttpFetchJob::Create(url, &fetched.body);
    fetched.result = qx::WaitForFetch(*job, qx::FetchTextWorker, 15000);
    return fetched;
}

Fetched FetchFile(const std::string& url) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    const std::string path = std::string(directory) + "qx-https-test.bin";
    auto job = qx::HttpFetchJob::Create(url, nullptr, path);
    Fetched fetched{qx::WaitForFetch(*job, qx::FetchFileWorker, 15000), std::string()};
    fetched.body = qx::test::ReadWholeFile(path);
    DeleteFileA(path.c_str());
    return fetched;
}

using Fetch = Fetched (*)(const std::string&);
const struct {
    const char* kind;
    Fetch fetch;
} kFetches[] = {{"text", FetchText}, {"file", FetchFile}};

class HttpsFetch : public ::testing::Test {
protected:
    void SetUp() override {
        tlsPort_ = TlsState().port;
        if (tlsPort_ == 0) {
            GTEST_SKIP() << "the local web service has no TLS listener (run through CTest)";
        }
    }

    // An address on the TLS listener; certificates name the host localhost.
    std::string SecureUrl(const std::string& pathAndQuery) const {
        return "https://localhost:" + std::to_string(tlsPort_) + pathAndQuery;
    }

    int tlsPort_ = 0;
};

// WinINet follows a redirect by itself; one that leaves https fails the fetch
// and nothing of the answer is taken, wherever the redirect led.
TEST_F(HttpsFetch, ARedirectMayStayOnHttpsButNeverLeaveIt) {
    const std::string onward = "/_fault/large?bytes=100";
    const struct {
        std::string target;
        bool taken;
    } cases[] = {
        {SecureUrl(onward), true},
        {ServiceUrl(onward), false},
    };
    for (const auto& c : cases) {
        for (const auto& f : kFetches) {
            const Fetched fetched = f.fetch(SecureUrl(kRedirect + PercentEncodeAll(c.target)));
            EXPECT_EQ(fetched.result == 200, c.taken) << c.target << ' ' << f.kind << ' ' << fetched.result;
            EXPECT_EQ(fetched.body, c.taken ? PatternBytes(100) : "") << c.target << ' ' << f.kind;
        }
    }
}

}  // namespace
