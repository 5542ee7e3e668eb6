// The main window: the conditions of the last search as six texts and a month
// calendar, the hotels it found in a sortable list, and the commands for the
// map, the plans and the page of the selected hotel, a new search, help and
// exit. It owns the records that live for the whole run: the area catalogue,
// the last search reply and the search conditions.
//
// Its start-up runs inside its creation while the window is hidden: it fetches
// the areas, then runs the first search. Cancelling that search destroys the
// window and posts the quit message, so the program ends without showing it.
// When the area fetch fails the window is shown inert: empty, until a search
// started from it succeeds and binds the list and the summaries after all.
//
// The message loop gives it the dialog keyboard handling (Tab, arrows, Space,
// Enter) but keeps Esc from it: the program never ends on Esc.
#pragma once

#include "framework/Dialog.h"
#include "controls/CaptionLabel.h"
#include "controls/ListViewImages.h"
#include "controls/SortableListView.h"
#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"
#include "net/ServiceHosts.h"
#include "search/SearchConditions.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

namespace qx {

class MainDialog : public DialogImpl<MainDialog> {
public:
    static const MessageMap kMessageMap;

    // Behind the six summary edits.
    static constexpr COLORREF kSummaryBackground = RGB(255, 255, 220);

    // Every request and link goes to hosts, which outlives the window.
    explicit MainDialog(const ServiceHosts& hosts) : hosts_(hosts) {}
    ~MainDialog() override;

    // Creates the hidden window and runs the start-up; null when the window
    // could not be created or closed itself during the start-up.
    HWND CreateHidden();

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnColourStatic(WPARAM dc, LPARAM control);
    void OnMap();
    void OnPlans();
    void OnPage();
    void OnHelp();
    void OnSearch();
    void OnExit();
    void OnEnter();
    LRESULT OnDoubleClick(NMHDR*);
    LRESULT OnItemChanged(NMHDR*);

    void SetIcons();
    bool LoadAreas();
    // Binds the list, the summaries and the caption to the current search.
    void BindResults();
    void SetUpHotelList();
    void FocusHotelList();
    // Enables the map, plan and page buttons exactly while a row is chosen.
    void UpdateHotelButtons();
    bool SelectedHotelNo(std::int32_t& hotelNo) const;
    bool IsSummaryEdit(HWND control) const;
    void Close();
    void ReleaseResources();

    const ServiceHosts& hosts_;
    AreaCatalogue catalogue_;
    HotelSearchReply reply_;
    SearchConditions conditions_;
    SortableListView hotelList_;
    CaptionLabel conditionsCaption_;
    ListViewImages images_;
    GdiObject<HBRUSH> summaryBrush_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    HWND summaries_[6] = {};
    HWND calendar_ = nullptr;
    HWND hotelButtons_[3] = {};
    // The list, summaries and caption show a search (false in the inert window).
    bool bound_ = false;
};

}  // namespace qx
