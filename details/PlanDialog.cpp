#include "details/PlanDialog.h"

#include "controls/ListControl.h"
#include "details/PlanText.h"
#include "net/ExternalLinks.h"
#include "res/resource.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace qx {
namespace {

// An edit that shows one of the hotel's details.
struct DetailEdit {
    int id;
    const char* text;
};

// Widths in pixels at 96 dpi (scaled to the list's dpi); the last column takes
// the rest of the list.
constexpr ListColumn kPlanColumns[] = {
    {"予約", LVCFMT_LEFT, 0},
    {"部屋タイプ", LVCFMT_LEFT, 210},
    {"プラン詳細", LVCFMT_LEFT, 230},
    {"合計金額", LVCFMT_RIGHT, 65},
    {"食事", LVCFMT_LEFT, -1},
};
constexpr int kChargeColumn = 3;
constexpr int kRoomNameColumn = 1;

// A reservation address is read back from the list into this many bytes.
constexpr int kReserveUrlBufferSize = 512;

}  // namespace

const PlanDialog::MessageMap PlanDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &PlanDialog::OnInitDialog),
    OnMessage(kStartPictureMessage, &PlanDialog::OnStartPicture),
    OnMessage(WM_CTLCOLORSTATIC, &PlanDialog::OnColourStatic),
    OnCommand(IDC_PLAN_CLOSE, &PlanDialog::OnCloseButton),
    OnCommand(IDC_PLAN_CANCEL, &PlanDialog::OnCancelButton),
    OnCommand(IDC_RESERVE_BUTTON, &PlanDialog::OnReserve),
    OnCommand(IDC_HOTEL_PAGE_BUTTON, &PlanDialog::OnHotelPage),
    OnNotify(IDC_PLAN_LIST, LVN_ITEMCHANGED, &PlanDialog::OnPlanSelectionChanged),
    OnNotify(IDC_PLAN_LIST, NM_DBLCLK, &PlanDialog::OnPlanDoubleClick),
};

PlanDialog::PlanDialog(const HotelSearchReply& reply, std::int32_t hotelNo, const ServiceHosts& hosts)
    : reply_(reply), hotelNo_(hotelNo), hosts_(hosts) {}

PlanDialog::~PlanDialog() {
    ReleaseResources();
}

INT_PTR PlanDialog::Run(HWND owner) {
    return DoModal(owner, IDD_PLAN_INFORMATION);
}

LRESULT PlanDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    ShowHotelDetails();
    SetUpPlanList();
    FillPlanList();
    planList_.ascending[kRoomNameColumn] = 0;
    planList_.SortByColumn(kRoomNameColumn);
    ShowWaitingPicture();
    // Posted: the download starts as soon as the modal loop runs.
    PostMessageA(Window(), kStartPictureMessage, 0, 0);
    detailBrush_.reset(CreateSolidBrush(kDetailBackground));
    return TRUE;
}

void PlanDialog::ShowHotelDetails() {
    const HotelRecord* hotel = reply_.FindHotel(hotelNo_);
    if (hotel == nullptr) {
        return;
    }
    hotel_ = *hotel;
    const DetailEdit edits[] = {
        {IDC_HOTEL_NAME, hotel_.hotelName},
        {IDC_TELEPHONE_NO, hotel_.telephoneNo},
        {IDC_FAX_NO, hotel_.faxNo},
        {IDC_HOTEL_SPECIAL, hotel_.hotelSpecial},
        {IDC_ACCESS, hotel_.access},
        {IDC_PARKING, hotel_.parkingInformation},
        {IDC_CHECKIN_TIME, hotel_.checkinTime},
        {IDC_CHECKOUT_TIME, hotel_.checkoutTime},
    };
    for (const DetailEdit& edit : edits) {
        SetDlgItemTextA(Window(), edit.id, edit.text);
    }
    char caption[kPlanWindowTitleMaxLength + 1] = {};
    GetWindowTextA(Window(), caption, sizeof caption);
    SetWindowTextA(Window(), ComposePlanWindowTitle(hotel_.hotelName, caption).c_str());
}

void PlanDialog::SetUpPlanList() {
    planList_.Bind(Item(IDC_PLAN_LIST));
    planList_.numericColumn[kChargeColumn] = 1;
    const ListControl list(planList_.Window());
    ListView_SetExtendedListViewStyle(list.Window(), LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    list.InsertColumns(kPlanColumns, static_cast<int>(std::size(kPlanColumns)));
    images_.Show(list.Window(), CreateSmallIconList(GetModuleHandleA(nullptr), IDI_HOTEL));
}

void PlanDialog::FillPlanList() {
    const ListControl list(planList_.Window());
    list.DeleteAllRows();
    for (const PlanRecord& plan : reply_.plans) {
        if (plan.hotelNo != hotelNo_) {
            continue;
        }
        const PlanListRow texts = ComposePlanListRow(plan);
        const int row = list.InsertRow(list.RowCount(), texts[0].c_str());
        if (row < 0) {
            continue;
        }
        for (std::size_t column = 1; column < texts.size(); ++column) {
            list.SetCellText(row, static_cast<int>(column), texts[column].c_str());
        }
    }
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void PlanDialog::ShowWaitingPicture() {
    TempFilePath(kHotelPictureName, hotelPicturePath_);
    if (TempFilePath(kWaitPictureName, waitPicturePath_)) {
        ExtractWaitImage(waitPicturePath_);
    }
    pictureBox_.Attach(Item(IDC_HOTEL_PICTURE));
    pictureBox_.PrepareDrawingContext();
    pictureBox_.LoadFile(waitPicturePath_);
}

LRESULT PlanDialog::OnStartPicture(WPARAM, LPARAM) {
    if (!pictureRequested_) {
        pictureRequested_ = true;
        // The waiting picture is on screen before the download begins.
        if (!IsWindowVisible(Window())) {
            ShowWindow(Window(), SW_SHOW);
            UpdateWindow(Window());
        }
        DownloadHotelPicture();
    }
    if (closePending_ != 0) {
        Close(closePending_);
    }
    return 0;
}

void PlanDialog::DownloadHotelPicture() {
    qx::DownloadHotelPicture(Window(), pictureDownload_, pictureBox_, hotel_.hotelImageUrl, hotelPicturePath_);
}

LRESULT PlanDialog::OnColourStatic(WPARAM dc, LPARAM control) {
    if (!detailBrush_ || !IsDetailEdit(reinterpret_cast<HWND>(control))) {
        return 0;
    }
    HDC context = reinterpret_cast<HDC>(dc);
    SetTextColor(context, RGB(0, 0, 0));
    SetBkColor(context, kDetailBackground);
    return reinterpret_cast<LRESULT>(detailBrush_.get());
}

bool PlanDialog::IsDetailEdit(HWND control) const {
    switch (GetDlgCtrlID(control)) {
    case IDC_HOTEL_NAME:
    case IDC_TELEPHONE_NO:
    case IDC_FAX_NO:
    case IDC_HOTEL_SPECIAL:
    case IDC_ACCESS:
    case IDC_PARKING:
    case IDC_CHECKIN_TIME:
    case IDC_CHECKOUT_TIME:
        return GetParent(control) == Window();
    default:
        return false;
    }
}

void PlanDialog::OnCloseButton() {
    Close(IDC_PLAN_CLOSE);
}

void PlanDialog::OnCancelButton() {
    Close(IDC_PLAN_CANCEL);
}

void PlanDialog::Close(int buttonId) {
    if (pictureDownload_.runningJob()) {
        // The download's handler finishes the close once the wait has stopped.
        closePending_ = buttonId;
        pictureDownload_.Close();
        return;
    }
    ReleaseResources();
    EndDialog(buttonId);
}

void PlanDialog::ReleaseResources() {
    detailBrush_.reset();
    images_.Release();
    if (waitPicturePath_[0] != '\0' || hotelPicturePath_[0] != '\0') {
        DeletePictureFiles(hotelPicturePath_, waitPicturePath_);
        hotelPicturePath_[0] = '\0';
        waitPicturePath_[0] = '\0';
    }
    pictureDownload_.Close();
}

void PlanDialog::OnReserve() {
    const ListControl list(planList_.Window());
    const int row = list.NextRow(-1, LVNI_SELECTED);
    if (row < 0) {
        return;
    }
    char reserveUrl[kReserveUrlBufferSize] = {};
    list.CellText(row, 0, reserveUrl, sizeof reserveUrl);
    OpenReservationPage(reserveUrl, hosts_.affiliate);
}

void PlanDialog::OnHotelPage() {
    OpenHotelPage(reply_.hotels, hotelNo_, hosts_.affiliate);
}

LRESULT PlanDialog::OnPlanSelectionChanged(NMHDR*) {
    const bool selected = ListControl(planList_.Window()).NextRow(-1, LVNI_SELECTED) >= 0;
    EnableWindow(Item(IDC_RESERVE_BUTTON), selected);
    return 0;
}

LRESULT PlanDialog::OnPlanDoubleClick(NMHDR*) {
    OnReserve();
    return 0;
}

}  // namespace qx
