// A search whose result the service sends in pages, run from the main
// window's search command on the main window's own template against the local
// web service: the list and the count text after a whole, a capped, a partial
// and a cancelled search.
#include "search/ConditionSummaryView.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "details/LandmarkDialog.h"
#include "res/resource.h"
#include "search/HotelCountText.h"
#include "tests/support/HostDialog.h"
#include "tests/support/LocalService.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

using test::ModalDriver;

std::vector<std::string> SearchTargetsSince(std::size_t skip) {
    std::vector<std::string> targets;
    for (const test::LoggedRequest& request : test::RequestsSince(skip)) {
        if (request.target.find("operation=VacantHotelSearch") != std::string::npos) {
            targets.push_back(request.target);
        }
    }
    return targets;
}

// Every hotel number the search finds, in reply order, read in one page.
std::vector<std::string> EveryHotelFound(const std::string& target) {
    test::ClearFaults();
    test::Fetch("/_control/paging?pageSize=5000");
    std::vector<std::string> numbers;
    for (const std::string& info : test::Elements(test::Fetch(target), "hotelBasicInfo")) {
        numbers.push_back(test::Element(info, "hotelNo"));
    }
    test::ClearFaults();
    return numbers;
}

enum class Ending { Whole, Partial, Cancelled };

// Each case arranges the service, then searches the whole of 東京23区内 (no
// district chosen), which finds more than three pages of 50 hotels, n in all.
// The hotels listed are the first `listed` found (all when 0) but `skipped`
// (the position of one missed, or -1); `dropped` hotels vanish after page 1.
TEST(SearchPages, ReadPageByPageFromTheMainWindow) {
    ASSERT_TRUE(test::ServiceStartedAroundTest()) << "the local web service is not running";
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    test::HostDialog main(nullptr);
    ASSERT_NE(main.Create(nullptr, IDD_MAIN), nullptr);
    HWND list = main.Item(IDC_HOTEL_LIST);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 60;
    for (int i = 0; i < 6; ++i) {
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    test::ShowAndPaint(main.Window());
    SetActiveWindow(main.Window());
    AreaCatalogue catalogue;
    catalogue.SetReplyText(test::FetchAreaReply());
    const ServiceHost local{UrlScheme::Http, test::ServiceHost()};
    const ServiceHosts hosts{local, local, local, local};

    const std::string page3 = "&match=%26page%3D3";
    const struct {
        const char* name;
        std::string control;
        Ending ending;
        std::size_t pages;  // 0: every page there is
        std::size_t listed;
        int skipped;
        std::size_t dropped;
    } cases[] = {
        {"every page", "", Ending::Whole, 0, 0, -1, 0},
        {"the cap of 20 pages", "paging?pageSize=5", Ending::Whole, 20, 100, -1, 0},
        {"page 3 answers 500", "fault?path=/vws/&kind=status500" + page3, Ending::Partial, 3, 100, -1, 0},
        {"page 3 past the time limit", "fault?path=/vws/&kind=delay&seconds=32" + page3, Ending::Partial, 3, 100, -1, 0},
        {"page 3 finds nothing", "fault?path=/vws/&kind=notfound" + page3, Ending::Partial, 3, 100, -1, 0},
        {"page 3 a server error", "fault?path=/vws/&kind=servererror" + page3, Ending::Partial, 3, 100, -1, 0},
        {"page 3 no search reply", "page?path=/vws/&body=%3Chtml%3E" + page3, Ending::Partial, 3, 100, -1, 0},
        {"a hotel pushed from page 1 onto page 2 and one missed", "vacancies?fromPage=2&move=60:1", Ending::Whole, 0,
         0, 59, 0},
        {"a count that drops after page 1", "vacancies?fromPage=2&drop=60", Ending::Whole, 0, 0, -1, 60},
        {"cancelled during page 2", "fault?path=/vws/&kind=delay&seconds=8&match=%26page%3D2", Ending::Cancelled, 2,
         0, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ClearFaults();
        const std::string answer = c.control.empty() ? "\"armed\"" : test::Fetch("/_control/" + c.control);
        ASSERT_TRUE(answer.find("\"armed\"") != std::string::npos || answer.find("\"paging\"") != std::string::npos)
            << c.control << ": " << answer;
        HotelSearchReply reply;
        reply.hotels.emplace_back().hotelNo = 4711;
        FillHotelList(list, reply);
        ShowHotelCount(main.Window(), reply);
        const std::size_t logStart = test::RequestLog().size();
        SearchConditions conditions;
        test::MessageBoxView box;
        const INT_PTR result = ModalDriver().Run(
            [&] { return RunSearchFromMainWindow(main.Window(), list, catalogue, reply, conditions, hosts,
                                                 LandmarkDialogPicker(hosts)); },
            [&](ModalDriver& driver) {
                HWND dialog = driver.WaitForDialog("検索条件設定");
                ASSERT_NE(dialog, nullptr);
                SendMessageA(GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                test::Click(dialog, IDOK);
                if (c.ending == Ending::Cancelled) {
                    HWND progress = driver.WaitForDialog("通信中");
                    ASSERT_TRUE(driver.WaitUntil([&] { return SearchTargetsSince(logStart).size() == 2; }));
                    PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
                    ASSERT_TRUE(driver.WaitUntil([&] { return !IsWindow(progress) && IsWindowEnabled(dialog); }));
                    test::PostButtonClick(dialog, IDCANCEL);
                    return;
                }
                if (c.ending == Ending::Partial) {
                    box = driver.WaitForMessageBox(dialog, 60000);
                    test::Click(box.window, IDOK);
                }
                EXPECT_TRUE(driver.WaitUntilClosed(dialog, 60000)) << "the search ends the dialog";
            });
        const std::vector<std::string> targets = SearchTargetsSince(logStart);
        ASSERT_FALSE(targets.empty());
        const std::vector<std::string> found = EveryHotelFound(targets[0]);
        ASSERT_GT(found.size(), 160u) << "the whole of the wards was searched: " << targets[0];

        std::vector<std::string> expected(found.begin(), found.end() - static_cast<std::ptrdiff_t>(c.dropped));
        expected.resize(c.listed > 0 ? c.listed : expected.size());
        if (c.skipped >= 0) {
            expected.erase(expected.begin() + c.skipped);
        }
        if (c.ending == Ending::Cancelled) {
            expected = {"4711"};
        }
        EXPECT_EQ(result, c.ending == Ending::Cancelled ? -1 : 0);
        ASSERT_EQ(targets.size(), c.pages > 0 ? c.pages : (found.size() - c.dropped + 49) / 50);
        for (std::size_t page = 2; page <= targets.size(); ++page) {
            EXPECT_EQ(targets[page - 1], targets[0] + "&page=" + std::to_string(page));
        }
        EXPECT_EQ(box.text, c.ending == Ending::Partial
                                ? "検索結果の一部しか受信できませんでした。\n受信できた宿泊施設だけを表示します。"
                                : "");
        EXPECT_EQ(box.caption, c.ending == Ending::Partial ? "検索結果" : "");
        std::vector<std::string> shown;
        for (int row = 0; row < test::RowCount(list); ++row) {
            shown.push_back(test::Cell(list, row, 0));
        }
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size()) << "each hotel once";
        const std::size_t recordCount = c.ending == Ending::Cancelled ? 0 : found.size() - c.dropped;
        EXPECT_EQ(reply.paging.recordCount, static_cast<std::int32_t>(recordCount));
        EXPECT_EQ(reply.hotels.size(), shown.size());
        EXPECT_EQ(test::Text(main.Item(IDC_HOTEL_COUNT)), ComposeHotelCountText(reply));
    }
    test::ClearFaults();
}

}  // namespace
}  // namespace qx
