#include "app/MainDialog.h"

#include "framework/HtmlHelp.h"
#include "framework/MessageBoxes.h"
#include "controls/ListControl.h"
#include "details/LandmarkDialog.h"
#include "details/PlanDialog.h"
#include "net/ExternalLinks.h"
#include "net/FetchProgressDialog.h"
#include "parse/DecimalText.h"
#include "res/resource.h"
#include "search/ConditionSummaryView.h"
#include "search/SearchConditionsDialog.h"
#include "search/SearchRequest.h"

#include <iterator>
#include <string>

namespace qx {
namespace {

constexpr char kAreaFetchFailedText[] = "エリア情報の取得ができませんでした。";
constexpr char kAreaFetchFailedCaption[] = "通信エラー";

// Widths in pixels at 96 dpi (scaled to the list's dpi); the last column takes
// the rest of the list.
constexpr ListColumn kHotelColumns[] = {
    {"ID", LVCFMT_LEFT, 0},
    {"施設名", LVCFMT_LEFT, 160},
    {"住所", LVCFMT_LEFT, 170},
    {"最低価格", LVCFMT_RIGHT, 65},
    {"最高価格", LVCFMT_RIGHT, 65},
    {"特記事項", LVCFMT_LEFT, -1},
};
constexpr int kHotelNameColumn = 1;
constexpr int kLowestChargeColumn = 3;
constexpr int kHighestChargeColumn = 4;

constexpr int kSummaryIds[] = {IDC_AREA_SUMMARY,   IDC_PERIOD_SUMMARY, IDC_BUDGET_SUMMARY,
                               IDC_PEOPLE_SUMMARY, IDC_ROOMS_SUMMARY,  IDC_OPTIONS_SUMMARY};
constexpr int kHotelButtonIds[] = {IDC_MAP_BUTTON, IDC_PLAN_BUTTON, IDC_PAGE_BUTTON};

// The caption over the summaries: a blue gradient with white text.
constexpr COLORREF kCaptionStart = RGB(50, 50, 255);
constexpr COLORREF kCaptionEnd = RGB(150, 150, 240);
constexpr COLORREF kCaptionText = RGB(255, 255, 255);

// A hotel number is read back from the list into this many bytes.
constexpr int kHotelNoBufferSize = 32;

HICON LoadAppIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

}  // namespace

const MainDialog::MessageMap MainDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &MainDialog::OnInitDialog),
    OnMessage(WM_CTLCOLORSTATIC, &MainDialog::OnColourStatic),
    OnCommand(IDC_MAP_BUTTON, &MainDialog::OnMap),
    OnCommand(IDC_PLAN_BUTTON, &MainDialog::OnPlans),
    OnCommand(IDC_PAGE_BUTTON, &MainDialog::OnPage),
    OnCommand(IDC_HELP_BUTTON, &MainDialog::OnHelp),
    OnCommand(IDC_SEARCH_BUTTON, &MainDialog::OnSearch),
    OnCommand(IDC_MAIN_EXIT, &MainDialog::OnExit),
    OnCommand(IDC_MAIN_DUMMY, &MainDialog::OnEnter),
    OnNotify(kAnyControl, NM_DBLCLK, &MainDialog::OnDoubleClick),
    OnNotify(kAnyControl, LVN_ITEMCHANGED, &MainDialog::OnItemChanged),
};

// The members then destroy the icons, before the base destroys the window.
MainDialog::~MainDialog() {
    ReleaseResources();
}

HWND MainDialog::CreateHidden() {
    return Create(nullptr, IDD_MAIN);
}

LRESULT MainDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    SetIcons();
    if (!LoadAreas()) {
        ShowMessageBox(Window(), kAreaFetchFailedText, kAreaFetchFailedCaption, MB_ICONINFORMATION);
        return FALSE;
    }
    SearchConditionsDialog first(catalogue_, reply_, conditions_, false, hosts_, LandmarkDialogPicker(hosts_));
    if (first.DoModal(GetActiveWindow(), IDD_SEARCH_CONDITIONS) != 0) {
        ReleaseResources();
        DestroyWindow();
        PostQuitMessage(0);
        return FALSE;
    }
    BindResults();
    FocusHotelList();
    return TRUE;
}

void MainDialog::SetIcons() {
    bigIcon_.reset(LoadAppIcon(SM_CXICON, SM_CYICON));
    smallIcon_.reset(LoadAppIcon(SM_CXSMICON, SM_CYSMICON));
    SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

bool MainDialog::LoadAreas() {
    const std::string url = BuildAreaClassUrl(hosts_.service);
    if (url.empty()) {
        return false;
    }
    std::string replyText;
    FetchProgressDialog progress(url.c_str(), replyText);
    // A fetch the user cancelled leaves the program without areas just as a
    // failed one does, so both are told: the message says why the lists are empty.
    if (progress.Run() != 0) {
        return false;
    }
    catalogue_.SetReplyText(std::move(replyText));
    return true;
}

void MainDialog::BindResults() {
    for (std::size_t i = 0; i < std::size(kSummaryIds); ++i) {
        summaries_[i] = Item(kSummaryIds[i]);
    }
    calendar_ = Item(IDC_CHECKIN_CALENDAR);
    for (std::size_t i = 0; i < std::size(kHotelButtonIds); ++i) {
        hotelButtons_[i] = Item(kHotelButtonIds[i]);
    }
    SetUpHotelList();
    FillHotelList(hotelList_.Window(), reply_);
    hotelList_.ascending[kHotelNameColumn] = 0;
    hotelList_.SortByColumn(kHotelNameColumn);
    ShowConditionSummary(Window(), conditions_);
    ShowHotelCount(Window(), reply_);
    summaryBrush_.reset(CreateSolidBrush(kSummaryBackground));
    conditionsCaption_.Bind(Item(IDC_CONDITIONS_CAPTION));
    conditionsCaption_.startColour = kCaptionStart;
    conditionsCaption_.endColour = kCaptionEnd;
    conditionsCaption_.textColour = kCaptionText;
    InvalidateRect(conditionsCaption_.Window(), nullptr, TRUE);
    bound_ = true;
}

void MainDialog::SetUpHotelList() {
    hotelList_.Bind(Item(IDC_HOTEL_LIST));
    hotelList_.numericColumn[kLowestChargeColumn] = 1;
    hotelList_.numericColumn[kHighestChargeColumn] = 1;
    const ListControl list(hotelList_.Window());
    ListView_SetExtendedListViewStyle(list.Window(), LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    list.InsertColumns(kHotelColumns, static_cast<int>(std::size(kHotelColumns)));
    images_.Show(list.Window(), CreateSmallIconList(GetModuleHandleA(nullptr), IDI_HOTEL));
}

LRESULT MainDialog::OnColourStatic(WPARAM dc, LPARAM control) {
    if (!summaryBrush_ || !IsSummaryEdit(reinterpret_cast<HWND>(control))) {
        return 0;
    }
    HDC context = reinterpret_cast<HDC>(dc);
    SetTextColor(context, RGB(0, 0, 0));
    SetBkColor(context, kSummaryBackground);
    return reinterpret_cast<LRESULT>(summaryBrush_.get());
}

bool MainDialog::IsSummaryEdit(HWND control) const {
    for (HWND summary : summaries_) {
        if (summary != nullptr && summary == control) {
            return true;
        }
    }
    return false;
}

bool MainDialog::SelectedHotelNo(std::int32_t& hotelNo) const {
    if (!bound_) {
        return false;
    }
    const ListControl list(hotelList_.Window());
    const int row = list.NextRow(-1, LVNI_SELECTED);
    if (row < 0) {
        return false;
    }
    char text[kHotelNoBufferSize] = {};
    list.CellText(row, 0, text, sizeof text);
    hotelNo = DecimalToInt(text);
    return true;
}

void MainDialog::OnMap() {
    std::int32_t hotelNo = 0;
    if (SelectedHotelNo(hotelNo)) {
        OpenHotelMap(reply_.hotels, hotelNo, hosts_.map);
    }
}

void MainDialog::OnPlans() {
    std::int32_t hotelNo = 0;
    if (SelectedHotelNo(hotelNo)) {
        PlanDialog plans(reply_, hotelNo, hosts_);
        plans.Run(GetActiveWindow());
    }
}

void MainDialog::OnPage() {
    std::int32_t hotelNo = 0;
    if (SelectedHotelNo(hotelNo)) {
        OpenHotelPage(reply_.hotels, hotelNo, hosts_.affiliate);
    }
}

void MainDialog::OnHelp() {
    ShowHelpContents(Window());
}

void MainDialog::OnSearch() {
    const INT_PTR result = RunSearchFromMainWindow(Window(), Item(IDC_HOTEL_LIST), catalogue_, reply_, conditions_,
                                                   hosts_, LandmarkDialogPicker(hosts_));
    if (result != 0) {
        return;
    }
    if (!bound_) {
        BindResults();
    }
    FocusHotelList();
}

// After a search the keyboard rests on the hotel list, its first row focused
// but not chosen: Enter there opens nothing until the user chooses a row,
// where on a push button it would press it (on the exit button, end the
// program). The focus is posted, so that it lands once the window is shown
// and active again, after the platform has restored its own choice of focus.
void MainDialog::FocusHotelList() {
    HWND list = hotelList_.Window();
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED | LVIS_SELECTED);
    UpdateHotelButtons();
    PostMessageA(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

// Enter presses the hidden default button: on the hotel list it opens the
// plans, as a double click does; anywhere else it does nothing.
void MainDialog::OnEnter() {
    if (GetFocus() == hotelList_.Window()) {
        OnPlans();
    }
}

LRESULT MainDialog::OnDoubleClick(NMHDR*) {
    OnPlans();
    return 0;
}

LRESULT MainDialog::OnItemChanged(NMHDR*) {
    UpdateHotelButtons();
    return 0;
}

void MainDialog::UpdateHotelButtons() {
    const bool selected = bound_ && ListControl(hotelList_.Window()).SelectedCount() > 0;
    // The list notifies every change of every row (thousands while it is
    // filled or numbered for a sort), so this stays cheap: the selected count
    // is kept by the list, where a search for a selected row walks the rows,
    // and a button is only touched when its state must change.
    for (HWND button : hotelButtons_) {
        if (button != nullptr && (IsWindowEnabled(button) != FALSE) != selected) {
            EnableWindow(button, selected);
        }
    }
}

void MainDialog::OnExit() {
    Close();
}

void MainDialog::Close() {
    ReleaseResources();
    DestroyWindow();
    PostQuitMessage(0);
}

void MainDialog::ReleaseResources() {
    summaryBrush_.reset();
    images_.Release();
}

}  // namespace qx
