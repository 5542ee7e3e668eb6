// A search whose result the service sends in pages, run from the main
// window's search command on the main window's own template against the local
// web service: every page read behind one progress window, the list and the
// count text after a whole, a capped, a partial and a cancelled search.
#include "search/ConditionSummaryView.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "details/LandmarkDialog.h"
#include "res/resource.h"
#include "tests/support/HostDialog.h"
#include "tests/support/LocalService.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

using test::ModalDriver;

constexpr char kDialogCaption[] = "検索条件設定";
constexpr char kProgressCaption[] = "通信中";
constexpr char kPartialText[] = "検索結果の一部しか受信できませんでした。\n受信できた宿泊施設だけを表示します。";
constexpr char kMarkerHotel[] = "4711";
constexpr char kMarkerCount[] = "1 件";

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
    const std::string reply = test::Fetch(target);
    test::ClearFaults();
    std::vector<std::string> numbers;
    for (const std::string& info : test::Elements(reply, "hotelBasicInfo")) {
        numbers.push_back(test::Element(info, "hotelNo"));
    }
    return numbers;
}

std::vector<std::string> FirstOf(const std::vector<std::string>& all, std::size_t count) {
    return std::vector<std::string>(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(count, all.size())));
}

std::string Count(std::size_t n) {
    return std::to_string(n) + " 件";
}

std::string CountOf(std::size_t found, std::size_t listed) {
    return std::to_string(found) + " 件中 " + std::to_string(listed) + " 件を表示";
}

std::size_t PagesOf(std::size_t records, std::size_t size) {
    return (records + size - 1) / size;
}

class SearchPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::ServiceStartedAroundTest()) << "the local web service is not running";
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        ASSERT_NE(main.Create(nullptr, IDD_MAIN), nullptr);
        list = main.Item(IDC_HOTEL_LIST);
        for (int i = 0; i < 6; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_WIDTH;
            column.cx = 60;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        catalogue.SetReplyText(test::FetchAreaReply());
        test::ShowAndPaint(main.Window());
        SetActiveWindow(main.Window());
    }

    // The main window as a search left it: one hotel listed and counted.
    void ShowEarlierSearch() {
        reply = HotelSearchReply{};
        reply.hotels.emplace_back().hotelNo = 4711;
        FillHotelList(list, reply);
        ShowHotelCount(main.Window(), reply);
    }

    std::vector<std::string> HotelNumbersShown() const {
        std::vector<std::string> numbers;
        for (int row = 0; row < test::RowCount(list); ++row) {
            numbers.push_back(test::Cell(list, row, 0));
        }
        return numbers;
    }

    std::string CountShown() const { return test::Text(main.Item(IDC_HOTEL_COUNT)); }

    test::HostDialog main{nullptr};
    HWND list = nullptr;
    AreaCatalogue catalogue;
    HotelSearchReply reply;
};

// How the search ends as the user sees it.
enum class Ending { Whole, Partial, CancelledOnPage2 };

// Each case arranges the service, then searches the whole of 東京23区内 (no
// district chosen), which finds more than three pages of 50 hotels. Given
// every hotel found (n of them), it names the pages the search reads, the
// hotels listed in reply order and the count text.
TEST_F(SearchPagesTest, ReadsEveryPageBehindOneWindow) {
    const std::string page3 = "&match=%26page%3D3";
    const auto all = [](const std::vector<std::string>& found) { return found; };
    const auto firstTwoPages = [](const std::vector<std::string>& found) { return FirstOf(found, 100); };
    const auto partialCount = [](std::size_t n) { return CountOf(n, 100); };
    const struct {
        const char* name;
        std::vector<std::string> controls;
        Ending ending;
        std::function<std::size_t(std::size_t)> pages;
        std::function<std::vector<std::string>(const std::vector<std::string>&)> listed;
        std::function<std::string(std::size_t)> countText;
    } cases[] = {
        {"every page", {}, Ending::Whole, [](std::size_t n) { return PagesOf(n, 50); }, all, Count},
        {"the cap of 20 pages", {"paging?pageSize=5"}, Ending::Whole, [](std::size_t) { return std::size_t{20}; },
         firstTwoPages, partialCount},
        {"page 3 answers 500", {"fault?path=/vws/&kind=status500" + page3}, Ending::Partial,
         [](std::size_t) { return std::size_t{3}; }, firstTwoPages, partialCount},
        {"page 3 past the time limit", {"fault?path=/vws/&kind=delay&seconds=32" + page3}, Ending::Partial,
         [](std::size_t) { return std::size_t{3}; }, firstTwoPages, partialCount},
        {"page 3 finds nothing", {"fault?path=/vws/&kind=notfound" + page3}, Ending::Partial,
         [](std::size_t) { return std::size_t{3}; }, firstTwoPages, partialCount},
        {"page 3 a server error", {"fault?path=/vws/&kind=servererror" + page3}, Ending::Partial,
         [](std::size_t) { return std::size_t{3}; }, firstTwoPages, partialCount},
        {"page 3 no search reply", {"page?path=/vws/&body=%3Chtml%3Emaintenance%3C%2Fhtml%3E" + page3},
         Ending::Partial, [](std::size_t) { return std::size_t{3}; }, firstTwoPages, partialCount},
        {"a hotel pushed from page 1 onto page 2", {"vacancies?fromPage=2&move=60:1"}, Ending::Whole,
         [](std::size_t n) { return PagesOf(n, 50); },
         [](const std::vector<std::string>& found) {
             std::vector<std::string> listed = found;
             listed.erase(listed.begin() + 59);  // moved onto page 1 after it was read
             return listed;
         },
         [](std::size_t n) { return CountOf(n, n - 1); }},
        {"a count that drops after page 1", {"vacancies?fromPage=2&drop=60"}, Ending::Whole,
         [](std::size_t n) { return PagesOf(n - 60, 50); },
         [](const std::vector<std::string>& found) { return FirstOf(found, found.size() - 60); },
         [](std::size_t n) { return Count(n - 60); }},
        {"cancelled during page 2", {"fault?path=/vws/&kind=delay&seconds=8&match=%26page%3D2"},
         Ending::CancelledOnPage2, [](std::size_t) { return std::size_t{2}; },
         [](const std::vector<std::string>&) { return std::vector<std::string>{kMarkerHotel}; },
         [](std::size_t) { return std::string(kMarkerCount); }},
    };
    const std::string host = test::ServiceHost();
    const ServiceHosts hosts{host, host, host, host};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ClearFaults();
        for (const std::string& control : c.controls) {
            const std::string answer = test::Fetch("/_control/" + control);
            ASSERT_TRUE(answer.find("\"armed\"") != std::string::npos || answer.find("\"paging\"") != std::string::npos)
                << control << ": " << answer;
        }
        ShowEarlierSearch();
        const std::size_t logStart = test::RequestLog().size();
        SearchConditions conditions;
        test::MessageBoxView box;
        bool openAfterCancel = false;
        const INT_PTR result = ModalDriver().Run(
            [&] { return RunSearchFromMainWindow(main.Window(), list, catalogue, reply, conditions, hosts,
                                                 LandmarkDialogPicker(hosts)); },
            [&](ModalDriver& driver) {
                HWND dialog = driver.WaitForDialog(kDialogCaption);
                ASSERT_NE(dialog, nullptr);
                SendMessageA(GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                test::Click(dialog, IDOK);
                if (c.ending == Ending::CancelledOnPage2) {
                    HWND progress = driver.WaitForDialog(kProgressCaption);
                    ASSERT_NE(progress, nullptr);
                    ASSERT_TRUE(driver.WaitUntil([&] { return SearchTargetsSince(logStart).size() == 2; }));
                    PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
                    ASSERT_TRUE(driver.WaitUntil([&] { return !IsWindow(progress); }, 2500));
                    driver.OnDialogThread([&] { openAfterCancel = IsWindowVisible(dialog) && IsWindowEnabled(dialog); });
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
        ASSERT_GT(found.size(), 150u) << "the whole of the wards was searched: " << targets[0];

        EXPECT_EQ(result, c.ending == Ending::CancelledOnPage2 ? -1 : 0);
        ASSERT_EQ(targets.size(), c.pages(found.size()));
        for (std::size_t page = 2; page <= targets.size(); ++page) {
            EXPECT_EQ(targets[page - 1], targets[0] + "&page=" + std::to_string(page));
        }
        EXPECT_EQ(box.text, c.ending == Ending::Partial ? kPartialText : "");
        if (c.ending == Ending::Partial) {
            EXPECT_EQ(box.caption, "検索結果");
            EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONINFORMATION));
        }
        EXPECT_EQ(openAfterCancel, c.ending == Ending::CancelledOnPage2);
        const std::vector<std::string> shown = HotelNumbersShown();
        EXPECT_EQ(shown, c.listed(found));
        EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size()) << "each hotel once";
        EXPECT_EQ(CountShown(), c.countText(found.size()));
        EXPECT_EQ(reply.hotels.size(), shown.size());
    }
    test::ClearFaults();
}

}  // namespace
}  // namespace qx
