// The program as the user meets it: qx_front.exe started as a process of its
// own against the local web service, its windows found by caption and worked
// from here; what it shows, what reached the service, what went to the
// browser, its temporary files and its exit code are checked.
#include "ProgramCaptions.h"
#include "res/resource.h"
#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qx::test {
namespace {

const std::string kAgent = "LOVANTE-KOGEI";
const std::string kAffiliate = "/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=";

constexpr int kHotelNoColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kLowestColumn = 3;
constexpr int kHighestColumn = 4;
constexpr int kLandmarkNameColumn = 2;

std::string ProgramPath() {
    return WindowsPathOf("QX_FRONT_EXE");
}

// True when run.sh (without a display) asks for screenshots of the walk.
bool ShotsWanted() {
    return !WindowsPathOf("QX_E2E_SHOTS").empty();
}

// Saves the screen into the walk folder when one is given (run.sh without a display).
void Shot(const std::string& name) {
    static int number = 0;
    const std::string folder = WindowsPathOf("QX_E2E_SHOTS");
    if (folder.empty()) {
        return;
    }
    Sleep(400);
    char file[32];
    std::snprintf(file, sizeof file, "\\%02d-", ++number);
    SaveScreen(folder + file + name + ".bmp");
}

struct SearchDates {
    WORD year;
    WORD checkinDay;
    WORD checkoutDay;
};

SearchDates NextJanuary() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {static_cast<WORD>(now.wYear + 1), 10, 12};
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

bool IsGrouped(const std::string& money) {
    // "-"? digits in groups of three separated by commas, the first group 1-3 digits.
    std::size_t start = money.empty() || money[0] != '-' ? 0 : 1;
    const std::string digits = money.substr(start);
    if (digits.empty()) {
        return false;
    }
    const std::size_t first = (digits.size() % 4 == 0) ? 0 : digits.size() % 4;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const bool commaPlace = first > 0 ? (i >= first && (i - first) % 4 == 0) : false;
        if (commaPlace ? digits[i] != ',' : !std::isdigit(static_cast<unsigned char>(digits[i]))) {
            return false;
        }
    }
    return digits[0] != ',' && digits.back() != ',';
}

// The private files of picture downloads in the temporary folder.
std::size_t PrivatePictureFiles() {
    return TempFilesMatching("qxp*.tmp").size();
}

long Money(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c != ',') {
            digits += c;
        }
    }
    return std::strtol(digits.c_str(), nullptr, 10);
}

// The reply part of one hotel (its basic info up to the next hotel).
struct ExpectedPlan {
    std::string roomName;
    std::string planContents;
    long total;
    std::string meals;
    std::string reserveUrl;
};

struct ExpectedHotel {
    std::string name;
    double latitude = 0;
    double longitude = 0;
    std::string informationUrl;
    std::vector<ExpectedPlan> plans;
};

std::string Unescaped(std::string text) {
    for (const auto& [entity, plain] : {std::pair<std::string, std::string>{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}}) {
        for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; at += plain.size()) {
            text.replace(at, entity.size(), plain);
        }
    }
    return text;
}

// Reads a hotel and its plans out of the service's reply to the same request
// the program made (the service answers the same request the same way).
ExpectedHotel HotelFromReply(const std::string& reply, const std::string& hotelNo) {
    ExpectedHotel hotel;
    for (const std::string& info : Elements(reply, "hotelBasicInfo")) {
        if (Element(info, "hotelNo") != hotelNo) {
            continue;
        }
        hotel.name = Element(info, "hotelName");
        hotel.latitude = std::strtod(Element(info, "latitude").c_str(), nullptr);
        hotel.longitude = std::strtod(Element(info, "longitude").c_str(), nullptr);
        hotel.informationUrl = Element(info, "hotelInformationUrl");
        break;
    }
    for (const std::string& room : Elements(reply, "room")) {
        if (Element(room, "hotelNo") != hotelNo) {
            continue;
        }
        ExpectedPlan plan;
        plan.roomName = Element(room, "roomName");
        plan.planContents = Element(room, "planContents");
        plan.total = std::strtol(Element(room, "total").c_str(), nullptr, 10);
        const char* labels[] = {"[朝食] ", "[朝食選択] ", "[夕食] ", "[夕食選択] "};
        const char* flags[] = {"withBreakfastFlag", "breakfastSelectFlag", "withDinnerFlag", "dinnerSelectFlag"};
        for (int i = 0; i < 4; ++i) {
            if (std::strtol(Element(room, flags[i]).c_str(), nullptr, 10) != 0) {
                plan.meals += labels[i];
            }
        }
        plan.reserveUrl = Unescaped(Element(room, "reserveUrl"));
        hotel.plans.push_back(plan);
    }
    return hotel;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearFaults();
        logStart_ = RequestLog().size();
        DeleteFileA(TempFile("hotel_image.jpg").c_str());
        DeleteFileA(TempFile("wait_image.jpg").c_str());
    }
    void TearDown() override { ClearFaults(); }

    // Starts the program and waits for the first search conditions dialog.
    HWND StartToSearchDialog() {
        program_ = std::make_unique<Program>(ProgramPath());
        if (!program_->Started()) {
            ADD_FAILURE() << "qx_front.exe did not start from " << ProgramPath();
            return nullptr;
        }
        HWND dialog = program_->WaitForWindow(kSearchCaption);
        EXPECT_NE(dialog, nullptr) << "no search conditions dialog";
        return dialog;
    }

    // Chooses 東京都 / 東京23区内 / 千代田区, next January's dates, and searches.
    std::string SearchTokyo(HWND dialog) {
        EXPECT_TRUE(ChooseComboItem(dialog, IDC_MIDDLE_CLASS_LIST, "東京都"));
        EXPECT_TRUE(ChooseComboItem(dialog, IDC_SMALL_CLASS_LIST, "東京23区内"));
        EXPECT_TRUE(ChooseComboItem(dialog, IDC_DETAIL_CLASS_LIST, "千代田区"));
        const SearchDates dates = NextJanuary();
        SetPickerDate(dialog, IDC_CHECKIN_PICKER, dates.year, 1, dates.checkinDay);
        SetPickerDate(dialog, IDC_CHECKOUT_PICKER, dates.year, 1, dates.checkoutDay);
        Shot("search-conditions");
        if (ShotsWanted()) {
            // The reply held back long enough for a picture of the progress window.
            EXPECT_TRUE(ArmFault("/vws/1.4/rest", "delay", "&seconds=2"));
        }
        Click(dialog, IDOK);
        if (ShotsWanted() && program_->WaitForWindow(kProgressCaption) != nullptr) {
            Shot("progress");
        }
        return "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86&operation=VacantHotelSearch"
               "&version=2007-02-28&largeClassCode=japan&middleClassCode=tokyo&smallClassCode=tokyo23"
               "&detailClassCode=chiyoda&checkinDate=" +
               std::to_string(dates.year) + "-01-" + TwoDigits(dates.checkinDay) +
               "&checkoutDate=" + std::to_string(dates.year) + "-01-" + TwoDigits(dates.checkoutDay) +
               "&adultNum=1&upClassNum=0&infantWithMBNum=0&roomNum=1";
    }

    // Picks the first place found for 東京 in the landmark dialog and searches
    // around it with the default radius; returns the place's name.
    std::string SearchNearLandmark(HWND dialog) {
        const SearchDates dates = NextJanuary();
        SetPickerDate(dialog, IDC_CHECKIN_PICKER, dates.year, 1, dates.checkinDay);
        SetPickerDate(dialog, IDC_CHECKOUT_PICKER, dates.year, 1, dates.checkoutDay);
        PostMessageA(GetDlgItem(dialog, IDC_LANDMARK_RADIO), BM_CLICK, 0, 0);
        HWND landmark = program_->WaitForWindow(kLandmarkCaption);
        if (landmark == nullptr) {
            ADD_FAILURE() << "no landmark dialog";
            return std::string();
        }
        SetText(landmark, IDC_LANDMARK_TEXT, "東京");
        Click(landmark, IDC_LANDMARK_SEARCH);
        HWND places = GetDlgItem(landmark, IDC_LANDMARK_LIST);
        EXPECT_TRUE(WaitFor([&] { return RowCount(places) > 0; }, 8000));
        SelectRow(places, 0);
        const std::string place = Cell(places, 0, kLandmarkNameColumn);
        Shot("landmark-dialog");
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(landmark, IDOK)) != FALSE; }, 3000));
        Click(landmark, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(landmark); }, 5000));
        EXPECT_EQ(ItemText(dialog, IDC_LANDMARK_NAME), place);
        Click(dialog, IDOK);
        return place;
    }

    // Starts the program, searches Tokyo and waits for the main window.
    HWND StartWithTokyoList() {
        HWND dialog = StartToSearchDialog();
        if (dialog == nullptr) {
            return nullptr;
        }
        searchUrl_ = SearchTokyo(dialog);
        HWND main = program_->WaitForWindow(kMainCaption);
        EXPECT_NE(main, nullptr) << "no main window after the search";
        return main;
    }

    std::vector<std::string> ServiceTargets() const {
        std::vector<std::string> targets;
        for (const LoggedRequest& request : RequestsSince(logStart_)) {
            targets.push_back(request.target);
        }
        return targets;
    }

    // Clicks the map and the hotel page buttons of the main window; true once
    // both links have reached the browser.
    bool OpenMapAndPage(HWND main) {
        const std::size_t before = BrowserLog().size();
        Click(main, IDC_MAP_BUTTON);
        if (!WaitFor([&] { return BrowserLog().size() >= before + 1; }, 8000)) {
            return false;
        }
        Click(main, IDC_PAGE_BUTTON);
        return WaitFor([&] { return BrowserLog().size() >= before + 2; }, 8000);
    }

    void ExpectExitZero() {
        EXPECT_EQ(program_->WaitForExit(15000), 0);
        EXPECT_TRUE(program_->VisibleWindows().empty());
    }

    std::unique_ptr<Program> program_;
    std::size_t logStart_ = 0;
    std::string searchUrl_;
};

TEST_F(ProgramTest, StartupFetchesTheAreasAndCancellingTheFirstSearchExitsWithoutAMainWindow) {
    HWND dialog = StartToSearchDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<LoggedRequest> requests = RequestsSince(logStart_);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, kAreaTarget);
    EXPECT_EQ(requests[0].userAgent, kAgent);
    EXPECT_EQ(ItemText(dialog, IDCANCEL), "終了");
    EXPECT_EQ(program_->FindWindow(kMainCaption), nullptr) << "the main window showed before the first search";

    Click(dialog, IDCANCEL);
    bool mainShown = false;
    WaitFor([&] {
        mainShown = mainShown || program_->FindWindow(kMainCaption) != nullptr;
        return program_->WaitForExit(0) != -1;
    }, 15000);
    EXPECT_FALSE(mainShown);
    EXPECT_EQ(program_->WaitForExit(1000), 0);
}

// Shared by the two ways the area fetch can fail: the service is down, or it
// answers with an error status.
void CheckInertStart(Program& program) {
    const MessageBoxSeen box = AnswerMessageBox(program, "通信エラー");
    ASSERT_TRUE(box.found) << "no message about the area fetch";
    EXPECT_EQ(box.text, "エリア情報の取得ができませんでした。");
    HWND main = program.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr) << "no inert main window";
    Shot("inert-main-window");
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    EXPECT_EQ(ColumnCount(list), 0);
    EXPECT_EQ(RowCount(list), 0);
    for (int id : {IDC_AREA_SUMMARY, IDC_PERIOD_SUMMARY, IDC_BUDGET_SUMMARY, IDC_PEOPLE_SUMMARY,
                   IDC_ROOMS_SUMMARY, IDC_OPTIONS_SUMMARY}) {
        EXPECT_EQ(ItemText(main, id), "") << id;
    }
    // The hotel buttons find no hotel and do nothing.
    Click(main, IDC_PLAN_BUTTON);
    Sleep(500);
    EXPECT_EQ(program.FindWindow(kPlanCaptionEnd, true), nullptr);
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.WaitForExit(15000), 0);
}

TEST_F(ProgramTest, AreaFetchErrorShowsTheMessageAndAnInertWindowThatClosesWithZero) {
    ASSERT_TRUE(ArmFault("/vws/1.4/rest", "status500"));
    Program program(ProgramPath());
    ASSERT_TRUE(program.Started());
    CheckInertStart(program);
}

// Run by the test script while the service is not running at all.
TEST(ServiceDown, AreaFetchFailureShowsTheMessageAndAnInertWindowThatClosesWithZero) {
    Program program(ProgramPath());
    ASSERT_TRUE(program.Started());
    CheckInertStart(program);
}

TEST_F(ProgramTest, InertWindowSearchBindsTheListAfterAll) {
    ASSERT_TRUE(ArmFault("/vws/1.4/rest", "status500"));
    program_ = std::make_unique<Program>(ProgramPath());
    ASSERT_TRUE(AnswerMessageBox(*program_, "通信エラー").found);
    HWND main = program_->WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    Click(main, IDC_SEARCH_BUTTON);
    HWND dialog = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(dialog, nullptr);
    // Without the areas only a landmark search can find anything.
    const std::string place = SearchNearLandmark(dialog);
    ASSERT_TRUE(WaitFor([&] { return program_->FindWindow(kSearchCaption) == nullptr; }, 15000));
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    EXPECT_EQ(ColumnCount(list), 6);
    EXPECT_GT(RowCount(list), 0);
    EXPECT_EQ(SortArrow(list, kNameColumn), HDF_SORTUP);
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), place + " から半径 1000[m] のエリア");
    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
}

TEST_F(ProgramTest, TokyoSearchListsHotelsSortedByNameWithSummaries) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    Shot("main-window");
    const std::vector<std::string> targets = ServiceTargets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], kAreaTarget);
    EXPECT_EQ(targets[1], searchUrl_);
    for (const LoggedRequest& request : RequestsSince(logStart_)) {
        EXPECT_EQ(request.userAgent, kAgent);
    }

    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    const std::string reply = ToCodePage932(Fetch(searchUrl_));
    const std::vector<std::string> hotelNumbers = Elements(reply, "hotelNo");
    ASSERT_GT(RowCount(list), 1);
    EXPECT_EQ(ColumnCount(list), 6);
    EXPECT_EQ(ColumnWidth(list, kHotelNoColumn), 0);
    const std::vector<std::string> names = Column(list, kNameColumn);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const std::string& a, const std::string& b) { return lstrcmpA(a.c_str(), b.c_str()) < 0; }));
    EXPECT_EQ(SortArrow(list, kNameColumn), HDF_SORTUP);
    for (int column : {kLowestColumn, kHighestColumn}) {
        for (const std::string& money : Column(list, column)) {
            EXPECT_TRUE(IsGrouped(money)) << money;
        }
    }
    for (const std::string& number : Column(list, kHotelNoColumn)) {
        EXPECT_NE(std::find(hotelNumbers.begin(), hotelNumbers.end(), number), hotelNumbers.end()) << number;
    }
    EXPECT_EQ(ItemText(main, IDC_HOTEL_COUNT), std::to_string(RowCount(list)) + " 件");

    const SearchDates dates = NextJanuary();
    const std::string year = std::to_string(dates.year);
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), "東京都 東京23区内 千代田区");
    EXPECT_EQ(ItemText(main, IDC_PERIOD_SUMMARY), year + "年1月10日 ～ " + year + "年1月12日");
    EXPECT_EQ(ItemText(main, IDC_BUDGET_SUMMARY), "指定なし");
    EXPECT_EQ(ItemText(main, IDC_PEOPLE_SUMMARY), "大人 [1] ");
    EXPECT_EQ(ItemText(main, IDC_ROOMS_SUMMARY), "1");
    EXPECT_EQ(ItemText(main, IDC_OPTIONS_SUMMARY), "指定なし");

    // The hotel buttons follow the selection.
    ASSERT_LT(SelectedRow(list), 0);
    for (int id : {IDC_MAP_BUTTON, IDC_PLAN_BUTTON, IDC_PAGE_BUTTON}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, id))) << id;
    }
    SelectRow(list, 1);
    for (int id : {IDC_MAP_BUTTON, IDC_PLAN_BUTTON, IDC_PAGE_BUTTON}) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, id))) << id;
    }

    // Help opens a window of its own (the help file lies beside the program).
    const std::size_t windows = program_->VisibleWindows().size();
    Click(main, IDC_HELP_BUTTON);
    EXPECT_TRUE(WaitFor([&] { return program_->VisibleWindows().size() > windows; }, 10000)) << "no help window";
    Shot("help");

    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
}

TEST_F(ProgramTest, PriceSortThenPlansShowTheSelectedHotelAndCloseDeletesThePictures) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    ClickHeader(list, kLowestColumn);
    ASSERT_TRUE(WaitFor([&] { return SortArrow(list, kLowestColumn) == HDF_SORTUP; }, 3000));
    std::vector<long> prices;
    for (const std::string& money : Column(list, kLowestColumn)) {
        prices.push_back(Money(money));
    }
    EXPECT_TRUE(std::is_sorted(prices.begin(), prices.end()));
    EXPECT_EQ(SortArrow(list, kNameColumn), 0);

    // The last row after the sort: not the hotel that row held before.
    const int row = RowCount(list) - 1;
    SelectRow(list, row);
    const std::string hotelNo = Cell(list, row, kHotelNoColumn);
    const ExpectedHotel hotel = HotelFromReply(ToCodePage932(Fetch(searchUrl_)), hotelNo);
    ASSERT_FALSE(hotel.name.empty());
    EXPECT_EQ(Cell(list, row, kNameColumn), hotel.name);

    // The picture arrives late, so the waiting picture can be seen first.
    ASSERT_TRUE(ArmFault("/img/", "delay", "&seconds=2"));
    Click(main, IDC_PLAN_BUTTON);
    HWND plan = program_->WaitForWindow(hotel.name + kPlanCaptionEnd);
    ASSERT_NE(plan, nullptr) << "no plan dialog for " << hotel.name;
    Sleep(700);
    const std::vector<DWORD> waiting = ScreenPixels(GetDlgItem(plan, IDC_HOTEL_PICTURE));
    EXPECT_TRUE(FileExists(TempFile("wait_image.jpg")));
    EXPECT_EQ(ItemText(plan, IDC_HOTEL_NAME), hotel.name);

    HWND plans = GetDlgItem(plan, IDC_PLAN_LIST);
    std::vector<ExpectedPlan> expected = hotel.plans;
    std::stable_sort(expected.begin(), expected.end(), [](const ExpectedPlan& a, const ExpectedPlan& b) {
        return lstrcmpA(a.roomName.c_str(), b.roomName.c_str()) < 0;
    });
    ASSERT_EQ(RowCount(plans), static_cast<int>(expected.size()));
    EXPECT_EQ(SortArrow(plans, 1), HDF_SORTUP);
    for (int i = 0; i < RowCount(plans); ++i) {
        EXPECT_EQ(Cell(plans, i, 1), expected[i].roomName) << i;
        EXPECT_EQ(Money(Cell(plans, i, 3)), expected[i].total) << i;
        EXPECT_TRUE(IsGrouped(Cell(plans, i, 3)));
        EXPECT_EQ(Cell(plans, i, 4), expected[i].meals) << i;
        EXPECT_EQ(Cell(plans, i, 0), expected[i].reserveUrl) << i;
    }
    // The first plan in reply order is the selected one.
    ASSERT_GE(SelectedRow(plans), 0);
    EXPECT_EQ(Cell(plans, SelectedRow(plans), 0), hotel.plans.front().reserveUrl);

    ASSERT_TRUE(WaitFor([&] { return ScreenPixels(GetDlgItem(plan, IDC_HOTEL_PICTURE)) != waiting; }, 8000))
        << "the hotel picture never replaced the waiting picture";
    EXPECT_TRUE(FileExists(TempFile("hotel_image.jpg")));
    Shot("plan-dialog");

    Click(plan, IDC_PLAN_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000));
    EXPECT_FALSE(FileExists(TempFile("hotel_image.jpg")));
    EXPECT_FALSE(FileExists(TempFile("wait_image.jpg")));
    EXPECT_NE(program_->FindWindow(kMainCaption), nullptr);

    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
}

// A picture request the service never answers keeps its worker past the
// plan window and the program's end; its private file must go all the same.
TEST_F(ProgramTest, ExitDuringAStalledPictureDownloadLeavesNoFile) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    SelectRow(list, 0);
    const std::size_t filesBefore = PrivatePictureFiles();
    ASSERT_TRUE(ArmFault("/img/", "hang", "&seconds=20"));
    Click(main, IDC_PLAN_BUTTON);
    HWND plan = program_->WaitForWindow(Cell(list, 0, kNameColumn) + kPlanCaptionEnd);
    ASSERT_NE(plan, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::string> targets = ServiceTargets();
        return !targets.empty() && targets.back().find("/img/") != std::string::npos;
    }, 5000));
    EXPECT_EQ(PrivatePictureFiles(), filesBefore + 1);
    Click(plan, IDC_PLAN_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000));
    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
    EXPECT_EQ(PrivatePictureFiles(), filesBefore);
    EXPECT_FALSE(FileExists(TempFile("hotel_image.jpg")));
    EXPECT_FALSE(FileExists(TempFile("wait_image.jpg")));
}

TEST_F(ProgramTest, MapHotelPageAndReservationReachTheBrowserExactly) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    SelectRow(list, 0);
    const std::string hotelNo = Cell(list, 0, kHotelNoColumn);
    const ExpectedHotel hotel = HotelFromReply(ToCodePage932(Fetch(searchUrl_)), hotelNo);
    ASSERT_FALSE(hotel.plans.empty());

    const std::size_t before = BrowserLog().size();
    ASSERT_TRUE(OpenMapAndPage(main));

    Click(main, IDC_PLAN_BUTTON);
    HWND plan = program_->WaitForWindow(hotel.name + kPlanCaptionEnd);
    ASSERT_NE(plan, nullptr);
    HWND plans = GetDlgItem(plan, IDC_PLAN_LIST);
    const std::string reserveUrl = Cell(plans, SelectedRow(plans), 0);
    Click(plan, IDC_RESERVE_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return BrowserLog().size() >= before + 3; }, 8000));
    Click(plan, IDC_PLAN_CANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000));

    const double lat = hotel.latitude / 3600.0;
    const double lon = hotel.longitude / 3600.0;
    char map[160];
    std::snprintf(map, sizeof map, "/maps?spn=0.01,0.01&z=18&ll=%.06f,%.06f",
                  lat - lat * 0.00010695 + lon * 0.000017464 + 0.0046017,
                  lon - lat * 0.000046038 - lon * 0.000083043 + 0.01004);
    std::vector<std::string> expected = {
        WithoutUnreservedEscapes(ServiceUrl(map)),
        WithoutUnreservedEscapes(ServiceUrl(kAffiliate + PercentEncodeAll(hotel.informationUrl))),
        WithoutUnreservedEscapes(ServiceUrl(kAffiliate + PercentEncodeAll(reserveUrl))),
    };
    std::vector<std::string> opened = BrowserUrlsSince(before);
    EXPECT_EQ(opened, expected);
    EXPECT_NE(std::find_if(hotel.plans.begin(), hotel.plans.end(),
                           [&](const ExpectedPlan& p) { return p.reserveUrl == reserveUrl; }),
              hotel.plans.end());

    PostMessageA(main, WM_CLOSE, 0, 0);
    ExpectExitZero();
}

TEST_F(ProgramTest, NotFoundAndServerErrorKeepTheSearchDialogOpen) {
    HWND dialog = StartToSearchDialog();
    ASSERT_NE(dialog, nullptr);
    struct Case {
        const char* kind;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"notfound", "検索結果", "検索条件に該当する宿泊施設は見つかりませんでした。"},
        {"servererror", "サーバエラー", "サーバでエラーが発生しました。\nしばらく時間をおいてから検索してください。"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ArmFault("/vws/1.4/rest", c.kind));
        SearchTokyo(dialog);
        const MessageBoxSeen box = AnswerMessageBox(*program_, c.caption);
        EXPECT_TRUE(box.found) << c.kind;
        EXPECT_EQ(box.text, c.text);
        EXPECT_NE(program_->FindWindow(kSearchCaption), nullptr) << c.kind;
        EXPECT_EQ(program_->FindWindow(kMainCaption), nullptr) << c.kind;
    }
    Click(dialog, IDCANCEL);
    EXPECT_EQ(program_->WaitForExit(15000), 0);
}

TEST_F(ProgramTest, LandmarkSearchEndToEnd) {
    HWND dialog = StartToSearchDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string place = SearchNearLandmark(dialog);
    ASSERT_FALSE(place.empty());
    HWND main = program_->WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr);
    Shot("main-window-landmark");

    const std::vector<std::string> targets = ServiceTargets();
    ASSERT_GE(targets.size(), 3u);
    EXPECT_NE(targets[1].find("/php/geoscan.php?q="), std::string::npos) << targets[1];
    const std::string& search = targets.back();
    EXPECT_NE(search.find("&largeClassCode=japan&latitude="), std::string::npos) << search;
    EXPECT_NE(search.find("&searchRadius=1.0&checkinDate="), std::string::npos) << search;
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), place + " から半径 1000[m] のエリア");
    EXPECT_GT(RowCount(GetDlgItem(main, IDC_HOTEL_LIST)), 0);

    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
}

TEST_F(ProgramTest, NewSearchFromTheMainWindowKeepsReplyOrderUnderTheOldArrow) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    Click(main, IDC_SEARCH_BUTTON);
    HWND dialog = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ItemText(dialog, IDC_MIDDLE_CLASS_LIST), "東京都");
    ASSERT_TRUE(ChooseComboItem(dialog, IDC_DETAIL_CLASS_LIST, "中央区"));
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return program_->FindWindow(kSearchCaption) == nullptr; }, 15000));
    const std::vector<std::string> targets = ServiceTargets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_NE(targets[2].find("&detailClassCode=chuo&"), std::string::npos) << targets[2];

    const std::vector<std::string> replyOrder = Elements(Fetch(targets[2]), "hotelNo");
    std::vector<std::string> unique;
    for (const std::string& number : replyOrder) {
        if (unique.empty() || unique.back() != number) {
            unique.push_back(number);
        }
    }
    std::vector<std::string> listed = Column(list, kHotelNoColumn);
    std::vector<std::string> firstSeen;
    for (const std::string& number : unique) {
        if (std::find(firstSeen.begin(), firstSeen.end(), number) == firstSeen.end()) {
            firstSeen.push_back(number);
        }
    }
    EXPECT_EQ(listed, firstSeen);
    EXPECT_EQ(SortArrow(list, kNameColumn), HDF_SORTUP);
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), "東京都 東京23区内 中央区");

    // The whole of the wards, no district chosen: the service sends more
    // hotels than fit on one of its pages; every page is read, listed and
    // counted, and a sort by price orders all of them.
    const std::size_t requestsBefore = ServiceTargets().size();
    Click(main, IDC_SEARCH_BUTTON);
    dialog = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return program_->FindWindow(kSearchCaption) == nullptr; }, 30000));
    const std::vector<std::string> sent = ServiceTargets();
    const std::vector<std::string> pageTargets(sent.begin() + static_cast<std::ptrdiff_t>(requestsBefore), sent.end());
    ASSERT_FALSE(pageTargets.empty());
    const std::string wards = pageTargets[0];
    EXPECT_EQ(wards.find("&detailClassCode="), std::string::npos) << wards;
    const std::string firstPage = Fetch(wards);
    const int records = std::atoi(Element(firstPage, "recordCount").c_str());
    const int pages = std::atoi(Element(firstPage, "pageCount").c_str());
    ASSERT_GT(pages, 3) << wards;
    ASSERT_EQ(pageTargets.size(), static_cast<std::size_t>(pages));
    long cheapest = Money(Element(firstPage, "lowestCharge"));
    for (int page = 1; page <= pages; ++page) {
        const std::string target = page == 1 ? wards : wards + "&page=" + std::to_string(page);
        EXPECT_EQ(pageTargets[static_cast<std::size_t>(page - 1)], target);
        for (const std::string& detail : Elements(page == 1 ? firstPage : Fetch(target), "hotelDetailInfo")) {
            cheapest = std::min(cheapest, Money(Element(detail, "lowestCharge")));
        }
    }
    EXPECT_EQ(RowCount(list), records);
    EXPECT_EQ(ItemText(main, IDC_HOTEL_COUNT), std::to_string(records) + " 件");
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), "東京都 東京23区内");
    ClickHeader(list, kLowestColumn);
    ASSERT_TRUE(WaitFor([&] { return SortArrow(list, kLowestColumn) == HDF_SORTUP; }, 3000));
    EXPECT_EQ(Money(Cell(list, 0, kLowestColumn)), cheapest);
    Shot("main-window-every-page");

    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectExitZero();
}

// The picture download of the plan window pumps messages without the dialog
// manager, so keys are typed only once the picture has been copied in.
bool HotelPictureArrived() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExA(TempFile("hotel_image.jpg").c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

// Keys alone, typed as real keyboard input: Enter searches and leaves the
// keyboard on the hotel list with no row chosen, where Enter does nothing; an
// arrow key chooses a hotel, Enter opens its plans, Esc closes the modal
// windows but not the main window, Tab walks the controls in template order
// from the list on, and Space presses buttons. A search from the main window
// leaves the list as the first one did; Space on the exit button ends the program.
TEST_F(ProgramTest, KeyboardAloneSearchesOpensPlansAndExits) {
    HWND dialog = StartToSearchDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressKey(dialog, VK_RETURN));
    HWND main = program_->WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr) << "Enter did not search with the default conditions";
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    const auto focusReaches = [&](int id) {
        HWND control = GetDlgItem(main, id);
        return control != nullptr && WaitFor([&] { return FocusOf(main) == control; }, 5000);
    };
    const auto pressUntil = [&](std::initializer_list<int> ids, bool shift) {
        for (int id : ids) {
            if (!PressKey(main, VK_TAB, shift) || !focusReaches(id)) {
                ADD_FAILURE() << (shift ? "Shift+Tab" : "Tab") << " did not reach " << id;
                return false;
            }
        }
        return true;
    };
    const auto hotelButtonsOff = [&] {
        for (int id : {IDC_MAP_BUTTON, IDC_PLAN_BUTTON, IDC_PAGE_BUTTON}) {
            if (IsWindowEnabled(GetDlgItem(main, id))) {
                return false;
            }
        }
        return true;
    };
    const auto listAwaitsAChoice = [&] {
        const bool focused = focusReaches(IDC_HOTEL_LIST);
        EXPECT_TRUE(focused) << "the search left the focus on " << GetDlgCtrlID(FocusOf(main));
        EXPECT_EQ(FocusedRow(list), 0);
        EXPECT_EQ(SelectedRow(list), -1);
        EXPECT_TRUE(hotelButtonsOff());
        return focused && FocusedRow(list) == 0 && SelectedRow(list) == -1 && hotelButtonsOff();
    };
    ASSERT_TRUE(listAwaitsAChoice());
    ASSERT_GT(RowCount(list), 1);

    // Keys are handled in order: the Down reaches the list only if the Enter
    // before it opened nothing and ended nothing.
    ASSERT_TRUE(PressKey(main, VK_RETURN));
    ASSERT_TRUE(PressKey(main, VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return SelectedRow(list) == 1; }, 5000)) << "Down did not choose the second row";
    EXPECT_FALSE(hotelButtonsOff());
    ASSERT_TRUE(PressKey(main, VK_RETURN));
    HWND plan = program_->WaitForWindow(Cell(list, 1, kNameColumn) + kPlanCaptionEnd);
    ASSERT_NE(plan, nullptr) << "Enter on the list did not open the plans of the chosen row";
    ASSERT_TRUE(WaitFor(HotelPictureArrived, 8000));
    ASSERT_TRUE(PressKey(plan, VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000));
    // The Tabs below show the window outlived this Esc.
    ASSERT_TRUE(PressKey(main, VK_ESCAPE));

    ASSERT_TRUE(pressUntil({IDC_MAP_BUTTON, IDC_CHECKIN_CALENDAR, IDC_AREA_SUMMARY, IDC_PERIOD_SUMMARY,
                            IDC_BUDGET_SUMMARY, IDC_PEOPLE_SUMMARY, IDC_OPTIONS_SUMMARY, IDC_SEARCH_BUTTON},
                           false));
    // Space opens the conditions; Esc cancels them, and a landmark window too.
    ASSERT_TRUE(PressKey(main, VK_SPACE));
    HWND conditions = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(conditions, nullptr);
    PostMessageA(GetDlgItem(conditions, IDC_LANDMARK_RADIO), BM_CLICK, 0, 0);
    HWND landmark = program_->WaitForWindow(kLandmarkCaption);
    ASSERT_NE(landmark, nullptr);
    ASSERT_TRUE(PressKey(landmark, VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(landmark); }, 5000));
    ASSERT_TRUE(PressKey(conditions, VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(conditions); }, 5000));
    ASSERT_TRUE(focusReaches(IDC_SEARCH_BUTTON));
    ASSERT_TRUE(pressUntil({IDC_ROOMS_SUMMARY, IDC_PLAN_BUTTON, IDC_PAGE_BUTTON, IDC_HELP_BUTTON, IDC_MAIN_EXIT}, false));
    ASSERT_TRUE(pressUntil({IDC_HELP_BUTTON, IDC_PAGE_BUTTON, IDC_PLAN_BUTTON, IDC_ROOMS_SUMMARY, IDC_SEARCH_BUTTON},
                           true));

    // Space and Enter search again: the list awaits a choice as after the
    // first search, and Tab passes the hotel buttons by while they are off.
    ASSERT_TRUE(PressKey(main, VK_SPACE));
    conditions = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(conditions, nullptr);
    ASSERT_TRUE(PressKey(conditions, VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(conditions); }, 15000));
    ASSERT_TRUE(listAwaitsAChoice());
    ASSERT_TRUE(pressUntil({IDC_CHECKIN_CALENDAR, IDC_AREA_SUMMARY, IDC_PERIOD_SUMMARY, IDC_BUDGET_SUMMARY,
                            IDC_PEOPLE_SUMMARY, IDC_OPTIONS_SUMMARY, IDC_SEARCH_BUTTON, IDC_ROOMS_SUMMARY,
                            IDC_HELP_BUTTON, IDC_MAIN_EXIT},
                           false));
    ASSERT_TRUE(PressKey(main, VK_SPACE));
    ExpectExitZero();
}

// The program built for https: its four hosts are the local web service's TLS
// listener (program_https_e2e), which presents the certificate a test chooses.
class HttpsProgram : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        origin_ = "https://localhost:" + std::to_string(TlsState().port);
        ASSERT_TRUE(PresentCertificate("localhost")) << "the service has no TLS listener";
    }
    void TearDown() override {
        PresentCertificate("localhost");
        ProgramTest::TearDown();
    }

    // Every request since the test began came over TLS, and there was one.
    void ExpectAllOverTls() const {
        const std::vector<LoggedRequest> requests = RequestsSince(logStart_);
        EXPECT_FALSE(requests.empty());
        for (const LoggedRequest& request : requests) {
            EXPECT_EQ(request.scheme, "https") << request.target;
        }
    }

    // How many requests since the test began name part in their target.
    int TargetsWith(const std::string& part) const {
        const std::vector<std::string> targets = ServiceTargets();
        return static_cast<int>(std::count_if(targets.begin(), targets.end(), [&](const std::string& target) {
            return target.find(part) != std::string::npos;
        }));
    }

    std::string origin_;
};

// Start-up, a search, a plan window with its picture, the links, a landmark
// search: every request over TLS, every link with https.
TEST_F(HttpsProgram, WalksOverTlsAndLinksWithHttps) {
    HWND main = StartWithTokyoList();
    ASSERT_NE(main, nullptr);
    const std::vector<std::string> targets = ServiceTargets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], kAreaTarget);
    EXPECT_EQ(targets[1], searchUrl_);
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    ASSERT_GT(RowCount(list), 0);
    SelectRow(list, 0);

    const std::size_t before = BrowserLog().size();
    ASSERT_TRUE(OpenMapAndPage(main));

    Click(main, IDC_PLAN_BUTTON);
    HWND plan = program_->WaitForWindow(Cell(list, 0, kNameColumn) + kPlanCaptionEnd);
    ASSERT_NE(plan, nullptr);
    ASSERT_TRUE(WaitFor(HotelPictureArrived, 8000)) << "no hotel picture over TLS";
    EXPECT_EQ(TargetsWith("/img/hotel/"), 1);
    HWND plans = GetDlgItem(plan, IDC_PLAN_LIST);
    const std::string reserveUrl = Cell(plans, SelectedRow(plans), 0);
    EXPECT_EQ(reserveUrl.rfind(origin_ + "/reserve/plan?", 0), 0u) << reserveUrl;
    Click(plan, IDC_RESERVE_BUTTON);
    ASSERT_TRUE(WaitFor([&] { return BrowserLog().size() >= before + 3; }, 8000));
    Click(plan, IDC_PLAN_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000));

    const std::vector<std::string> opened = BrowserUrlsSince(before);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0].rfind(origin_ + "/maps?spn=0.01,0.01&z=18&ll=", 0), 0u) << opened[0];
    EXPECT_EQ(opened[1].rfind(origin_ + kAffiliate + WithoutUnreservedEscapes(PercentEncodeAll(origin_)), 0), 0u)
        << opened[1];
    EXPECT_EQ(opened[2], WithoutUnreservedEscapes(origin_ + kAffiliate + PercentEncodeAll(reserveUrl)));

    Click(main, IDC_SEARCH_BUTTON);
    HWND dialog = program_->WaitForWindow(kSearchCaption);
    ASSERT_NE(dialog, nullptr);
    const std::string place = SearchNearLandmark(dialog);
    ASSERT_TRUE(WaitFor([&] { return program_->FindWindow(kSearchCaption) == nullptr; }, 15000));
    EXPECT_EQ(ItemText(main, IDC_AREA_SUMMARY), place + " から半径 1000[m] のエリア");
    EXPECT_EQ(TargetsWith("/php/geoscan.php?q="), 1);
    ExpectAllOverTls();

    Click(main, IDC_MAIN_EXIT);
    ExpectExitZero();
}

// A certificate the platform refuses fails the area fetch like any failure:
// the message, the inert window, exit code 0. The program reached the TLS
// listener, but no request came past the handshake.
TEST_F(HttpsProgram, RefusedCertificateStopsTheStartAsAFailedAreaFetch) {
    for (const char* certificate : {"wrong-name", "expired", "untrusted"}) {
        SCOPED_TRACE(certificate);
        ASSERT_TRUE(PresentCertificate(certificate));
        const TlsListener before = TlsState();
        const std::size_t logStart = RequestLog().size();
        Program program(ProgramPath());
        ASSERT_TRUE(program.Started());
        CheckInertStart(program);
        const TlsListener after = TlsState();
        EXPECT_GT(after.connections, before.connections) << "the program never reached the TLS listener";
        EXPECT_TRUE(RequestsSince(logStart).empty());
        std::printf("%s: %d connections, %d handshakes completed, %d failed\n", certificate,
                    after.connections - before.connections, after.handshakes - before.handshakes,
                    after.failedHandshakes - before.failedHandshakes);
    }
}

}  // namespace
}  // namespace qx::test
