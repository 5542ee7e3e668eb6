#include "details/PlanDialog.h"

#include "framework/ControlWrapper.h"
#include "controls/PictureBox.h"
#include "res/resource.h"
#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace qx {
namespace {

// Size of the waiting picture the program carries.
constexpr int kWaitWidth = 119;
constexpr int kWaitHeight = 134;

// The pages go to the browser log, never to this host.
const ServiceHost kAffiliateHost{UrlScheme::Http, "aff.test:8080"};

long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return static_cast<long>(data.nFileSizeLow);
}

template <std::size_t N>
void Put(char (&field)[N], const char* text) {
    std::snprintf(field, N, "%s", text);
}

PlanRecord Plan(std::int32_t hotelNo, const char* room, std::int32_t charge, const char* reserveUrl) {
    PlanRecord plan;
    plan.hotelNo = hotelNo;
    Put(plan.roomName, room);
    Put(plan.planContents, "素泊まり");
    plan.vantoroCharge = charge;
    Put(plan.reserveUrl, reserveUrl);
    return plan;
}

const PictureBox* PictureOf(HWND dialog) {
    return dynamic_cast<const PictureBox*>(ControlWrapper::FromWindow(GetDlgItem(dialog, IDC_HOTEL_PICTURE)));
}

std::string Text(HWND dialog, int id) {
    return test::Text(GetDlgItem(dialog, id));
}

std::string AffiliateUrl(const std::string& target) {
    return test::WithoutUnreservedEscapes(Origin(kAffiliateHost) +
                                    "/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=" + test::PercentEncodeAll(target));
}

class PlanDialogTest : public ::testing::Test {
protected:
    // A hotel of the local web service, whose picture is 480 x 200 pixels.
    static constexpr std::int32_t kHotelNo = 10928;

    void SetUp() override {
        test::PumpPendingMessages();
        HotelRecord other;
        other.hotelNo = 7;
        Put(other.hotelName, "別館");
        HotelRecord hotel;
        hotel.hotelNo = kHotelNo;
        Put(hotel.hotelName, "テストホテル本館");
        Put(hotel.telephoneNo, "03-1234-5678");
        Put(hotel.faxNo, "03-1234-5679");
        Put(hotel.hotelSpecial, "大浴場あり");
        Put(hotel.access, "駅から徒歩5分");
        Put(hotel.parkingInformation, "有り 20台");
        Put(hotel.checkinTime, "15:00");
        Put(hotel.checkoutTime, "10:00");
        Put(hotel.hotelImageUrl, test::ServiceUrl("/img/hotel/10928.jpg?size=m&amp;v=1").c_str());
        Put(hotel.hotelInformationUrl, "http://example.invalid/hotel/info?hotelNo=12&amp;lang=ja");
        reply_.hotels = {other, hotel};

        PlanRecord room = Plan(kHotelNo, "C 和室", 25000, "http://example.invalid/r?plan=C&n=1");
        room.withBreakfastFlag = 1;
        room.dinnerSelectFlag = 1;
        PlanRecord single = Plan(kHotelNo, "A シングル", 8000, "http://example.invalid/r?plan=A");
        PlanRecord twin = Plan(kHotelNo, "B ツイン", 120000, "http://example.invalid/r?plan=B");
        twin.breakfastSelectFlag = 1;
        twin.withDinnerFlag = 1;
        reply_.plans = {Plan(7, "Z 別館の部屋", 1, "http://example.invalid/z"), room, single, twin};
    }

    void TearDown() override { test::PumpPendingMessages(); }

    INT_PTR RunWith(test::ModalDriver& driver, std::int32_t hotelNo) {
        PlanDialog dialog(reply_, hotelNo, hosts_);
        return driver.Run([&] { return dialog.Run(nullptr); });
    }

    static HWND FindPlanDialog() { return test::FindThreadDialogWithChild(IDC_PLAN_LIST); }

    HotelSearchReply reply_;
    const ServiceHosts hosts_{{}, {}, {}, kAffiliateHost};
};

TEST_F(PlanDialogTest, ShowsTheHotelItsPlansSortedAndItsPictureThenDeletesBothFiles) {
    test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
    std::vector<std::string> seen;
    bool waitingShownFirst = false;
    driver.Add("waiting picture", [&](HWND dialog) {
        const PictureBox* box = PictureOf(dialog);
        waitingShownFirst = box && box->loaded() && box->naturalWidth() == kWaitWidth &&
                            box->naturalHeight() == kWaitHeight && test::FileExists(test::TempFile("wait_image.jpg"));
        return true;
    });
    driver.Add("details", [&](HWND dialog) {
        seen.push_back(test::Text(dialog));
        for (int id : {IDC_HOTEL_NAME, IDC_TELEPHONE_NO, IDC_FAX_NO, IDC_HOTEL_SPECIAL, IDC_ACCESS, IDC_PARKING,
                       IDC_CHECKIN_TIME, IDC_CHECKOUT_TIME}) {
            seen.push_back(Text(dialog, id));
        }
        HWND list = GetDlgItem(dialog, IDC_PLAN_LIST);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            for (int column = 0; column < 5; ++column) {
                seen.push_back(test::Cell(list, row, column));
            }
        }
        const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        seen.push_back(selected >= 0 ? test::Cell(list, selected, 1) : "(none)");
        seen.push_back(IsWindowEnabled(GetDlgItem(dialog, IDC_RESERVE_BUTTON)) ? "enabled" : "disabled");
        return true;
    });
    driver.Add("hotel picture", [&](HWND dialog) {
        const PictureBox* box = PictureOf(dialog);
        return box && box->loaded() && box->naturalWidth() == 480 && box->naturalHeight() == 200 &&
               test::FileExists(test::TempFile("hotel_image.jpg"));
    });
    COLORREF nameBackground = 0;
    driver.Add("colours", [&](HWND dialog) {
        HWND name = GetDlgItem(dialog, IDC_HOTEL_NAME);
        test::ShowAndPaint(dialog);
        RECT client{};
        GetClientRect(name, &client);
        nameBackground = test::ClientPixel(name, client.right - 3, client.bottom / 2);
        return true;
    });
    driver.Add("close", [](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, IDC_PLAN_CLOSE), BM_CLICK, 0, 0);
        return true;
    });

    EXPECT_EQ(RunWith(driver, kHotelNo), IDC_PLAN_CLOSE);
    EXPECT_TRUE(driver.Failures().empty()) << driver.Failures().front();
    EXPECT_TRUE(waitingShownFirst);
    const std::vector<std::string> expected = {
        "テストホテル本館 - 宿泊プラン情報",
        "テストホテル本館", "03-1234-5678", "03-1234-5679", "大浴場あり", "駅から徒歩5分", "有り 20台", "15:00", "10:00",
        "http://example.invalid/r?plan=A", "A シングル", "素泊まり", "8,000", "",
        "http://example.invalid/r?plan=B", "B ツイン", "素泊まり", "120,000", "[朝食選択] [夕食] ",
        "http://example.invalid/r?plan=C&n=1", "C 和室", "素泊まり", "25,000", "[朝食] [夕食選択] ",
        "C 和室", "enabled",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(nameBackground, RGB(255, 255, 220));
    EXPECT_FALSE(test::FileExists(test::TempFile("hotel_image.jpg")));
    EXPECT_FALSE(test::FileExists(test::TempFile("wait_image.jpg")));
}

TEST_F(PlanDialogTest, UnknownHotelLeavesEverythingEmptyAndEscapeEndsWithTwo) {
    test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
    std::vector<std::string> seen;
    driver.Add("look", [&](HWND dialog) {
        seen = {test::Text(dialog), Text(dialog, IDC_HOTEL_NAME), Text(dialog, IDC_ACCESS),
                std::to_string(ListView_GetItemCount(GetDlgItem(dialog, IDC_PLAN_LIST)))};
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_EQ(RunWith(driver, 999), IDC_PLAN_CANCEL);
    EXPECT_EQ(seen, (std::vector<std::string>{"宿泊プラン情報", "", "", "0"}));
    EXPECT_FALSE(test::FileExists(test::TempFile("wait_image.jpg")));
}

TEST_F(PlanDialogTest, FailedDownloadKeepsTheWaitingPictureAndAnEmptyFileUntilClosing) {
    Put(reply_.hotels[1].hotelImageUrl, test::ServiceUrl("/_fault/status404").c_str());
    test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
    DWORD opened = 0;
    bool keptWaiting = false;
    long hotelFileSize = -1;
    driver.Add("open", [&](HWND) {
        opened = GetTickCount();
        return true;
    });
    driver.Add("after the download", [&](HWND dialog) {
        if (GetTickCount() - opened < 1500) {
            return false;
        }
        const PictureBox* box = PictureOf(dialog);
        keptWaiting = box && box->loaded() && box->naturalWidth() == kWaitWidth;
        hotelFileSize = FileSize(test::TempFile("hotel_image.jpg"));
        PostMessageA(GetDlgItem(dialog, IDC_PLAN_CLOSE), BM_CLICK, 0, 0);
        return true;
    });
    EXPECT_EQ(RunWith(driver, kHotelNo), IDC_PLAN_CLOSE);
    EXPECT_TRUE(keptWaiting);
    EXPECT_EQ(hotelFileSize, 0);
    EXPECT_FALSE(test::FileExists(test::TempFile("hotel_image.jpg")));
}

TEST_F(PlanDialogTest, ClosingDuringAHangingDownloadEndsAtOnceAndLeavesNoFile) {
    Put(reply_.hotels[1].hotelImageUrl, test::ServiceUrl("/_fault/hang?seconds=3").c_str());
    test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
    DWORD opened = 0;
    DWORD clicked = 0;
    driver.Add("open", [&](HWND) {
        opened = GetTickCount();
        return true;
    });
    driver.Add("close while downloading", [&](HWND dialog) {
        if (GetTickCount() - opened < 600) {
            return false;
        }
        clicked = GetTickCount();
        PostMessageA(GetDlgItem(dialog, IDC_PLAN_CLOSE), BM_CLICK, 0, 0);
        return true;
    });
    EXPECT_EQ(RunWith(driver, kHotelNo), IDC_PLAN_CLOSE);
    EXPECT_LT(GetTickCount() - clicked, 1500u) << "the close waited for the download";
    EXPECT_FALSE(test::FileExists(test::TempFile("wait_image.jpg")));
    // The worker lets go of the file when the server gives up on it.
    EXPECT_TRUE(test::WaitFor([] { return !test::FileExists(test::TempFile("hotel_image.jpg")); }, 8000));
}

// Plan windows opened one after another against a picture host that takes
// the request and never answers: soon after the last one gave up its
// download, no worker thread, connection or private file of theirs is left.
TEST_F(PlanDialogTest, StalledPictureHostHoldsNothingSoonAfterTheLastGiveUp) {
    constexpr int kWindows = 5;
    const std::string path = "/stalled/" + test::UniqueMarker();
    ASSERT_TRUE(test::ArmFault(path, "hang", "&seconds=30", kWindows));
    Put(reply_.hotels[1].hotelImageUrl, test::ServiceUrl(path + "/hotel.jpg").c_str());
    const test::ProcessResources self(GetCurrentProcess(), GetCurrentProcessId());
    const long threads = self.ThreadCount();
    const long connections = test::OpenConnectionsToService();
    const std::size_t files = test::TempFilesMatching("qxp*.tmp").size();
    ASSERT_GT(threads, 0);
    ASSERT_GE(connections, 0);
    for (int window = 1; window <= kWindows; ++window) {
        test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
        driver.Add("close once the picture is asked for", [&](HWND dialog) {
            if (test::LoggedRequests(path).size() < static_cast<std::size_t>(window)) {
                return false;
            }
            PostMessageA(GetDlgItem(dialog, IDC_PLAN_CLOSE), BM_CLICK, 0, 0);
            return true;
        });
        EXPECT_EQ(RunWith(driver, kHotelNo), IDC_PLAN_CLOSE);
    }
    const auto released = [&] {
        return self.ThreadCount() <= threads && test::OpenConnectionsToService() <= connections &&
               test::TempFilesMatching("qxp*.tmp").size() <= files;
    };
    // The last worker's receive time-out runs out five seconds after its request.
    EXPECT_TRUE(test::WaitFor(released, 7000))
        << "threads " << self.ThreadCount() << " (" << threads << " before), connections "
        << test::OpenConnectionsToService() << " (" << connections << "), private files "
        << test::TempFilesMatching("qxp*.tmp").size() << " (" << files << ")";
}

TEST_F(PlanDialogTest, ReservationAndHotelPageGoThroughTheRedirect) {
    if (std::getenv("QX_BROWSER_LOG") == nullptr) {
        GTEST_SKIP() << "QX_BROWSER_LOG is not set: browser launches are not captured";
    }
    Put(reply_.hotels[1].hotelImageUrl, "");
    const std::size_t before = test::BrowserLog().size();
    test::ModalDriver driver(&PlanDialogTest::FindPlanDialog);
    bool disabledWithoutSelection = false;
    driver.Add("reserve the selected plan", [](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_RESERVE_BUTTON), BM_CLICK, 0, 0);
        return true;
    });
    driver.Add("hotel page", [](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_HOTEL_PAGE_BUTTON), BM_CLICK, 0, 0);
        return true;
    });
    driver.Add("double-click the first row", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PLAN_LIST);
        RECT item{};
        ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
        const LPARAM at = MAKELPARAM(item.left + 40, (item.top + item.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        return true;
    });
    driver.Add("no selection", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_PLAN_LIST);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        disabledWithoutSelection = !IsWindowEnabled(GetDlgItem(dialog, IDC_RESERVE_BUTTON));
        PostMessageA(dialog, WM_COMMAND, IDC_RESERVE_BUTTON, 0);
        return true;
    });
    driver.Add("close", [](HWND dialog) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(RunWith(driver, kHotelNo), IDC_PLAN_CANCEL);
    EXPECT_TRUE(disabledWithoutSelection);
    // Each launch is a process of its own, so the lines may arrive in any order.
    std::vector<std::string> expected = {
        AffiliateUrl("http://example.invalid/r?plan=C&n=1"),
        AffiliateUrl("http://example.invalid/hotel/info?hotelNo=12&amp;lang=ja"),
        AffiliateUrl("http://example.invalid/r?plan=A"),
    };
    ASSERT_TRUE(test::WaitFor([&] { return test::BrowserLog().size() >= before + expected.size(); }, 5000));
    Sleep(500);
    const std::vector<std::string> lines = test::BrowserLog();
    std::vector<std::string> opened;
    for (std::size_t n = before; n < lines.size(); ++n) {
        opened.push_back(test::WithoutUnreservedEscapes(lines[n]));
    }
    std::sort(opened.begin(), opened.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
}

}  // namespace
}  // namespace qx
