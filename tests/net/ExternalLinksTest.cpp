#include "net/ExternalLinks.h"

#include "tests/support/BrowserLog.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using qx::test::BrowserLog;
using qx::test::BrowserLogPath;
using qx::test::WithoutUnreservedEscapes;

const qx::ServiceHost kMapHost{qx::UrlScheme::Http, "maps.test:8080"};
// Links through the redirect are long enough to take the http program's way
// under Wine; an https one must get there whole.
const qx::ServiceHost kAffiliateHost{qx::UrlScheme::Https, "aff.test"};
const std::string kExpectedMap = "http://maps.test:8080/maps?spn=0.01,0.01&z=18&ll=35.703225,139.796787";

std::vector<qx::HotelRecord> Hotels() {
    qx::HotelRecord hotel;
    hotel.hotelNo = 4711;
    hotel.latitude = 128520;
    hotel.longitude = 503280;
    std::snprintf(hotel.hotelInformationUrl, sizeof hotel.hotelInformationUrl, "%s",
                  "http://h.test/info?no=4711&lang=ja");
    return {hotel};
}

std::string ExecutableDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string executable(path, length);
    return executable.substr(0, executable.find_last_of('\\') + 1);
}

// Waits until the browser stand-in has logged url after the first `already` lines.
bool BrowserOpened(const std::string& url, std::size_t already) {
    for (int i = 0; i < 400; ++i) {
        const std::vector<std::string> lines = BrowserLog();
        for (std::size_t n = already; n < lines.size(); ++n) {
            if (WithoutUnreservedEscapes(lines[n]) == WithoutUnreservedEscapes(url)) {
                return true;
            }
        }
        Sleep(25);
    }
    return false;
}

class BrowserLinks : public ::testing::Test {
protected:
    void SetUp() override {
        if (BrowserLogPath().empty()) {
            GTEST_SKIP() << "not under Wine: the browser cannot be captured";
        }
        DeleteFileA((ExecutableDirectory() + "diviravo.exe").c_str());
        before_ = BrowserLog().size();
    }
    std::size_t before_ = 0;
};

TEST_F(BrowserLinks, MapGoesToTheShellWithoutTheBrowserProgram) {
    EXPECT_TRUE(qx::OpenHotelMap(Hotels(), 4711, kMapHost));
    EXPECT_TRUE(BrowserOpened(kExpectedMap, before_));
}

TEST_F(BrowserLinks, MapGoesToTheBrowserProgramBesideTheExecutable) {
    const std::string directory = ExecutableDirectory();
    const std::string program = directory + "diviravo.exe";
    const std::string record = directory + "diviravo-args.txt";
    ASSERT_TRUE(CopyFileA((directory + "diviravo_stub.exe").c_str(), program.c_str(), FALSE));
    DeleteFileA(record.c_str());
    HANDLE ran = CreateEventA(nullptr, TRUE, FALSE, "QxBrowserStubRan");

    EXPECT_TRUE(qx::OpenHotelMap(Hotels(), 4711, kMapHost));
    EXPECT_EQ(WaitForSingleObject(ran, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(qx::test::ReadWholeFile(record), kExpectedMap);

    CloseHandle(ran);
    // The program may still be ending; deleting it is retried briefly.
    for (int i = 0; i < 100 && !DeleteFileA(program.c_str()); ++i) {
        Sleep(20);
    }
    DeleteFileA(record.c_str());
    EXPECT_EQ(BrowserLog().size(), before_) << "the shell was asked as well";
}

TEST_F(BrowserLinks, HotelPageGoesThroughTheRedirectFullyEscaped) {
    EXPECT_TRUE(qx::OpenHotelPage(Hotels(), 4711, kAffiliateHost));
    const std::string expected =
        "https://aff.test/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc="
        "%68%74%74%70%3A%2F%2F%68%2E%74%65%73%74%2F%69%6E%66%6F%3F%6E%6F%3D%34%37%31%31%26%6C%61%6E%67%3D%6A%61";
    EXPECT_TRUE(BrowserOpened(expected, before_));
    const std::vector<std::string> lines = BrowserLog();
    ASSERT_FALSE(lines.empty());
    // The target's "?" and "&" arrive escaped: the redirect's own "?" is the only one.
    const std::string& opened = lines.back();
    EXPECT_NE(opened.find("%3Fno%3D4711%26lang"), std::string::npos) << opened;
    EXPECT_EQ(opened.find('&'), std::string::npos);
    EXPECT_EQ(opened.find('?'), opened.rfind('?'));
}

TEST_F(BrowserLinks, ReservationPageIsCutTo511BytesBeforeEscaping) {
    const std::string reserve = "http://r.test/?" + std::string(600, 'k');
    qx::OpenReservationPage(reserve, kAffiliateHost);
    std::string expected = "https://aff.test/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=";
    for (char c : reserve.substr(0, 511)) {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
        expected += escaped;
    }
    EXPECT_TRUE(BrowserOpened(expected, before_));
}

TEST_F(BrowserLinks, UnknownHotelOpensNothing) {
    EXPECT_FALSE(qx::OpenHotelMap(Hotels(), 4712, kMapHost));
    EXPECT_FALSE(qx::OpenHotelPage(Hotels(), 4712, kAffiliateHost));
    EXPECT_FALSE(qx::OpenHotelMap({}, 0, kMapHost));
    // A later link arrives alone: the refused ones never reached the shell.
    qx::OpenReservationPage("x", kAffiliateHost);
    const std::string marker = "https://aff.test/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=%78";
    ASSERT_TRUE(BrowserOpened(marker, before_));
    // Only this file's links use the two made-up hosts.
    std::size_t ours = 0;
    const std::vector<std::string> lines = BrowserLog();
    for (std::size_t n = before_; n < lines.size(); ++n) {
        ours += lines[n].rfind("http://maps.test:8080/", 0) == 0 || lines[n].rfind("https://aff.test/", 0) == 0;
    }
    EXPECT_EQ(ours, 1u);
}

}  // namespace
