#include "search/ConditionSummaryView.h"

#include <commctrl.h>

#include <cstring>

#include "controls/ListControl.h"
#include "res/resource.h"
#include "search/ConditionSummary.h"
#include "search/HotelCountText.h"
#include "search/HotelListRow.h"
#include "search/SearchConditionsDialog.h"

namespace qx {
namespace {

void InsertHotelRow(const ListControl& list, int row, const HotelListRow& texts) {
    const int inserted = list.InsertRow(row, ColumnText(texts, HotelListColumn::HotelNo).c_str());
    if (inserted < 0) {
        return;
    }
    for (std::size_t column = 1; column < texts.size(); ++column) {
        list.SetCellText(inserted, static_cast<int>(column), texts[column].c_str());
    }
}

}  // namespace

void ShowConditionSummary(HWND mainWindow, const SearchConditions& conditions) {
    const ConditionSummary summary = ComposeConditionSummary(conditions);
    SetDlgItemTextA(mainWindow, IDC_AREA_SUMMARY, summary.area.c_str());
    SetDlgItemTextA(mainWindow, IDC_PERIOD_SUMMARY, summary.period.c_str());
    SetDlgItemTextA(mainWindow, IDC_PEOPLE_SUMMARY, summary.persons.c_str());
    SetDlgItemTextA(mainWindow, IDC_OPTIONS_SUMMARY, summary.facilities.c_str());
    SetDlgItemTextA(mainWindow, IDC_BUDGET_SUMMARY, summary.budget.c_str());
    SetDlgItemTextA(mainWindow, IDC_ROOMS_SUMMARY, summary.rooms.c_str());

    SYSTEMTIME checkin;
    static_assert(sizeof checkin == sizeof conditions.checkinDate);
    std::memcpy(&checkin, &conditions.checkinDate, sizeof checkin);
    HWND calendar = GetDlgItem(mainWindow, IDC_CHECKIN_CALENDAR);
    SendMessageA(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&checkin));
    SendMessageA(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&checkin));
}

void FillHotelList(HWND hotelList, const HotelSearchReply& reply) {
    const ListControl list(hotelList);
    const ListDrawingHold hold(hotelList);
    list.DeleteAllRows();
    int row = 0;
    for (const HotelRecord& hotel : reply.hotels) {
        InsertHotelRow(list, row++, ComposeHotelListRow(hotel));
    }
}

void ShowHotelCount(HWND mainWindow, const HotelSearchReply& reply) {
    SetDlgItemTextA(mainWindow, IDC_HOTEL_COUNT, ComposeHotelCountText(reply).c_str());
}

INT_PTR RunSearchFromMainWindow(HWND mainWindow, HWND hotelList, AreaCatalogue& catalogue, HotelSearchReply& reply,
                                SearchConditions& conditions, const ServiceHosts& hosts,
                                const LandmarkPicker& pickLandmark) {
    const bool conditionsExist =
        conditions.areaMode == kAreaModeByClass || conditions.areaMode == kAreaModeNearLandmark;
    SearchConditionsDialog dialog(catalogue, reply, conditions, conditionsExist, hosts, pickLandmark);
    const INT_PTR result = dialog.DoModal(GetActiveWindow(), IDD_SEARCH_CONDITIONS);
    if (result == 0) {
        ShowConditionSummary(mainWindow, conditions);
        FillHotelList(hotelList, reply);
        ShowHotelCount(mainWindow, reply);
    }
    return result;
}

}  // namespace qx
