// Fetches over TLS against the local web service's TLS listener, whose
// certificates the test command made and whose authority the test prefix
// trusts: good and bad certificates, and redirects that leave https.
#include "net/HttpFetchJob.h"

#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using qx::test::LoggedRequests;
using qx::test::PatternBytes;
using qx::test::PercentEncodeAll;
using qx::test::ServiceUrl;
using qx::test::TlsState;
using qx::test::UniqueMarker;

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

TEST_F(HttpsFetch, BothFetchesTakeTheWholeBodyOverTls) {
    for (const auto& f : kFetches) {
        const std::string marker = UniqueMarker();
        const Fetched fetched = f.fetch(SecureUrl("/_fault/large?bytes=5000&m=" + marker));
        EXPECT_EQ(fetched.result, 200) << f.kind;
        EXPECT_EQ(fetched.body, PatternBytes(5000)) << f.kind;
        EXPECT_EQ(LoggedRequests(marker).size(), 1u) << f.kind;
    }
}

// Each bad certificate ends the fetch before any request: the service saw
// the connection but no request came past the handshake.
TEST_F(HttpsFetch, ACertificateThePlatformRefusesFailsTheFetch) {
    for (const char* certificate : {"wrong-name", "expired", "untrusted"}) {
        ASSERT_TRUE(qx::test::PresentCertificate(certificate));
        for (const auto& f : kFetches) {
            const std::string marker = UniqueMarker();
            const int connections = TlsState().connections;
            const Fetched fetched = f.fetch(SecureUrl("/_fault/large?bytes=100&m=" + marker));
            EXPECT_EQ(fetched.result, qx::kFetchNoStatus) << certificate << ' ' << f.kind;
            EXPECT_NE(fetched.body, PatternBytes(100)) << certificate << ' ' << f.kind;
            EXPECT_GT(TlsState().connections, connections) << certificate << ' ' << f.kind;
            EXPECT_TRUE(LoggedRequests(marker).empty()) << certificate << ' ' << f.kind;
        }
    }
}

TEST_F(HttpsFetch, ARedirectMayStayOnHttpsButNeverLeaveIt) {
    const std::string marker = UniqueMarker();
    const std::string onward = "/_fault/large?bytes=100&m=" + marker;
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
            EXPECT_EQ(fetched.body == PatternBytes(100), c.taken) << c.target << ' ' << f.kind;
            std::printf("redirect to %s, %s fetch: result %d\n", c.target.c_str(), f.kind, fetched.result);
        }
    }
    std::printf("the plain http address was asked %d times\n",
                static_cast<int>(LoggedRequests(marker).size()) - 2);
}

}  // namespace
