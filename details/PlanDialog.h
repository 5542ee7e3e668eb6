// The plan information window: one hotel of the last search with its details,
// its picture and its room plans, from which the reservation page of a plan or
// the hotel's page opens in the browser.
//
// The picture: the waiting picture is written to a temporary file and shown at
// once; as soon as the window is painted the hotel picture is downloaded into
// a second temporary file and replaces it. Closing deletes both files. A close
// pressed while the download runs stops the wait at once; the dialog ends when
// the download's handler has returned. A worker still running afterwards writes only a
// private file of its own, which goes when the worker ends (HotelPictureDownload).
#pragma once

#include "framework/Dialog.h"
#include "controls/ListViewImages.h"
#include "controls/PictureBox.h"
#include "controls/SortableListView.h"
#include "net/HotelPictureFiles.h"
#include "net/HotelPictureDownload.h"
#include "net/ServiceHosts.h"
#include "parse/HotelSearchReply.h"

#include <windows.h>

#include <cstdint>

namespace qx {

class PlanDialog : public DialogImpl<PlanDialog> {
public:
    static const MessageMap kMessageMap;

    // Light yellow behind the detail edits.
    static constexpr COLORREF kDetailBackground = RGB(255, 255, 220);

    // The pages open through the affiliate host of hosts, which outlives the dialog.
    PlanDialog(const HotelSearchReply& reply, std::int32_t hotelNo, const ServiceHosts& hosts);
    ~PlanDialog() override;

    // Runs the dialog modally; answers the id of the button that closed it.
    INT_PTR Run(HWND owner);

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    static constexpr UINT kStartPictureMessage = WM_APP + 1;

    LRESULT OnStartPicture(WPARAM, LPARAM);
    LRESULT OnColourStatic(WPARAM dc, LPARAM control);
    void OnCloseButton();
    void OnCancelButton();
    void OnReserve();
    void OnHotelPage();
    LRESULT OnPlanSelectionChanged(NMHDR*);
    LRESULT OnPlanDoubleClick(NMHDR*);

    void ShowHotelDetails();
    void SetUpPlanList();
    void FillPlanList();
    void ShowWaitingPicture();
    void DownloadHotelPicture();
    void Close(int buttonId);
    void ReleaseResources();
    bool IsDetailEdit(HWND control) const;

    const HotelSearchReply& reply_;
    const std::int32_t hotelNo_;
    const ServiceHosts& hosts_;
    HotelRecord hotel_{};
    SortableListView planList_;
    ListViewImages images_;
    PictureBox pictureBox_;
    char hotelPicturePath_[kPicturePathWidth] = {};
    char waitPicturePath_[kPicturePathWidth] = {};
    GdiObject<HBRUSH> detailBrush_;
    HotelPictureDownload pictureDownload_;
    bool pictureRequested_ = false;
    // The button pressed while the download ran, or 0.
    int closePending_ = 0;
};

}  // namespace qx
