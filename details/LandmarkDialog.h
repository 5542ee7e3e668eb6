// The modal "エリア指定" dialog: the user types a station or building name,
// the dialog asks the geocoding page for matching places, lists them, shows a
// chosen one on the web map and, on OK, writes its name and position into the
// caller's search conditions.
//
//   LandmarkDialog dialog(conditions, hosts);
//   if (dialog.DoModal(owner, IDD_LANDMARK) == 0) { /* landmarkName, latitude, longitude written */ }
//
// DoModal ends with 0 when a place was chosen and with -1 when cancelled; the
// conditions are then unchanged. The dialog touches no other field.
#pragma once

#include "framework/Dialog.h"
#include "controls/ListViewImages.h"
#include "net/ServiceHosts.h"
#include "search/LandmarkPicker.h"
#include "search/SearchConditions.h"

#include <string>

namespace qx {

class HttpFetchJob;
class ListControl;
struct LandmarkRecord;

class LandmarkDialog : public DialogImpl<LandmarkDialog> {
public:
    static const MessageMap kMessageMap;

    // Asks the geocoding page and opens the web map of hosts, which outlives the dialog.
    LandmarkDialog(SearchConditions& conditions, const ServiceHosts& hosts);

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    void OnTextFocus();
    void OnSearch();
    LRESULT OnItemChanged(NMHDR*);
    LRESULT OnListDoubleClick(NMHDR*);
    void OnOk();
    void OnMap();
    void OnCancel();

    ListControl List() const;
    void SetUpList();
    std::string LandmarkText() const;
    // Reads the geocoding page for text; false when the fetch failed.
    bool FetchPlaces(const std::string& text, std::string& page);
    void ListPlaces(const std::string& page);
    int SelectedRow() const;
    std::string CellText(int row, int column, int bufferSize) const;
    bool ReadSelectedPlace(LandmarkRecord& place) const;
    void Choose();

    SearchConditions& conditions_;
    const ServiceHosts& hosts_;
    ListViewImages images_;
    // The fetch being waited for, so that closing the dialog can cut the wait short.
    HttpFetchJob* runningFetch_ = nullptr;
};

// The picker the search conditions dialog opens on a click of its landmark
// radio button: this dialog on hosts, which must outlive the picker.
LandmarkPicker LandmarkDialogPicker(const ServiceHosts& hosts);

}  // namespace qx
