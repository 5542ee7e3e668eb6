// Fetches over TLS against the local web service's TLS listener, whose
// certificates the test command made and whose authority the test prefix
// trusts: good and bad certificates, and redirects that leave https.
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
        ASSERT_TRUE(qx::test::PresentCertificate("localhost"));
    }
    void TearDown() override { qx::test::PresentCertificate("localhost"); }

    // An address on the TLS listener; certificates name the host localhost.
    std::string SecureUrl(const std::string& pathAndQuery) const {
        return "https://localhost:" + std::to_string(tlsPort_) + pathAndQuery;
    }

    int tlsPort_ = 0;
};

// The requests logged after the first `skip` lines, over each scheme.
struct Arrived {
    int http = 0;
    int https = 0;
};
Arrived ArrivedSince(std::size_t skip) {
    Arrived arrived;
    for (const qx::test::LoggedRequest& request : qx::test::RequestsSince(skip)) {
        ++(request.scheme == "https" ? arrived.https : arrived.http);
    }
    return arrived;
}

TEST_F(HttpsFetch, BothFetchesTakeTheWholeBodyOverTls) {
    for (const auto& f : kFetches) {
        const std::size_t logStart = qx::test::RequestLog().size();
        const Fetched fetched = f.fetch(SecureUrl("/_fault/large?bytes=5000"));
        EXPECT_EQ(fetched.result, 200) << f.kind;
        EXPECT_EQ(fetched.body, PatternBytes(5000)) << f.kind;
        EXPECT_EQ(ArrivedSince(logStart).https, 1) << f.kind;
    }
}

// Each bad certificate ends the fetch before any request: the service saw
// the connection but no request came past the handshake.
TEST_F(HttpsFetch, ACertificateThePlatformRefusesFailsTheFetch) {
    for (const char* certificate : {"wrong-name", "expired", "untrusted"}) {
        ASSERT_TRUE(qx::test::PresentCertificate(certificate));
        for (const auto& f : kFetches) {
            const std::size_t logStart = qx::test::RequestLog().size();
            const int connections = TlsState().connections;
            const Fetched fetched = f.fetch(SecureUrl("/_fault/large?bytes=100"));
            EXPECT_EQ(fetched.result, qx::kFetchNoStatus) << certificate << ' ' << f.kind;
            EXPECT_EQ(fetched.body, "") << certificate << ' ' << f.kind;
            EXPECT_GT(TlsState().connections, connections) << certificate << ' ' << f.kind;
            EXPECT_EQ(ArrivedSince(logStart).https, 0) << certificate << ' ' << f.kind;
        }
    }
}

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
