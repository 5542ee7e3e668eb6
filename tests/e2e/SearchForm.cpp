#include "SearchForm.h"

#include "tests/support/RemoteWindows.h"
#include "res/resource.h"

#include <cstdio>
#include <vector>

namespace qx::test {
namespace {

constexpr ULONGLONG kTicksPerDay = 864000000000ULL;
const char* const kFacilitySummaries[SearchForm::kFacilityCount] = {
    "[禁煙室] ", "[インターネット] ", "[大浴場] ", "[温泉] ", "[朝食つき] ", "[夕食つき] "};

int Between(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

bool OneIn(std::mt19937& random, int n) {
    return Between(random, 1, n) == 1;
}

std::string Grouped(int value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string DateText(const SYSTEMTIME& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%d年%d月%d日", date.wYear, date.wMonth, date.wDay);
    return text;
}

// Chooses a random item of a combo box as the user would; its text, or empty
// when the list has none.
std::string ChooseAnyItem(HWND dialog, int id, std::mt19937& random) {
    const std::vector<std::string> items = ComboItems(GetDlgItem(dialog, id));
    if (items.empty()) {
        return std::string();
    }
    const std::string& item = items[static_cast<std::size_t>(Between(random, 0, static_cast<int>(items.size()) - 1))];
    ChooseComboItem(dialog, id, item);
    return item;
}

}  // namespace

bool Summaries::operator==(const Summaries& other) const {
    return area == other.area && period == other.period && budget == other.budget && people == other.people &&
           rooms == other.rooms && options == other.options;
}

SYSTEMTIME DayFromToday(int days) {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
    FILETIME file{};
    SystemTimeToFileTime(&today, &file);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days)) * kTicksPerDay;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME day{};
    FileTimeToSystemTime(&file, &day);
    return day;
}

SearchForm SearchForm::Random(std::mt19937& random) {
    SearchForm form;
    const int checkinDay = Between(random, 1, 60);
    form.checkin = DayFromToday(checkinDay);
    form.checkout = DayFromToday(checkinDay + Between(random, 1, 4));
    form.adults = OneIn(random, 20) ? 0 : Between(random, 1, 3);
    form.children = OneIn(random, 3) ? Between(random, 1, 2) : 0;
    form.infants = OneIn(random, 5) ? 1 : 0;
    form.rooms = OneIn(random, 4) ? 2 : 1;
    form.budget = OneIn(random, 3);
    form.minCharge = 1000 * Between(random, 0, 10);
    form.maxCharge = form.minCharge + 1000 * Between(random, 1, 30);
    for (bool& facility : form.facilities) {
        facility = OneIn(random, 5);
    }
    form.radiusMetres = 500 * Between(random, 1, 6);
    return form;
}

SearchForm SearchForm::Plain() {
    SearchForm form;
    form.checkin = DayFromToday(7);
    form.checkout = DayFromToday(8);
    return form;
}

void SearchForm::Spoil(Refusal refusal, std::mt19937& random) {
    const int checkinDay = Between(random, 1, 30);
    switch (refusal) {
    case Refusal::CheckoutNotAfterCheckin:
        checkin = DayFromToday(checkinDay);
        checkout = DayFromToday(checkinDay - Between(random, 0, 3));
        break;
    case Refusal::CheckinPast:
        checkin = DayFromToday(-checkinDay);
        checkout = DayFromToday(-checkinDay + 2);
        break;
    case Refusal::BudgetReversed:
        budget = true;
        maxCharge = 1000 * Between(random, 1, 10);
        minCharge = maxCharge + 1000 * Between(random, 0, 5);
        break;
    case Refusal::None:
    case Refusal::NoLandmarkName:
        break;
    }
}

MessageText SearchForm::MessageFor(Refusal refusal) {
    switch (refusal) {
    case Refusal::CheckoutNotAfterCheckin:
        return {"日付設定エラー", "終了日は開始日の翌日以降に設定する必要があります。"};
    case Refusal::CheckinPast:
        return {"日付設定エラー", "開始日は本日以降に設定する必要があります。"};
    case Refusal::BudgetReversed:
        return {"予算設定エラー", "予算の設定内容が正しくありません。"};
    case Refusal::NoLandmarkName:
        return {"エリア設定エラー", "施設名が設定されていません。"};
    case Refusal::None:
        break;
    }
    return {};
}

void SearchForm::ChooseArea(HWND dialog, std::mt19937& random) {
    SendMessageA(GetDlgItem(dialog, IDC_AREA_RADIO), BM_CLICK, 0, 0);
    nearLandmark = false;
    middleClass = ChooseAnyItem(dialog, IDC_MIDDLE_CLASS_LIST, random);
    smallClass = ChooseAnyItem(dialog, IDC_SMALL_CLASS_LIST, random);
    const bool detailShown = IsWindowVisible(GetDlgItem(dialog, IDC_DETAIL_CLASS_LIST)) != FALSE;
    detailClass = detailShown ? ChooseAnyItem(dialog, IDC_DETAIL_CLASS_LIST, random) : std::string();
}

void SearchForm::ChooseArea(HWND dialog, const AreaChoice& area) {
    SendMessageA(GetDlgItem(dialog, IDC_AREA_RADIO), BM_CLICK, 0, 0);
    nearLandmark = false;
    middleClass = area.middle;
    smallClass = area.small;
    detailClass = area.detail;
    ChooseComboItem(dialog, IDC_MIDDLE_CLASS_LIST, middleClass);
    ChooseComboItem(dialog, IDC_SMALL_CLASS_LIST, smallClass);
    ChooseComboItem(dialog, IDC_DETAIL_CLASS_LIST, detailClass);
}

void SearchForm::FillStay(HWND dialog) const {
    SetPickerDate(dialog, IDC_CHECKIN_PICKER, checkin.wYear, checkin.wMonth, checkin.wDay);
    SetPickerDate(dialog, IDC_CHECKOUT_PICKER, checkout.wYear, checkout.wMonth, checkout.wDay);
    ChooseComboItem(dialog, IDC_ADULT_LIST, std::to_string(adults));
    ChooseComboItem(dialog, IDC_CHILD_LIST, std::to_string(children));
    ChooseComboItem(dialog, IDC_INFANT_LIST, std::to_string(infants));
    ChooseComboItem(dialog, IDC_ROOM_LIST, std::to_string(rooms));
    HWND budgetBox = GetDlgItem(dialog, IDC_BUDGET_CHECK);
    if ((SendMessageA(budgetBox, BM_GETCHECK, 0, 0) == BST_CHECKED) != budget) {
        SendMessageA(budgetBox, BM_CLICK, 0, 0);
    }
    // Without the box ticked the edits are ignored, so a reversed pair there must do no harm.
    SetText(dialog, IDC_BUDGET_MIN, std::to_string(budget ? minCharge : 90000));
    SetText(dialog, IDC_BUDGET_MAX, std::to_string(budget ? maxCharge : 100));
    if (nearLandmark) {
        ChooseComboItem(dialog, IDC_RADIUS_LIST, std::to_string(radiusMetres) + " [m]");
    }
    HWND options = GetDlgItem(dialog, IDC_OPTION_LIST);
    for (int i = 0; i < kFacilityCount; ++i) {
        SetRowTicked(options, i, facilities[i]);
    }
}

Summaries SearchForm::Expected() const {
    Summaries expected;
    if (nearLandmark) {
        expected.area = landmarkName + " から半径 " + std::to_string(radiusMetres) + "[m] のエリア";
    } else {
        expected.area = middleClass + " " + smallClass + (detailClass.empty() ? "" : " " + detailClass);
    }
    expected.period = DateText(checkin) + " ～ " + DateText(checkout);
    expected.budget = budget ? Grouped(minCharge) + " ～ " + Grouped(maxCharge) : "指定なし";
    const std::pair<const char*, int> party[] = {{"大人", adults}, {"子供", children}, {"幼児", infants}};
    for (const auto& [label, count] : party) {
        if (count > 0) {
            expected.people += std::string(label) + " [" + std::to_string(count) + "] ";
        }
    }
    expected.rooms = std::to_string(rooms);
    for (int i = 0; i < kFacilityCount; ++i) {
        expected.options += facilities[i] ? kFacilitySummaries[i] : "";
    }
    if (expected.options.empty()) {
        expected.options = "指定なし";
    }
    return expected;
}

}  // namespace qx::test
