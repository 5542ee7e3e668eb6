#include "search/SearchConditionsDialog.h"

#include <commctrl.h>
#include <imm.h>

#include <cstring>
#include <iterator>
#include <utility>

#include "framework/HtmlHelp.h"
#include "framework/MessageBoxes.h"
#include "controls/ListControl.h"
#include "controls/WindowDpi.h"
#include "net/FetchProgressDialog.h"
#include "parse/DecimalText.h"
#include "parse/FixedText.h"
#include "res/resource.h"
#include "search/AreaListLayout.h"
#include "search/LocalDateTime.h"
#include "search/SearchRequest.h"

namespace qx {
namespace {

constexpr char kExitText[] = "終了";
constexpr char kOptionColumnTitle[] = "オプション";

constexpr char kNotFoundMessage[] = "検索条件に該当する宿泊施設は見つかりませんでした。";
constexpr char kResultCaption[] = "検索結果";
constexpr char kPartialMessage[] = "検索結果の一部しか受信できませんでした。\n受信できた宿泊施設だけを表示します。";
constexpr char kServerErrorMessage[] = "サーバでエラーが発生しました。\nしばらく時間をおいてから検索してください。";
constexpr char kNoReplyMessage[] = "データの受信ができませんでした。\nしばらく時間をおいてから検索してください。";
constexpr char kServerErrorCaption[] = "サーバエラー";

constexpr const char* kRadiusItems[] = {"500 [m]", "1000 [m]", "1500 [m]", "2000 [m]", "2500 [m]", "3000 [m]"};
constexpr int kRadiusStepMetres = 500;
constexpr int kDefaultRadiusItem = 1;  // 1000 m

// The option list's items, in the fixed facility order of the conditions.
constexpr const char* kFacilityItems[] = {"禁煙", "インターネット", "大浴場", "温泉", "朝食あり", "夕食あり"};
static_assert(std::size(kFacilityItems) == std::size(kFacilityConditions));

constexpr int kDefaultMiddleClass = 12;  // the thirteenth prefecture, the capital
constexpr int kDefaultAdultItem = 1;     // one adult
constexpr char kDefaultMinCharge[] = "5000";
constexpr char kDefaultMaxCharge[] = "10000";
constexpr int kDaysUntilCheckin = 2;
constexpr int kDefaultNights = 2;

// The state images of a check box list: 1 unticked, 2 ticked (CheckState 1).
constexpr UINT kUnticked = 1;
constexpr UINT kTicked = 2;
constexpr int kTickedCheckState = 1;

constexpr COLORREF kCaptionStartColour = RGB(50, 50, 255);
constexpr COLORREF kCaptionEndColour = RGB(150, 150, 240);
constexpr COLORREF kCaptionTextColour = RGB(255, 255, 255);

static_assert(sizeof(LocalDateTime) == sizeof(SYSTEMTIME));

void AddComboItem(HWND combo, const char* text) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void SelectComboItem(HWND combo, int position) {
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int ComboSelection(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

// The selected item's text; empty when nothing is selected.
std::string ComboSelectedText(HWND combo) {
    const int position = ComboSelection(combo);
    if (position < 0) {
        return {};
    }
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// A list operation of the catalogue that adds each name to combo as it appends it.
AreaClassSink ComboSink(HWND combo) {
    return [combo](const AreaClass& entry) { AddComboItem(combo, entry.name); };
}

void SetPickerDate(HWND picker, const LocalDateTime& date) {
    SYSTEMTIME time;
    std::memcpy(&time, &date, sizeof time);
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

LocalDateTime PickerDate(HWND picker) {
    SYSTEMTIME time{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    LocalDateTime date;
    std::memcpy(static_cast<void*>(&date), &time, sizeof date);
    return date;
}

LocalDateTime Now() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    LocalDateTime now;
    std::memcpy(static_cast<void*>(&now), &time, sizeof now);
    return now;
}

bool IsChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetOptionTicked(const ListControl& list, int item, bool ticked) {
    list.SetItemState(item, INDEXTOSTATEIMAGEMASK(ticked ? kTicked : kUnticked), LVIS_STATEIMAGEMASK);
}

UINT IconStyle(MessageIcon icon) {
    return icon == MessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION;
}

}  // namespace

const SearchConditionsDialog::MessageMap SearchConditionsDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &SearchConditionsDialog::OnInitDialog),
    OnCommandCode(IDC_MIDDLE_CLASS_LIST, CBN_SELCHANGE, &SearchConditionsDialog::OnMiddleClassChange),
    OnCommandCode(IDC_SMALL_CLASS_LIST, CBN_SELCHANGE, &SearchConditionsDialog::OnSmallClassChange),
    OnCommandCode(IDC_AREA_RADIO, BN_CLICKED, &SearchConditionsDialog::OnAreaRadio),
    OnCommandCode(IDC_LANDMARK_RADIO, BN_CLICKED, &SearchConditionsDialog::OnLandmarkRadio),
    OnCommandCode(IDC_BUDGET_CHECK, BN_CLICKED, &SearchConditionsDialog::OnBudgetCheck),
    OnCommandCode(IDC_BUDGET_MIN, EN_SETFOCUS, &SearchConditionsDialog::OnBudgetEditFocus),
    OnCommandCode(IDC_BUDGET_MAX, EN_SETFOCUS, &SearchConditionsDialog::OnBudgetEditFocus),
    OnCommand(IDC_HELP_BUTTON, &SearchConditionsDialog::OnHelp),
    OnCommand(IDOK, &SearchConditionsDialog::OnSearch),
    OnCommand(IDCANCEL, &SearchConditionsDialog::OnCancel),
};

SearchConditionsDialog::SearchConditionsDialog(AreaCatalogue& catalogue, HotelSearchReply& reply,
                                               SearchConditions& conditions, bool conditionsExist,
                                               const ServiceHosts& hosts, LandmarkPicker pickLandmark)
    : catalogue_(catalogue),
      reply_(reply),
      conditions_(conditions),
      conditionsExist_(conditionsExist),
      hosts_(hosts),
      pickLandmark_(std::move(pickLandmark)) {}

LRESULT SearchConditionsDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    FillFixedLists();
    SendMessageA(Item(IDC_LANDMARK_NAME), EM_SETREADONLY, TRUE, 0);

    HWND middleList = Item(IDC_MIDDLE_CLASS_LIST);
    catalogue_.ListMiddleClasses(ComboSink(middleList));
    SelectComboItem(middleList, kDefaultMiddleClass);
    RefillSmallClasses(ComboSelection(middleList));

    SetDlgItemTextA(Window(), IDC_BUDGET_MIN, kDefaultMinCharge);
    SetDlgItemTextA(Window(), IDC_BUDGET_MAX, kDefaultMaxCharge);
    EnableBudgetEdits();
    SetInitialDates();
    PrepareOptionList();

    if (conditionsExist_) {
        ShowHeldConditions();
    } else {
        ShowDefaults();
    }
    BindCaptions();
    return TRUE;
}

void SearchConditionsDialog::FillFixedLists() {
    static constexpr const char* kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int id : {IDC_ADULT_LIST, IDC_CHILD_LIST, IDC_INFANT_LIST}) {
        for (const char* digit : kDigits) {
            AddComboItem(Item(id), digit);
        }
    }
    for (const char* digit : kDigits) {
        if (digit[0] != '0') {
            AddComboItem(Item(IDC_ROOM_LIST), digit);
        }
    }
    for (const char* radius : kRadiusItems) {
        AddComboItem(Item(IDC_RADIUS_LIST), radius);
    }
    SelectComboItem(Item(IDC_RADIUS_LIST), kDefaultRadiusItem);
    SelectComboItem(Item(IDC_ADULT_LIST), kDefaultAdultItem);
    SelectComboItem(Item(IDC_CHILD_LIST), 0);
    SelectComboItem(Item(IDC_INFANT_LIST), 0);
    SelectComboItem(Item(IDC_ROOM_LIST), 0);
}

// Check-in the day after tomorrow, check-out two nights later, both at the
// current time of day.
void SearchConditionsDialog::SetInitialDates() {
    const LocalDateTime checkin = AddDays(Now(), kDaysUntilCheckin);
    SetPickerDate(Item(IDC_CHECKIN_PICKER), checkin);
    SetPickerDate(Item(IDC_CHECKOUT_PICKER), AddDays(checkin, kDefaultNights));
}

void SearchConditionsDialog::PrepareOptionList() {
    const ListControl list(Item(IDC_OPTION_LIST));
    const LPARAM styles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    SendMessageA(list.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(styles), styles);

    list.InsertColumn(0, kOptionColumnTitle, LVCFMT_LEFT, list.RemainingColumnWidth(0));
    for (int i = 0; i < static_cast<int>(std::size(kFacilityItems)); ++i) {
        SetOptionTicked(list, list.InsertRow(i, kFacilityItems[i]), false);
    }
}

void SearchConditionsDialog::ShowDefaults() {
    CopyField(conditions_.landmarkName, "");
    SetDlgItemTextA(Window(), IDCANCEL, kExitText);
    SetChecked(Item(IDC_AREA_RADIO), true);
    SetChecked(Item(IDC_LANDMARK_RADIO), false);
    ApplyAreaRule(true);
}

void SearchConditionsDialog::ShowHeldConditions() {
    const bool nearLandmark = conditions_.areaMode == kAreaModeNearLandmark;
    SetChecked(Item(IDC_AREA_RADIO), !nearLandmark);
    SetChecked(Item(IDC_LANDMARK_RADIO), nearLandmark);
    if (nearLandmark) {
        SetDlgItemTextA(Window(), IDC_LANDMARK_NAME, conditions_.landmarkName);
        // A radius that no item shows (none was stored yet) keeps the default item.
        const int radiusItem = conditions_.radiusMetres / kRadiusStepMetres - 1;
        if (radiusItem >= 0 && radiusItem < static_cast<int>(std::size(kRadiusItems)) &&
            conditions_.radiusMetres % kRadiusStepMetres == 0) {
            SelectComboItem(Item(IDC_RADIUS_LIST), radiusItem);
        }
    }
    ApplyAreaRule(!nearLandmark);

    SelectComboItem(Item(IDC_MIDDLE_CLASS_LIST), conditions_.middleClassIndex);
    RefillSmallClasses(conditions_.middleClassIndex);
    SelectComboItem(Item(IDC_SMALL_CLASS_LIST), conditions_.smallClassIndex);
    UpdateDetailClasses(conditions_.smallClassIndex);
    SelectComboItem(Item(IDC_DETAIL_CLASS_LIST), conditions_.detailClassIndex);

    SetPickerDate(Item(IDC_CHECKIN_PICKER), conditions_.checkinDate);
    SetPickerDate(Item(IDC_CHECKOUT_PICKER), conditions_.checkoutDate);

    SelectComboItem(Item(IDC_ADULT_LIST), conditions_.adultNum);
    SelectComboItem(Item(IDC_CHILD_LIST), conditions_.upClassNum);
    SelectComboItem(Item(IDC_INFANT_LIST), conditions_.infantWithMBNum);
    SelectComboItem(Item(IDC_ROOM_LIST), conditions_.roomNum - 1);

    const bool budget = conditions_.minCharge != -1 && conditions_.maxCharge != -1;
    SetChecked(Item(IDC_BUDGET_CHECK), budget);
    if (budget) {
        SetDlgItemInt(Window(), IDC_BUDGET_MIN, static_cast<UINT>(conditions_.minCharge), TRUE);
        SetDlgItemInt(Window(), IDC_BUDGET_MAX, static_cast<UINT>(conditions_.maxCharge), TRUE);
    }
    EnableBudgetEdits();

    const ListControl options(Item(IDC_OPTION_LIST));
    for (int i = 0; i < static_cast<int>(std::size(kFacilityConditions)); ++i) {
        if (conditions_.*kFacilityConditions[i].flag != 0) {
            SetOptionTicked(options, i, true);
        }
    }
}

void SearchConditionsDialog::BindCaptions() {
    for (auto [caption, id] : {std::pair{&areaCaption_, IDC_AREA_CAPTION}, std::pair{&stayCaption_, IDC_STAY_CAPTION}}) {
        caption->Bind(Item(id));
        caption->startColour = kCaptionStartColour;
        caption->endColour = kCaptionEndColour;
        caption->textColour = kCaptionTextColour;
    }
}

void SearchConditionsDialog::OnMiddleClassChange() {
    RefillSmallClasses(ComboSelection(Item(IDC_MIDDLE_CLASS_LIST)));
}

void SearchConditionsDialog::OnSmallClassChange() {
    UpdateDetailClasses(ComboSelection(Item(IDC_SMALL_CLASS_LIST)));
}

// A middle class that the catalogue does not find leaves the small list and
// the catalogue's entries as they were.
void SearchConditionsDialog::RefillSmallClasses(int middlePosition) {
    HWND smallList = Item(IDC_SMALL_CLASS_LIST);
    if (FindClass(catalogue_.middleClasses, middlePosition) != nullptr) {
        SendMessageA(smallList, CB_RESETCONTENT, 0, 0);
        catalogue_.ListSmallClasses(middlePosition, ComboSink(smallList));
    }
    SelectComboItem(smallList, 0);
    UpdateDetailClasses(0);
}

// The detail list holds only detail classes of the chosen small class: with
// none chosen (a middle class without small classes) it stays empty, so no
// detail class of another area can be chosen or sent.
void SearchConditionsDialog::UpdateDetailClasses(int smallPosition) {
    HWND smallList = Item(IDC_SMALL_CLASS_LIST);
    HWND detailList = Item(IDC_DETAIL_CLASS_LIST);
    SendMessageA(detailList, CB_RESETCONTENT, 0, 0);
    const bool hasDetails = catalogue_.ListDetailClasses(smallPosition, ComboSink(detailList));
    ShowWindow(detailList, hasDetails ? SW_SHOW : SW_HIDE);

    RECT smallRect{};
    RECT detailRect{};
    GetWindowRect(smallList, &smallRect);
    GetWindowRect(detailList, &detailRect);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&smallRect), 2);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&detailRect), 2);
    const int right =
        SmallClassListRight(detailRect.left, detailRect.right, hasDetails, ScaleToWindow(Window(), kAreaListGap));
    SetWindowPos(smallList, nullptr, 0, 0, right - smallRect.left, smallRect.bottom - smallRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SelectComboItem(detailList, 0);
}

void SearchConditionsDialog::ApplyAreaRule(bool byArea) {
    for (int id : {IDC_MIDDLE_CLASS_LIST, IDC_SMALL_CLASS_LIST, IDC_DETAIL_CLASS_LIST}) {
        EnableWindow(Item(id), byArea);
    }
    EnableWindow(Item(IDC_RADIUS_LIST), !byArea);
}

void SearchConditionsDialog::OnAreaRadio() {
    ApplyAreaRule(true);
}

// Every click lets the user pick a landmark anew; cancelling the pick returns
// to the search by area.
void SearchConditionsDialog::OnLandmarkRadio() {
    ApplyAreaRule(false);
    if (pickLandmark_(Window(), conditions_)) {
        SetDlgItemTextA(Window(), IDC_LANDMARK_NAME, conditions_.landmarkName);
    } else {
        ReturnToAreaSearch();
    }
}

void SearchConditionsDialog::ReturnToAreaSearch() {
    HWND areaRadio = Item(IDC_AREA_RADIO);
    SetChecked(areaRadio, true);
    SetChecked(Item(IDC_LANDMARK_RADIO), false);
    SendMessageA(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(areaRadio), TRUE);
    ApplyAreaRule(true);
}

void SearchConditionsDialog::OnBudgetCheck() {
    EnableBudgetEdits();
}

void SearchConditionsDialog::EnableBudgetEdits() {
    const bool ticked = IsChecked(Item(IDC_BUDGET_CHECK));
    EnableWindow(Item(IDC_BUDGET_MIN), ticked);
    EnableWindow(Item(IDC_BUDGET_MAX), ticked);
}

// The budget is typed in plain digits: the edit that gets the focus loses its
// input method.
void SearchConditionsDialog::OnBudgetEditFocus() {
    HWND focus = GetFocus();
    if (focus == Item(IDC_BUDGET_MIN) || focus == Item(IDC_BUDGET_MAX)) {
        ImmAssociateContext(focus, nullptr);
    }
}

void SearchConditionsDialog::OnHelp() {
    ShowHelpContents(Window());
}

void SearchConditionsDialog::OnCancel() {
    EndDialog(-1);
}

void SearchConditionsDialog::OnSearch() {
    StoreControls();
    const std::string minCharge = WindowText(Item(IDC_BUDGET_MIN));
    const std::string maxCharge = WindowText(Item(IDC_BUDGET_MAX));
    const std::string radius = ComboSelectedText(Item(IDC_RADIUS_LIST));
    SearchFormInput form;
    form.budgetTicked = IsChecked(Item(IDC_BUDGET_CHECK));
    form.minChargeText = minCharge;
    form.maxChargeText = maxCharge;
    form.radiusText = radius;
    form.now = Now();
    const SearchUrlResult request = BuildSearchUrl(conditions_, catalogue_, form, hosts_.service);
    if (!request.ok) {
        ShowMessageBox(Window(), request.message, request.caption, IconStyle(request.icon));
        return;
    }
    SearchPageLoop pages(request.url);
    PageStep end;
    if (FetchPages(pages, end)) {
        ShowPagesRead(pages, end);
    }
    // Otherwise the user closed the progress window: nothing went wrong, and
    // nothing read is kept.
}

void SearchConditionsDialog::StoreControls() {
    HWND middleList = Item(IDC_MIDDLE_CLASS_LIST);
    HWND smallList = Item(IDC_SMALL_CLASS_LIST);
    HWND detailList = Item(IDC_DETAIL_CLASS_LIST);
    conditions_.middleClassIndex = ComboSelection(middleList);
    conditions_.smallClassIndex = ComboSelection(smallList);
    conditions_.detailClassIndex = ComboSelection(detailList);
    CopyField(conditions_.middleClassName, ComboSelectedText(middleList));
    CopyField(conditions_.smallClassName, ComboSelectedText(smallList));
    CopyField(conditions_.detailClassName, ComboSelectedText(detailList));
    conditions_.checkinDate = PickerDate(Item(IDC_CHECKIN_PICKER));
    conditions_.checkoutDate = PickerDate(Item(IDC_CHECKOUT_PICKER));
    conditions_.adultNum = DecimalToInt(ComboSelectedText(Item(IDC_ADULT_LIST)));
    conditions_.upClassNum = DecimalToInt(ComboSelectedText(Item(IDC_CHILD_LIST)));
    conditions_.infantWithMBNum = DecimalToInt(ComboSelectedText(Item(IDC_INFANT_LIST)));
    conditions_.roomNum = DecimalToInt(ComboSelectedText(Item(IDC_ROOM_LIST)));
    const ListControl options(Item(IDC_OPTION_LIST));
    for (int i = 0; i < static_cast<int>(std::size(kFacilityConditions)); ++i) {
        conditions_.*kFacilityConditions[i].flag = options.CheckState(i) == kTickedCheckState ? 1 : 0;
    }
    conditions_.areaMode = IsChecked(Item(IDC_LANDMARK_RADIO)) ? kAreaModeNearLandmark : kAreaModeByClass;
}

// Each reply goes to the page loop as it arrives; the window stays open for
// the page the loop asks for next.
bool SearchConditionsDialog::FetchPages(SearchPageLoop& pages, PageStep& end) {
    const std::string firstUrl = pages.PageUrl(1);
    std::string replyText;
    FetchProgressDialog progress(firstUrl.c_str(), replyText);
    end = pages.FirstStep();
    progress.SetFollowUp([&](std::string& nextUrl, std::string& shown) {
        end = pages.TakeReply(std::move(replyText));
        replyText.clear();
        if (end.action != PageStep::Action::FetchPage) {
            return false;
        }
        nextUrl = pages.PageUrl(end.page);
        shown = std::to_string(end.page) + " / " + std::to_string(pages.PagesToRead());
        return true;
    });
    if (progress.DoModal(Window(), IDD_FETCH_PROGRESS) == 0) {
        return true;
    }
    if (progress.CancelledByUser()) {
        return false;
    }
    end = pages.TakeFetchFailure();
    return true;
}

void SearchConditionsDialog::ShowPagesRead(SearchPageLoop& pages, const PageStep& end) {
    switch (end.action) {
    case PageStep::Action::Done:
        pages.MoveResultInto(reply_);
        EndDialog(0);
        return;
    case PageStep::Action::Partial:
        pages.MoveResultInto(reply_);
        ShowMessageBox(Window(), kPartialMessage, kResultCaption, MB_ICONINFORMATION);
        EndDialog(0);
        return;
    case PageStep::Action::Failed:
    case PageStep::Action::FetchPage:
        ShowFirstPageFailure(end.failure);
        return;
    }
}

// As a search of a single reply: the dialog stays open, and the hotels of the
// last search stay as they were.
void SearchConditionsDialog::ShowFirstPageFailure(PageFailure failure) {
    switch (failure) {
    case PageFailure::NotFound:
        ShowMessageBox(Window(), kNotFoundMessage, kResultCaption, MB_ICONINFORMATION);
        return;
    case PageFailure::ServerError:
        ShowMessageBox(Window(), kServerErrorMessage, kServerErrorCaption, MB_ICONINFORMATION);
        return;
    case PageFailure::None:
    case PageFailure::NoReply:
    case PageFailure::NotThePage:
        ShowMessageBox(Window(), kNoReplyMessage, kServerErrorCaption, MB_ICONINFORMATION);
        return;
    }
}

}  // namespace qx
