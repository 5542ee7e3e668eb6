// The search conditions dialog on its real template, against the local web
// service that the test command starts (tools/with-localweb.sh).
#include "search/SearchConditionsDialog.h"

#include <commctrl.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "details/LandmarkDialog.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RemoteWindows.h"
#include "res/resource.h"
#include "search/ConditionSummary.h"
#include "search/LocalDateTime.h"
#include "search/SearchRequest.h"
#include "tests/support/LocalService.h"

namespace qx {
namespace {

// The same, with the middle class of that code sent without small classes.
std::string FetchAreaReplyWithBareMiddleClass(const std::string& middleCode) {
    if (test::Fetch("/_control/areas?path=/vws/&bare=" + middleCode).find("\"armed\"") == std::string::npos) {
        return {};
    }
    return test::FetchAreaReply();
}

// The request targets of every VacantHotelSearch the service has logged, oldest first.
std::vector<std::string> LoggedSearchTargets() {
    std::vector<std::string> targets;
    for (const test::LoggedRequest& request : test::RequestsSince(0)) {
        if (request.target.find("operation=VacantHotelSearch") != std::string::npos) {
            targets.push_back(request.target);
        }
    }
    return targets;
}

using test::ModalDriver;
using test::MessageBoxView;

constexpr char kDialogCaption[] = "検索条件設定";
constexpr char kLandmarkCaption[] = "エリア指定";
constexpr char kProgressCaption[] = "通信中";
constexpr char kNoReplyText[] = "データの受信ができませんでした。\nしばらく時間をおいてから検索してください。";

LocalDateTime Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LocalDateTime today;
    std::memcpy(static_cast<void*>(&today), &now, sizeof today);
    return today;
}

SYSTEMTIME AsSystemTime(const LocalDateTime& date) {
    SYSTEMTIME time;
    std::memcpy(&time, &date, sizeof time);
    return time;
}

std::string DateText(const SYSTEMTIME& t) {
    return std::to_string(t.wYear) + '-' + std::to_string(t.wMonth) + '-' + std::to_string(t.wDay);
}

std::string DateText(const LocalDateTime& t) {
    return DateText(AsSystemTime(t));
}

// A middle and small class of the service's hierarchy, found by what the
// small class has.
struct AreaChoice {
    int middle = -1;
    int small = -1;
    std::vector<std::string> detailNames;
};

AreaChoice FindSmallClass(const std::string& areaReply, bool withDetails) {
    AreaCatalogue catalogue;
    catalogue.SetReplyText(areaReply);
    catalogue.ListMiddleClasses();
    for (const AreaClass& middle : std::vector<AreaClass>(catalogue.middleClasses)) {
        catalogue.ListSmallClasses(middle.index);
        for (const AreaClass& small : std::vector<AreaClass>(catalogue.smallClasses)) {
            if (catalogue.ListDetailClasses(small.index) == withDetails) {
                AreaChoice choice{middle.index, small.index, {}};
                for (const AreaClass& detail : catalogue.detailClasses) {
                    choice.detailNames.push_back(detail.name);
                }
                return choice;
            }
        }
    }
    return {};
}

// Whether the window has an input context; asked on the window's own thread.
bool InputContextOf(HWND window) {
    HIMC context = ImmGetContext(window);
    if (context == nullptr) {
        return false;
    }
    ImmReleaseContext(window, context);
    return true;
}

struct OwnedDialogSearch {
    HWND owner;
    bool found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(parameter);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    search->found = search->found || (GetWindow(window, GW_OWNER) == search->owner && std::string(className) == "#32770");
    return TRUE;
}

// Whether a dialog (a message box, say) owned by owner exists, shown or not
// yet; asked on the owner's thread.
bool OwnsADialog(HWND owner) {
    OwnedDialogSearch search{owner, false};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class SearchConditionsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitCommonControls();
        areaReply_ = test::FetchAreaReply();
    }

    void SetUp() override {
        ASSERT_TRUE(test::ServiceStartedAroundTest()) << "the local web service is not running";
        ASSERT_FALSE(areaReply_.empty()) << "no area reply from the local web service";
        catalogue.SetReplyText(areaReply_);
        test::ClearFaults();
    }

    INT_PTR Run(bool conditionsExist, const std::function<void(ModalDriver&, HWND)>& script) {
        SearchConditionsDialog dialog(catalogue, reply, conditions, conditionsExist, hosts,
                                      LandmarkDialogPicker(hosts));
        return ModalDriver().Run([&] { return dialog.DoModal(nullptr, IDD_SEARCH_CONDITIONS); },
                                 [&](ModalDriver& driver) {
                                     HWND window = driver.WaitForDialog(kDialogCaption);
                                     ASSERT_NE(window, nullptr);
                                     script(driver, window);
                                 });
    }

    // Only the hotel web service answers: a request sent to the host of
    // another service is refused (nothing listens on those ports).
    ServiceHosts hosts{{UrlScheme::Http, test::ServiceHost()},
                       {UrlScheme::Http, "127.0.0.1:1"},
                       {UrlScheme::Http, "127.0.0.1:2"},
                       {UrlScheme::Http, "127.0.0.1:3"}};

    // Held conditions as a successful landmark search leaves them.
    static SearchConditions HeldLandmarkSearch() {
        SearchConditions held;
        held.areaMode = kAreaModeNearLandmark;
        std::strcpy(held.landmarkName, "東京タワー");
        held.latitude = 35.658581;
        held.longitude = 139.745433;
        held.radiusMetres = 1500;
        held.middleClassIndex = 12;
        held.smallClassIndex = 0;
        held.detailClassIndex = 1;
        held.checkinDate = AddDays(Today(), 10);
        held.checkoutDate = AddDays(Today(), 13);
        held.adultNum = 2;
        held.upClassNum = 1;
        held.infantWithMBNum = 0;
        held.roomNum = 2;
        held.minCharge = 3000;
        held.maxCharge = 18000;
        held.kinen = 1;
        held.onsen = 1;
        held.dinner = 1;
        return held;
    }

    static std::string areaReply_;
    AreaCatalogue catalogue;
    HotelSearchReply reply;
    SearchConditions conditions;
};

std::string SearchConditionsDialogTest::areaReply_;

TEST_F(SearchConditionsDialogTest, StartsWithTheDefaults) {
    std::strcpy(conditions.landmarkName, "前回の建物");
    AreaCatalogue expected;
    expected.SetReplyText(areaReply_);
    expected.ListMiddleClasses();
    expected.ListSmallClasses(12);
    const bool tokyoHasDetails = expected.ListDetailClasses(0);
    const LocalDateTime checkin = AddDays(Today(), 2);
    const LocalDateTime checkout = AddDays(checkin, 2);

    const INT_PTR result = Run(false, [&](ModalDriver&, HWND dialog) {
        auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
        EXPECT_EQ(test::Text(item(IDCANCEL)), "終了");
        EXPECT_TRUE(test::IsButtonChecked(item(IDC_AREA_RADIO)));
        EXPECT_FALSE(test::IsButtonChecked(item(IDC_LANDMARK_RADIO)));

        EXPECT_EQ(test::ComboCount(item(IDC_MIDDLE_CLASS_LIST)), 47);
        EXPECT_EQ(test::ComboSelection(item(IDC_MIDDLE_CLASS_LIST)), 12);
        EXPECT_EQ(test::ComboSelectedText(item(IDC_MIDDLE_CLASS_LIST)), "東京都");
        EXPECT_EQ(test::ComboCount(item(IDC_SMALL_CLASS_LIST)), static_cast<int>(expected.smallClasses.size()));
        EXPECT_EQ(test::ComboSelection(item(IDC_SMALL_CLASS_LIST)), 0);
        EXPECT_EQ(test::ComboSelectedText(item(IDC_SMALL_CLASS_LIST)), expected.smallClasses.at(0).name);
        EXPECT_EQ(IsWindowVisible(item(IDC_DETAIL_CLASS_LIST)) != FALSE, tokyoHasDetails);
        for (int id : {IDC_MIDDLE_CLASS_LIST, IDC_SMALL_CLASS_LIST, IDC_DETAIL_CLASS_LIST}) {
            EXPECT_TRUE(IsWindowEnabled(item(id))) << id;
        }
        EXPECT_FALSE(IsWindowEnabled(item(IDC_RADIUS_LIST)));

        const struct {
            int id;
            int count;
            std::string first;
            std::string selected;
        } lists[] = {
            {IDC_ADULT_LIST, 10, "0", "1"},        {IDC_CHILD_LIST, 10, "0", "0"},
            {IDC_INFANT_LIST, 10, "0", "0"},       {IDC_ROOM_LIST, 9, "1", "1"},
            {IDC_RADIUS_LIST, 6, "500 [m]", "1000 [m]"},
        };
        for (const auto& list : lists) {
            EXPECT_EQ(test::ComboCount(item(list.id)), list.count) << list.id;
            EXPECT_EQ(test::ComboItemText(item(list.id), 0), list.first) << list.id;
            EXPECT_EQ(test::ComboSelectedText(item(list.id)), list.selected) << list.id;
        }
        EXPECT_EQ(test::ComboItemText(item(IDC_RADIUS_LIST), 5), "3000 [m]");

        EXPECT_NE(GetWindowLongA(item(IDC_LANDMARK_NAME), GWL_STYLE) & ES_READONLY, 0);
        EXPECT_EQ(test::Text(item(IDC_LANDMARK_NAME)), "");

        EXPECT_FALSE(test::IsButtonChecked(item(IDC_BUDGET_CHECK)));
        EXPECT_EQ(test::Text(item(IDC_BUDGET_MIN)), "5000");
        EXPECT_EQ(test::Text(item(IDC_BUDGET_MAX)), "10000");
        EXPECT_FALSE(IsWindowEnabled(item(IDC_BUDGET_MIN)));
        EXPECT_FALSE(IsWindowEnabled(item(IDC_BUDGET_MAX)));

        const SYSTEMTIME checkinShown = test::PickerDate(item(IDC_CHECKIN_PICKER));
        const SYSTEMTIME checkoutShown = test::PickerDate(item(IDC_CHECKOUT_PICKER));
        EXPECT_EQ(DateText(checkinShown), DateText(checkin));
        EXPECT_EQ(DateText(checkoutShown), DateText(checkout));
        EXPECT_EQ(checkinShown.wHour * 60 + checkinShown.wMinute, checkoutShown.wHour * 60 + checkoutShown.wMinute);

        HWND options = item(IDC_OPTION_LIST);
        const DWORD styles = static_cast<DWORD>(SendMessageA(options, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(styles & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP),
                  static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP));
        const char* facilities[] = {"禁煙", "インターネット", "大浴場", "温泉", "朝食あり", "夕食あり"};
        ASSERT_EQ(test::RowCount(options), 6);
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(test::Cell(options, row, 0), facilities[row]);
            EXPECT_EQ(test::ListStateImage(options, row), 1) << row;
        }
        char title[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ASSERT_TRUE(SendMessageA(options, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, "オプション");
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        RECT frame{};
        GetWindowRect(options, &frame);
        EXPECT_EQ(column.cx, (frame.right - frame.left) - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE));
        EXPECT_FALSE(SendMessageA(options, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));

        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
    EXPECT_STREQ(conditions.landmarkName, "");
    EXPECT_EQ(conditions.areaMode, 0u) << "cancelling stores nothing";
}

TEST_F(SearchConditionsDialogTest, DetailListShowsOnlyForSmallClassesThatHaveDetails) {
    const AreaChoice plain = FindSmallClass(areaReply_, false);
    const AreaChoice divided = FindSmallClass(areaReply_, true);
    ASSERT_GE(plain.middle, 0);
    ASSERT_GE(divided.middle, 0);
    ASSERT_FALSE(divided.detailNames.empty());

    const INT_PTR result = Run(false, [&](ModalDriver&, HWND dialog) {
        HWND smallList = GetDlgItem(dialog, IDC_SMALL_CLASS_LIST);
        HWND detailList = GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST);
        const LONG smallLeft = test::ChildRect(smallList).left;

        test::ChooseComboItem(dialog, IDC_MIDDLE_CLASS_LIST, plain.middle);
        EXPECT_EQ(test::ComboSelection(smallList), 0);
        test::ChooseComboItem(dialog, IDC_SMALL_CLASS_LIST, plain.small);
        EXPECT_FALSE(IsWindowVisible(detailList));
        EXPECT_EQ(test::ComboCount(detailList), 0);
        EXPECT_EQ(test::ChildRect(smallList).right, test::ChildRect(detailList).right);

        test::ChooseComboItem(dialog, IDC_MIDDLE_CLASS_LIST, divided.middle);
        test::ChooseComboItem(dialog, IDC_SMALL_CLASS_LIST, divided.small);
        EXPECT_TRUE(IsWindowVisible(detailList));
        EXPECT_EQ(test::ComboSelection(detailList), 0);
        ASSERT_EQ(test::ComboCount(detailList), static_cast<int>(divided.detailNames.size()));
        for (int i = 0; i < test::ComboCount(detailList); ++i) {
            EXPECT_EQ(test::ComboItemText(detailList, i), divided.detailNames[static_cast<std::size_t>(i)]);
        }
        EXPECT_EQ(test::ChildRect(smallList).right, test::ChildRect(detailList).left - 5);
        EXPECT_EQ(test::ChildRect(smallList).left, smallLeft) << "only the right edge moves";

        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
}

TEST_F(SearchConditionsDialogTest, CancelledLandmarkReturnsToTheAreaSearch) {
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            test::PostButtonClick(dialog, IDC_LANDMARK_RADIO);
            HWND landmark = driver.WaitForDialog(kLandmarkCaption);
            ASSERT_NE(landmark, nullptr);
            EXPECT_EQ(GetWindow(landmark, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MIDDLE_CLASS_LIST)));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RADIUS_LIST)));
            test::Click(landmark, IDCANCEL);
            ASSERT_TRUE(driver.WaitUntilClosed(landmark));
            ASSERT_TRUE(driver.WaitUntil([&] { return test::FocusOf(dialog) == GetDlgItem(dialog, IDC_AREA_RADIO); }));

            EXPECT_TRUE(test::IsButtonChecked(GetDlgItem(dialog, IDC_AREA_RADIO)));
            EXPECT_FALSE(test::IsButtonChecked(GetDlgItem(dialog, IDC_LANDMARK_RADIO)));
            for (int id : {IDC_MIDDLE_CLASS_LIST, IDC_SMALL_CLASS_LIST, IDC_DETAIL_CLASS_LIST}) {
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
            }
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RADIUS_LIST)));
            EXPECT_EQ(test::Text(GetDlgItem(dialog, IDC_LANDMARK_NAME)), "");
        }
        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
    EXPECT_STREQ(conditions.landmarkName, "");
}

TEST_F(SearchConditionsDialogTest, ConfirmedLandmarkIsShownAndSearchedAround) {
    hosts.geocode = {UrlScheme::Http, test::ServiceHost()};
    std::string chosenName;
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        test::PostButtonClick(dialog, IDC_LANDMARK_RADIO);
        HWND landmark = driver.WaitForDialog(kLandmarkCaption);
        ASSERT_NE(landmark, nullptr);
        SendMessageA(GetDlgItem(landmark, IDC_LANDMARK_TEXT), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("東京"));
        test::PostButtonClick(landmark, IDC_LANDMARK_SEARCH);
        HWND places = GetDlgItem(landmark, IDC_LANDMARK_LIST);
        ASSERT_TRUE(driver.WaitUntil([&] { return test::RowCount(places) > 0; }));
        chosenName = test::Cell(places, 0, 2);
        LVITEMA selected{};
        selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        selected.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(places, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
        ASSERT_TRUE(driver.WaitUntil([&] { return IsWindowEnabled(GetDlgItem(landmark, IDOK)) != FALSE; }));
        test::Click(landmark, IDOK);
        ASSERT_TRUE(driver.WaitUntilClosed(landmark));

        EXPECT_FALSE(chosenName.empty());
        EXPECT_EQ(test::Text(GetDlgItem(dialog, IDC_LANDMARK_NAME)), chosenName);
        EXPECT_TRUE(test::IsButtonChecked(GetDlgItem(dialog, IDC_LANDMARK_RADIO)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SMALL_CLASS_LIST)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RADIUS_LIST)));
        test::ChooseComboItem(dialog, IDC_RADIUS_LIST, 0);
        test::Click(dialog, IDOK);
        EXPECT_TRUE(driver.WaitUntilClosed(dialog, 40000)) << "a successful search ends the dialog";
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(conditions.areaMode, kAreaModeNearLandmark);
    EXPECT_EQ(conditions.landmarkName, chosenName);
    EXPECT_EQ(conditions.radiusMetres, 500);
    const std::vector<std::string> searches = LoggedSearchTargets();
    ASSERT_FALSE(searches.empty());
    EXPECT_NE(searches.back().find("&searchRadius=0.5&"), std::string::npos) << searches.back();
}

// Every refusal shows its message over the dialog, which stays open, and
// sends nothing.
TEST_F(SearchConditionsDialogTest, RefusedConditionsShowTheirMessageAndKeepTheDialogOpen) {
    const LocalDateTime today = Today();
    const struct {
        const char* name;
        bool landmarkWithoutName;
        std::function<void(HWND)> edit;
        const char* text;
        const char* caption;
        UINT icon;
    } cases[] = {
        {"check-out on the check-in day", false,
         [&](HWND dialog) {
             test::SetPickerDate(GetDlgItem(dialog, IDC_CHECKOUT_PICKER),
                                 test::PickerDate(GetDlgItem(dialog, IDC_CHECKIN_PICKER)));
         },
         "終了日は開始日の翌日以降に設定する必要があります。", "日付設定エラー", MB_ICONWARNING},
        {"check-in yesterday", false,
         [&](HWND dialog) {
             SYSTEMTIME yesterday = AsSystemTime(AddDays(today, -1));
             test::SetPickerDate(GetDlgItem(dialog, IDC_CHECKIN_PICKER), yesterday);
         },
         "開始日は本日以降に設定する必要があります。", "日付設定エラー", MB_ICONWARNING},
        {"equal budget bounds", false,
         [&](HWND dialog) {
             test::PostButtonClick(dialog, IDC_BUDGET_CHECK);
             SetDlgItemTextA(dialog, IDC_BUDGET_MIN, "5000");
             SetDlgItemTextA(dialog, IDC_BUDGET_MAX, "5000");
         },
         "予算の設定内容が正しくありません。", "予算設定エラー", MB_ICONINFORMATION},
        {"upper bound that is no number", false,
         [&](HWND dialog) {
             test::PostButtonClick(dialog, IDC_BUDGET_CHECK);
             SetDlgItemTextA(dialog, IDC_BUDGET_MIN, "20000");
             SetDlgItemTextA(dialog, IDC_BUDGET_MAX, "abc");
         },
         "予算の設定内容が正しくありません。", "予算設定エラー", MB_ICONINFORMATION},
        {"landmark search without a landmark", true, [](HWND) {}, "施設名が設定されていません。",
         "エリア設定エラー", MB_ICONINFORMATION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t searchesBefore = LoggedSearchTargets().size();
        conditions = SearchConditions{};
        bool conditionsExist = false;
        if (c.landmarkWithoutName) {
            conditions = HeldLandmarkSearch();
            conditions.landmarkName[0] = '\0';
            conditionsExist = true;
        }
        MessageBoxView box;
        bool openAfterMessage = false;
        const INT_PTR result = Run(conditionsExist, [&](ModalDriver& driver, HWND dialog) {
            c.edit(dialog);
            test::Click(dialog, IDOK);
            box = driver.WaitForMessageBox(dialog);
            test::Click(box.window, IDOK);
            ASSERT_TRUE(driver.WaitUntilClosed(box.window));
            openAfterMessage = IsWindowVisible(dialog) && IsWindowEnabled(dialog);
            test::PostButtonClick(dialog, IDCANCEL);
        });
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_TRUE(openAfterMessage);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(LoggedSearchTargets().size(), searchesBefore);
        EXPECT_NE(conditions.areaMode, 0u) << "the controls are stored before they are checked";
    }
}

TEST_F(SearchConditionsDialogTest, BudgetFromZeroToOneIsSent) {
    MessageBoxView box;
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        test::PostButtonClick(dialog, IDC_BUDGET_CHECK);
        HWND minEdit = GetDlgItem(dialog, IDC_BUDGET_MIN);
        HWND maxEdit = GetDlgItem(dialog, IDC_BUDGET_MAX);
        ASSERT_TRUE(driver.WaitUntil([&] { return IsWindowEnabled(minEdit) && IsWindowEnabled(maxEdit); }));
        SetDlgItemTextA(dialog, IDC_BUDGET_MIN, "0");
        SetDlgItemTextA(dialog, IDC_BUDGET_MAX, "1");
        test::Click(dialog, IDOK);
        box = driver.WaitForMessageBox(dialog);
        test::Click(box.window, IDOK);
        ASSERT_TRUE(driver.WaitUntilClosed(box.window));
        test::PostButtonClick(dialog, IDC_BUDGET_CHECK);
        EXPECT_TRUE(driver.WaitUntil([&] { return !IsWindowEnabled(minEdit) && !IsWindowEnabled(maxEdit); }));
        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(box.text, "検索条件に該当する宿泊施設は見つかりませんでした。") << "no plan costs at most 1 yen";
    EXPECT_EQ(conditions.minCharge, 0);
    EXPECT_EQ(conditions.maxCharge, 1);
    const std::vector<std::string> searches = LoggedSearchTargets();
    ASSERT_FALSE(searches.empty());
    EXPECT_NE(searches.back().find("&minCharge=0&maxCharge=1"), std::string::npos) << searches.back();
}

TEST_F(SearchConditionsDialogTest, SearchSendsTheComposedRequestAndEndsWithTheReply) {
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        HWND options = GetDlgItem(dialog, IDC_OPTION_LIST);
        LVITEMA ticked{};
        ticked.stateMask = LVIS_STATEIMAGEMASK;
        ticked.state = INDEXTOSTATEIMAGEMASK(2);
        SendMessageA(options, LVM_SETITEMSTATE, 4, reinterpret_cast<LPARAM>(&ticked));
        test::ChooseComboItem(dialog, IDC_ADULT_LIST, 2);
        // A detail class at another position than its small class, so that each keeps its own.
        ASSERT_TRUE(test::ChooseComboItem(dialog, IDC_DETAIL_CLASS_LIST, "中央区"));
        test::Click(dialog, IDOK);
        EXPECT_TRUE(driver.WaitUntilClosed(dialog, 40000)) << "a successful search ends the dialog";
    });
    ASSERT_EQ(result, 0);
    EXPECT_FALSE(reply.hotels.empty());
    EXPECT_EQ(conditions.areaMode, kAreaModeByClass);
    EXPECT_STREQ(conditions.middleClassName, "東京都");
    EXPECT_EQ(conditions.middleClassIndex, 12);
    EXPECT_EQ(conditions.smallClassIndex, 0);
    EXPECT_EQ(conditions.detailClassIndex, 1);
    EXPECT_STREQ(conditions.detailClassName, "中央区");
    EXPECT_EQ(conditions.adultNum, 2);
    EXPECT_EQ(conditions.roomNum, 1);
    EXPECT_EQ(conditions.breakfast, 1);
    EXPECT_EQ(conditions.kinen + conditions.internet + conditions.daiyoku + conditions.onsen + conditions.dinner, 0);
    EXPECT_EQ(DateText(conditions.checkinDate), DateText(AddDays(Today(), 2)));

    // The same conditions composed again give exactly the request the service received.
    SearchConditions again = conditions;
    SearchFormInput form;
    form.radiusText = "1000 [m]";
    form.now = Today();
    const SearchUrlResult expected = BuildSearchUrl(again, catalogue, form, {UrlScheme::Http, test::ServiceHost()});
    ASSERT_TRUE(expected.ok) << expected.message;
    const std::vector<std::string> searches = LoggedSearchTargets();
    ASSERT_FALSE(searches.empty());
    EXPECT_EQ("http://" + test::ServiceHost() + searches.back(), expected.url);
    EXPECT_NE(expected.url.find("&squeezeCondition=breakfast"), std::string::npos);
    EXPECT_NE(expected.url.find("&detailClassCode=chuo&"), std::string::npos);
}

// Replies that cannot be shown leave the dialog open and the previous hotels in place.
TEST_F(SearchConditionsDialogTest, UnusableRepliesShowTheirMessage) {
    const struct {
        const char* fault;
        const char* text;
        const char* caption;
    } cases[] = {
        {"notfound", "検索条件に該当する宿泊施設は見つかりませんでした。", "検索結果"},
        {"servererror", "サーバでエラーが発生しました。\nしばらく時間をおいてから検索してください。", "サーバエラー"},
        {"status500", kNoReplyText, "サーバエラー"},
        {"status404", kNoReplyText, "サーバエラー"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        reply.hotels.assign(1, HotelRecord{});
        reply.hotels[0].hotelNo = 4711;
        ASSERT_TRUE(test::ArmFault("/vws/", c.fault));
        MessageBoxView box;
        int searchesAfterRetry = 0;
        const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
            test::Click(dialog, IDOK);
            box = driver.WaitForMessageBox(dialog);
            test::Click(box.window, IDOK);
            ASSERT_TRUE(driver.WaitUntilClosed(box.window));
            EXPECT_TRUE(IsWindowVisible(dialog));
            searchesAfterRetry = static_cast<int>(LoggedSearchTargets().size());
            test::PostButtonClick(dialog, IDCANCEL);
        });
        EXPECT_EQ(result, -1);
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONINFORMATION));
        ASSERT_EQ(reply.hotels.size(), 1u);
        EXPECT_EQ(reply.hotels[0].hotelNo, 4711);
        EXPECT_GT(searchesAfterRetry, 0);
    }
}

// Closing the progress window is the user's cancel, not a failed fetch: no
// message, the dialog stays open and the previous hotels stay in place.
TEST_F(SearchConditionsDialogTest, ClosingTheProgressWindowCancelsTheSearchSilently) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
    } cases[] = {
        {"Escape", WM_COMMAND, IDCANCEL},
        {"Alt+F4 or the close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reply.hotels.assign(1, HotelRecord{});
        reply.hotels[0].hotelNo = 4711;
        ASSERT_TRUE(test::ArmFault("/vws/", "hang", "&seconds=3"));
        const std::size_t searchesBefore = LoggedSearchTargets().size();
        bool messageShown = true;
        bool dialogOpen = false;
        const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
            test::Click(dialog, IDOK);
            HWND progress = driver.WaitForDialog(kProgressCaption);
            ASSERT_NE(progress, nullptr);
            ASSERT_TRUE(driver.WaitUntil([&] { return LoggedSearchTargets().size() > searchesBefore; }));
            PostMessageA(progress, c.message, c.wParam, 0);
            ASSERT_TRUE(driver.WaitUntil([&] { return !IsWindow(progress); }, 2500)) << "the window closes at once";
            // The search handler has returned, or shows its message: nothing
            // else runs on the dialog's thread in between.
            driver.OnDialogThread([&] {
                messageShown = OwnsADialog(dialog);
                dialogOpen = IsWindowVisible(dialog) && IsWindowEnabled(dialog);
            });
            test::PostButtonClick(dialog, IDCANCEL);
        });
        EXPECT_FALSE(messageShown);
        EXPECT_TRUE(dialogOpen);
        EXPECT_EQ(result, -1);
        ASSERT_EQ(reply.hotels.size(), 1u);
        EXPECT_EQ(reply.hotels[0].hotelNo, 4711);
    }
}

// Choosing a prefecture whose entry has no small classes after one with detail
// classes leaves no class of the first prefecture to send or to show.
TEST_F(SearchConditionsDialogTest, MiddleClassWithoutSmallClassesKeepsNoClassOfAnotherArea) {
    const std::string bareReply = FetchAreaReplyWithBareMiddleClass("aomori");
    ASSERT_FALSE(bareReply.empty());
    catalogue.SetReplyText(bareReply);
    AreaCatalogue expected;
    expected.SetReplyText(bareReply);
    expected.ListMiddleClasses();
    const auto bare = std::find_if(expected.middleClasses.begin(), expected.middleClasses.end(),
                                   [](const AreaClass& middle) { return std::string(middle.code) == "aomori"; });
    ASSERT_NE(bare, expected.middleClasses.end());

    MessageBoxView box;
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        HWND detailList = GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST);
        ASSERT_GT(test::ComboCount(detailList), 0) << "the default area has detail classes";
        test::ChooseComboItem(dialog, IDC_MIDDLE_CLASS_LIST, bare->index);
        EXPECT_EQ(test::ComboCount(GetDlgItem(dialog, IDC_SMALL_CLASS_LIST)), 0);
        EXPECT_EQ(test::ComboCount(detailList), 0);
        EXPECT_FALSE(IsWindowVisible(detailList));
        test::Click(dialog, IDOK);
        box = driver.WaitForMessageBox(dialog, 40000);
        test::Click(box.window, IDOK);
        ASSERT_TRUE(driver.WaitUntilClosed(box.window));
        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(box.text, kNoReplyText) << "the service refuses a search without a small class";
    EXPECT_EQ(conditions.detailClassIndex, -1);
    EXPECT_STREQ(conditions.smallClassName, "");
    EXPECT_STREQ(conditions.detailClassName, "");
    EXPECT_EQ(ComposeConditionSummary(conditions).area, std::string(bare->name) + " ");
    const std::vector<std::string> searches = LoggedSearchTargets();
    ASSERT_FALSE(searches.empty());
    EXPECT_NE(searches.back().find("&middleClassCode=aomori&smallClassCode=&checkinDate="), std::string::npos)
        << searches.back();
}

TEST_F(SearchConditionsDialogTest, ReopensWithTheHeldConditions) {
    conditions = HeldLandmarkSearch();
    AreaCatalogue expected;
    expected.SetReplyText(areaReply_);
    expected.ListMiddleClasses();
    expected.ListSmallClasses(12);
    expected.ListDetailClasses(0);
    ASSERT_GT(expected.detailClasses.size(), 1u);

    const INT_PTR result = Run(true, [&](ModalDriver&, HWND dialog) {
        auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
        EXPECT_EQ(test::Text(item(IDCANCEL)), "キャンセル");
        EXPECT_TRUE(test::IsButtonChecked(item(IDC_LANDMARK_RADIO)));
        EXPECT_FALSE(test::IsButtonChecked(item(IDC_AREA_RADIO)));
        EXPECT_EQ(test::Text(item(IDC_LANDMARK_NAME)), "東京タワー");
        EXPECT_EQ(test::ComboSelectedText(item(IDC_RADIUS_LIST)), "1500 [m]");
        EXPECT_TRUE(IsWindowEnabled(item(IDC_RADIUS_LIST)));
        for (int id : {IDC_MIDDLE_CLASS_LIST, IDC_SMALL_CLASS_LIST, IDC_DETAIL_CLASS_LIST}) {
            EXPECT_FALSE(IsWindowEnabled(item(id))) << id;
        }
        EXPECT_EQ(test::ComboSelection(item(IDC_MIDDLE_CLASS_LIST)), 12);
        EXPECT_EQ(test::ComboSelection(item(IDC_SMALL_CLASS_LIST)), 0);
        EXPECT_EQ(test::ComboSelectedText(item(IDC_DETAIL_CLASS_LIST)), expected.detailClasses[1].name);
        EXPECT_EQ(DateText(test::PickerDate(item(IDC_CHECKIN_PICKER))), DateText(conditions.checkinDate));
        EXPECT_EQ(DateText(test::PickerDate(item(IDC_CHECKOUT_PICKER))), DateText(conditions.checkoutDate));
        EXPECT_EQ(test::ComboSelectedText(item(IDC_ADULT_LIST)), "2");
        EXPECT_EQ(test::ComboSelectedText(item(IDC_CHILD_LIST)), "1");
        EXPECT_EQ(test::ComboSelectedText(item(IDC_INFANT_LIST)), "0");
        EXPECT_EQ(test::ComboSelectedText(item(IDC_ROOM_LIST)), "2");
        EXPECT_TRUE(test::IsButtonChecked(item(IDC_BUDGET_CHECK)));
        EXPECT_EQ(test::Text(item(IDC_BUDGET_MIN)), "3000");
        EXPECT_EQ(test::Text(item(IDC_BUDGET_MAX)), "18000");
        EXPECT_TRUE(IsWindowEnabled(item(IDC_BUDGET_MIN)));
        EXPECT_TRUE(IsWindowEnabled(item(IDC_BUDGET_MAX)));
        const int ticked[] = {2, 1, 1, 2, 1, 2};  // kinen, onsen, dinner
        for (int row = 0; row < 6; ++row) {
            EXPECT_EQ(test::ListStateImage(item(IDC_OPTION_LIST), row), ticked[row]) << row;
        }
        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
}

TEST_F(SearchConditionsDialogTest, HeldConditionsWithoutBudgetOrStoredRadiusKeepTheDefaults) {
    const struct {
        const char* name;
        std::uint32_t areaMode;
        std::int32_t radiusMetres;
        std::int32_t minCharge;
        std::int32_t maxCharge;
        const char* radiusShown;
    } cases[] = {
        {"area search without budget", kAreaModeByClass, 0, -1, -1, "1000 [m]"},
        {"one bound missing", kAreaModeByClass, 0, 5000, -1, "1000 [m]"},
        {"landmark before any radius was stored", kAreaModeNearLandmark, 0, -1, -1, "1000 [m]"},
        {"radius beyond the list", kAreaModeNearLandmark, 3500, -1, -1, "1000 [m]"},
        {"radius between the items", kAreaModeNearLandmark, 1250, -1, -1, "1000 [m]"},
        {"largest radius", kAreaModeNearLandmark, 3000, -1, -1, "3000 [m]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        conditions = HeldLandmarkSearch();
        conditions.areaMode = c.areaMode;
        conditions.radiusMetres = c.radiusMetres;
        conditions.minCharge = c.minCharge;
        conditions.maxCharge = c.maxCharge;
        const INT_PTR result = Run(true, [&](ModalDriver&, HWND dialog) {
            auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
            EXPECT_EQ(test::IsButtonChecked(item(IDC_AREA_RADIO)), c.areaMode == kAreaModeByClass);
            EXPECT_EQ(test::ComboSelectedText(item(IDC_RADIUS_LIST)), c.radiusShown);
            EXPECT_FALSE(test::IsButtonChecked(item(IDC_BUDGET_CHECK)));
            EXPECT_EQ(test::Text(item(IDC_BUDGET_MIN)), "5000");
            EXPECT_EQ(test::Text(item(IDC_BUDGET_MAX)), "10000");
            EXPECT_FALSE(IsWindowEnabled(item(IDC_BUDGET_MIN)));
            test::PostButtonClick(dialog, IDCANCEL);
        });
        EXPECT_EQ(result, -1);
    }
}

TEST_F(SearchConditionsDialogTest, BudgetEditsLoseTheInputMethodWhenFocused) {
    const INT_PTR result = Run(false, [&](ModalDriver& driver, HWND dialog) {
        test::PostButtonClick(dialog, IDC_BUDGET_CHECK);
        for (int id : {IDC_BUDGET_MIN, IDC_BUDGET_MAX}) {
            HWND edit = GetDlgItem(dialog, id);
            ASSERT_TRUE(driver.WaitUntil([&] { return IsWindowEnabled(edit) != FALSE; }));
            bool hadInputMethod = false;
            driver.OnDialogThread([&] { hadInputMethod = InputContextOf(edit); });
            EXPECT_TRUE(hadInputMethod) << id;
            PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
            ASSERT_TRUE(driver.WaitUntil([&] { return test::FocusOf(edit) == edit; }));
            bool hasInputMethod = true;
            driver.OnDialogThread([&] { hasInputMethod = InputContextOf(edit); });
            EXPECT_FALSE(hasInputMethod) << id;
        }
        bool otherEditKeepsIt = false;
        driver.OnDialogThread([&] { otherEditKeepsIt = InputContextOf(GetDlgItem(dialog, IDC_LANDMARK_NAME)); });
        EXPECT_TRUE(otherEditKeepsIt);
        test::PostButtonClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, -1);
}

}  // namespace
}  // namespace qx
