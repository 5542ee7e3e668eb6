// The modal dialog in which the user edits the search conditions and runs the
// hotel search (template IDD_SEARCH_CONDITIONS).
//
// It works on the main dialog's records directly: the controls are written
// into the conditions before every request, and a usable reply is handed to
// the hotel search reply. A search reads every page of its result behind one
// progress window. DoModal ends with 0 once a search has succeeded, also when
// only its first pages could be read (the user is told so), and with -1 when
// the user cancels; every other failure shows its message and leaves the
// dialog open, and a search the user cancels leaves it open silently.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "controls/CaptionLabel.h"
#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"
#include "net/ServiceHosts.h"
#include "search/LandmarkPicker.h"
#include "search/SearchConditions.h"
#include "search/SearchPageLoop.h"

namespace qx {

class SearchConditionsDialog : public DialogImpl<SearchConditionsDialog> {
public:
    static const MessageMap kMessageMap;

    // conditionsExist: show the held conditions; otherwise the start-up
    // defaults, with the cancel button reading as the one that ends the program.
    // The search goes to the service host of hosts, which outlives the dialog;
    // pickLandmark runs on every click of the landmark radio button.
    SearchConditionsDialog(AreaCatalogue& catalogue, HotelSearchReply& reply, SearchConditions& conditions,
                           bool conditionsExist, const ServiceHosts& hosts, LandmarkPicker pickLandmark);

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    void OnMiddleClassChange();
    void OnSmallClassChange();
    void OnAreaRadio();
    void OnLandmarkRadio();
    void OnBudgetCheck();
    void OnBudgetEditFocus();
    void OnHelp();
    void OnSearch();
    void OnCancel();

    void FillFixedLists();
    void SetInitialDates();
    void PrepareOptionList();
    void ShowDefaults();
    void ShowHeldConditions();
    void BindCaptions();

    // The area cascade.
    void RefillSmallClasses(int middlePosition);
    void UpdateDetailClasses(int smallPosition);
    void ApplyAreaRule(bool byArea);
    void ReturnToAreaSearch();
    void EnableBudgetEdits();

    // The search.
    void StoreControls();
    // False when the user closed the progress window; otherwise end holds the
    // page loop's last step.
    bool FetchPages(SearchPageLoop& pages, PageStep& end);
    void ShowPagesRead(SearchPageLoop& pages, const PageStep& end);
    void ShowFirstPageFailure(PageFailure failure);

    AreaCatalogue& catalogue_;
    HotelSearchReply& reply_;
    SearchConditions& conditions_;
    const bool conditionsExist_;
    const ServiceHosts& hosts_;
    const LandmarkPicker pickLandmark_;
    CaptionLabel areaCaption_;
    CaptionLabel stayCaption_;
};

}  // namespace qx
