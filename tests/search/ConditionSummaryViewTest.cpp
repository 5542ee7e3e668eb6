// The main window's summary edits, calendar and hotel list, on the main
// window's own template, and its search command against the local web service.
#include "search/ConditionSummaryView.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "details/LandmarkDialog.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RemoteWindows.h"
#include "framework/Dialog.h"
#include "res/resource.h"
#include "search/LocalDateTime.h"
#include "tests/support/LocalService.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

using test::ModalDriver;

// The main window's template with nothing of the main window's behaviour.
class MainTemplateWindow : public DialogImpl<MainTemplateWindow> {
public:
    static const MessageMap kMessageMap;

private:
    LRESULT OnInitDialog(WPARAM, LPARAM) { return TRUE; }
};

const MainTemplateWindow::MessageMap MainTemplateWindow::kMessageMap = {
    OnMessage(WM_INITDIALOG, &MainTemplateWindow::OnInitDialog),
};

struct Summary {
    std::string area, period, budget, persons, rooms, options;
};

Summary ReadSummary(HWND window) {
    auto text = [window](int id) { return test::Text(GetDlgItem(window, id)); };
    return {text(IDC_AREA_SUMMARY),   text(IDC_PERIOD_SUMMARY), text(IDC_BUDGET_SUMMARY),
            text(IDC_PEOPLE_SUMMARY), text(IDC_ROOMS_SUMMARY),  text(IDC_OPTIONS_SUMMARY)};
}

void ExpectSummary(const Summary& shown, const Summary& expected) {
    EXPECT_EQ(shown.area, expected.area);
    EXPECT_EQ(shown.period, expected.period);
    EXPECT_EQ(shown.budget, expected.budget);
    EXPECT_EQ(shown.persons, expected.persons);
    EXPECT_EQ(shown.rooms, expected.rooms);
    EXPECT_EQ(shown.options, expected.options);
}

std::string DateText(const SYSTEMTIME& t) {
    return std::to_string(t.wYear) + '-' + std::to_string(t.wMonth) + '-' + std::to_string(t.wDay);
}

SearchConditions AreaSearch() {
    SearchConditions conditions;
    conditions.areaMode = kAreaModeByClass;
    std::strcpy(conditions.middleClassName, "東京都");
    std::strcpy(conditions.smallClassName, "東京２３区内");
    std::strcpy(conditions.detailClassName, "千代田区");
    conditions.checkinDate = {2007, 8, 5, 10, 14, 30, 0, 0};
    conditions.checkoutDate = {2007, 8, 0, 12, 14, 30, 0, 0};
    conditions.adultNum = 1;
    conditions.roomNum = 1;
    conditions.minCharge = 5000;
    conditions.maxCharge = 10000;
    conditions.breakfast = 1;
    conditions.dinner = 1;
    return conditions;
}

class ConditionSummaryViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        ASSERT_NE(main.Create(nullptr, IDD_MAIN), nullptr);
        list = main.Item(IDC_HOTEL_LIST);
        const char* titles[] = {"ID", "施設名", "住所", "最低価格", "最高価格", "特記事項"};
        for (int i = 0; i < 6; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 80;
            column.pszText = const_cast<char*>(titles[i]);
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
    }

    void AddRow(const char* hotelNo) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = test::RowCount(list);
        item.pszText = const_cast<char*>(hotelNo);
        item.lParam = 99;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }

    std::vector<std::string> HotelNumbersShown() const {
        std::vector<std::string> numbers;
        for (int row = 0; row < test::RowCount(list); ++row) {
            numbers.push_back(test::Cell(list, row, 0));
        }
        return numbers;
    }

    MainTemplateWindow main;
    HWND list = nullptr;
};

TEST_F(ConditionSummaryViewTest, WritesTheSixTextsAndTheCheckinDate) {
    SearchConditions landmark = AreaSearch();
    landmark.areaMode = kAreaModeNearLandmark;
    std::strcpy(landmark.landmarkName, "東京駅");
    landmark.radiusMetres = 1500;
    landmark.adultNum = 2;
    landmark.upClassNum = 1;
    landmark.infantWithMBNum = 3;
    landmark.roomNum = 9;
    landmark.minCharge = -1;
    landmark.breakfast = 0;
    landmark.dinner = 0;
    landmark.checkinDate = {2008, 12, 3, 31, 9, 0, 0, 0};
    landmark.checkoutDate = {2009, 1, 5, 2, 9, 0, 0, 0};

    SearchConditions nobody = AreaSearch();
    nobody.detailClassName[0] = '\0';
    nobody.adultNum = 0;
    nobody.maxCharge = -1;
    nobody.kinen = nobody.internet = nobody.daiyoku = nobody.onsen = 1;
    nobody.breakfast = nobody.dinner = 1;

    const struct {
        const char* name;
        SearchConditions conditions;
        Summary expected;
    } cases[] = {
        {"area with a detail class", AreaSearch(),
         {"東京都 東京２３区内 千代田区", "2007年8月10日 ～ 2007年8月12日", "5,000 ～ 10,000", "大人 [1] ", "1",
          "[朝食つき] [夕食つき] "}},
        {"landmark", landmark,
         {"東京駅 から半径 1500[m] のエリア", "2008年12月31日 ～ 2009年1月2日", "指定なし",
          "大人 [2] 子供 [1] 幼児 [3] ", "9", "指定なし"}},
        {"nobody, every facility", nobody,
         {"東京都 東京２３区内", "2007年8月10日 ～ 2007年8月12日", "指定なし", "", "1",
          "[禁煙室] [インターネット] [大浴場] [温泉] [朝食つき] [夕食つき] "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShowConditionSummary(main.Window(), c.conditions);
        ExpectSummary(ReadSummary(main.Window()), c.expected);

        HWND calendar = main.Item(IDC_CHECKIN_CALENDAR);
        SYSTEMTIME today{};
        SYSTEMTIME selected{};
        ASSERT_TRUE(SendMessageA(calendar, MCM_GETTODAY, 0, reinterpret_cast<LPARAM>(&today)));
        ASSERT_TRUE(SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&selected)));
        const SYSTEMTIME checkin{c.conditions.checkinDate.year, c.conditions.checkinDate.month, 0,
                                 c.conditions.checkinDate.day, 0, 0, 0, 0};
        EXPECT_EQ(DateText(today), DateText(checkin));
        EXPECT_EQ(DateText(selected), DateText(checkin));
    }
}

TEST_F(ConditionSummaryViewTest, ListHoldsExactlyTheReplyHotelsInReplyOrder) {
    AddRow("1");
    AddRow("2");
    AddRow("3");
    AddRow("4");
    HotelSearchReply reply;
    const struct {
        std::int32_t hotelNo;
        const char* name;
        const char* address;
        std::int32_t lowest;
        std::int32_t highest;
        const char* special;
    } hotels[] = {
        {30, "ホテル三十", "東京都千代田区丸の内1-1", 5800, 1234567, "駅から徒歩1分"},
        {7, "旅館七", "", 0, -1000, ""},
        {1500, "<&>\"'", "%s%n", 2147483647, -2147483647 - 1, "%d%d%d"},
    };
    for (const auto& h : hotels) {
        HotelRecord& record = reply.hotels.emplace_back();
        record.hotelNo = h.hotelNo;
        std::strcpy(record.hotelName, h.name);
        std::strcpy(record.address, h.address);
        record.lowestCharge = h.lowest;
        record.highestCharge = h.highest;
        std::strcpy(record.hotelSpecial, h.special);
    }

    FillHotelList(list, reply);

    const std::vector<std::vector<std::string>> expected = {
        {"30", "ホテル三十", "東京都千代田区丸の内1-1", "5,800", "1,234,567", "駅から徒歩1分"},
        {"7", "旅館七", "", "0", "-1,000", ""},
        {"1500", "<&>\"'", "%s%n", "2,147,483,647", "-2,147,483,648", "%d%d%d"},
    };
    ASSERT_EQ(test::RowCount(list), 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(test::Cell(list, row, column), expected[row][column]) << row << ',' << column;
        }
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ASSERT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(item.lParam, 0) << row;
    }

    reply.hotels.clear();
    FillHotelList(list, reply);
    EXPECT_EQ(test::RowCount(list), 0);
}

// The search command opens the dialog over the main window: on its defaults
// before any conditions were stored, on the held ones afterwards; only a
// successful search changes the main window.
TEST_F(ConditionSummaryViewTest, SearchCommandRenewsTheWindowOnlyAfterASearch) {
    const ServiceHost local{UrlScheme::Http, test::ServiceHost()};
    ASSERT_FALSE(local.authority.empty()) << "the local web service is not running";
    // The map and the affiliate redirect are nobody: a search on their hosts would fail.
    const ServiceHost nobody{UrlScheme::Http, "127.0.0.1:9"};
    const ServiceHosts hosts{local, local, nobody, nobody};
    const LandmarkPicker pickLandmark = LandmarkDialogPicker(hosts);
    AreaCatalogue catalogue;
    catalogue.SetReplyText(test::FetchAreaReply());
    HotelSearchReply reply;
    SearchConditions conditions;
    test::ShowAndPaint(main.Window());
    SetActiveWindow(main.Window());
    AddRow("99999");
    ShowConditionSummary(main.Window(), AreaSearch());

    std::string cancelText;
    HWND owner = nullptr;
    const INT_PTR first = ModalDriver().Run(
        [&] { return RunSearchFromMainWindow(main.Window(), list, catalogue, reply, conditions, hosts, pickLandmark); },
        [&](ModalDriver& driver) {
            HWND dialog = driver.WaitForDialog("検索条件設定");
            ASSERT_NE(dialog, nullptr);
            cancelText = test::Text(GetDlgItem(dialog, IDCANCEL));
            owner = GetWindow(dialog, GW_OWNER);
            test::Click(dialog, IDOK);
            EXPECT_TRUE(driver.WaitUntilClosed(dialog, 40000)) << "a successful search ends the dialog";
        });
    ASSERT_EQ(first, 0);
    EXPECT_EQ(cancelText, "終了");
    EXPECT_EQ(owner, main.Window());
    ASSERT_FALSE(reply.hotels.empty());
    std::vector<std::string> replyOrder;
    for (const HotelRecord& hotel : reply.hotels) {
        replyOrder.push_back(std::to_string(hotel.hotelNo));
    }
    EXPECT_EQ(HotelNumbersShown(), replyOrder);
    const Summary afterSearch = ReadSummary(main.Window());
    EXPECT_EQ(afterSearch.area.rfind("東京都 ", 0), 0u) << afterSearch.area;
    EXPECT_EQ(afterSearch.persons, "大人 [1] ");
    EXPECT_EQ(afterSearch.budget, "指定なし");

    // Cancelled: the held conditions were shown, the window keeps everything.
    conditions.adultNum = 3;
    const INT_PTR second = ModalDriver().Run(
        [&] { return RunSearchFromMainWindow(main.Window(), list, catalogue, reply, conditions, hosts, pickLandmark); },
        [&](ModalDriver& driver) {
            HWND dialog = driver.WaitForDialog("検索条件設定");
            ASSERT_NE(dialog, nullptr);
            cancelText = test::Text(GetDlgItem(dialog, IDCANCEL));
            EXPECT_EQ(test::ComboSelectedText(GetDlgItem(dialog, IDC_ADULT_LIST)), "3");
            test::PostButtonClick(dialog, IDCANCEL);
        });
    EXPECT_EQ(second, -1);
    EXPECT_EQ(cancelText, "キャンセル");
    EXPECT_EQ(HotelNumbersShown(), replyOrder);
    ExpectSummary(ReadSummary(main.Window()), afterSearch);
}

}  // namespace
}  // namespace qx
