#include "details/LandmarkDialog.h"

#include "framework/Application.h"
#include "controls/ListControl.h"
#include "details/LandmarkTable.h"
#include "details/LandmarkUrls.h"
#include "net/ExternalLinks.h"
#include "net/HttpFetchJob.h"
#include "res/resource.h"

#include <imm.h>

#include <cstring>
#include <iterator>

namespace qx {
namespace {

constexpr DWORD kGeocodeTimeLimitMs = 5000;

// Widths in pixels at 96 dpi (scaled to the list's dpi); the address takes the
// rest of the list.
constexpr ListColumn kPlaceColumns[] = {
    {"lat", LVCFMT_LEFT, 0},
    {"lng", LVCFMT_LEFT, 0},
    {"名称", LVCFMT_LEFT, 150},
    {"所在地", LVCFMT_LEFT, -1},
};
// Two bytes more than the name field: should the list's copy end in half a
// character, that half lies beyond what the field takes, and the field's own
// cut on a character boundary sees whole characters only.
constexpr int kNameBufferSize = static_cast<int>(sizeof SearchConditions::landmarkName) + 2;
constexpr int kCoordinateBufferSize = static_cast<int>(kCoordinateTextWidth);

constexpr int kRowIcon = 0;

int ColumnIndex(LandmarkListColumn column) {
    return static_cast<int>(column);
}

// A new last row: icon 0, the coordinates in the hidden columns, then name and address.
void AddPlaceRow(const ListControl& list, const LandmarkRecord& place) {
    const int row =
        list.InsertRow(list.RowCount(), ColumnText(place, LandmarkListColumn::Latitude).c_str(), kRowIcon);
    if (row < 0) {
        return;
    }
    for (LandmarkListColumn column :
         {LandmarkListColumn::Longitude, LandmarkListColumn::Name, LandmarkListColumn::Address}) {
        list.SetCellText(row, ColumnIndex(column), ColumnText(place, column).c_str());
    }
}

void PutFocus(HWND dialog, HWND control) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

}  // namespace

const LandmarkDialog::MessageMap LandmarkDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &LandmarkDialog::OnInitDialog),
    OnMessage(WM_DESTROY, &LandmarkDialog::OnDestroy),
    OnCommandCode(IDC_LANDMARK_TEXT, EN_SETFOCUS, &LandmarkDialog::OnTextFocus),
    OnCommand(IDC_LANDMARK_SEARCH, &LandmarkDialog::OnSearch),
    OnCommand(IDOK, &LandmarkDialog::OnOk),
    OnCommand(IDC_LANDMARK_MAP, &LandmarkDialog::OnMap),
    OnCommand(IDCANCEL, &LandmarkDialog::OnCancel),
    OnNotify(IDC_LANDMARK_LIST, LVN_ITEMCHANGED, &LandmarkDialog::OnItemChanged),
    OnNotify(IDC_LANDMARK_LIST, NM_DBLCLK, &LandmarkDialog::OnListDoubleClick),
};

LandmarkDialog::LandmarkDialog(SearchConditions& conditions, const ServiceHosts& hosts)
    : conditions_(conditions), hosts_(hosts) {}

LRESULT LandmarkDialog::OnInitDialog(WPARAM, LPARAM) {
    CentreOverOwner();
    EnableWindow(Item(IDOK), FALSE);
    EnableWindow(Item(IDC_LANDMARK_MAP), FALSE);
    const std::string previous(conditions_.landmarkName,
                               strnlen(conditions_.landmarkName, sizeof conditions_.landmarkName));
    SetDlgItemTextA(Window(), IDC_LANDMARK_TEXT, previous.c_str());
    SetUpList();
    return TRUE;
}

// The list may still hold the image list when the dialog goes, whichever way
// it ends; it is taken back from the list first, so that it is freed once.
LRESULT LandmarkDialog::OnDestroy(WPARAM, LPARAM) {
    if (runningFetch_ != nullptr) {
        runningFetch_->stopWaiting = true;
    }
    images_.Release();
    return 0;
}

ListControl LandmarkDialog::List() const {
    return ListControl(Item(IDC_LANDMARK_LIST));
}

void LandmarkDialog::SetUpList() {
    const ListControl list = List();
    images_.Show(list.Window(), CreateSmallIconList(Application::Instance().ModuleInstance(), IDI_HOTEL));
    ListView_SetExtendedListViewStyle(list.Window(), LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    list.InsertColumns(kPlaceColumns, static_cast<int>(std::size(kPlaceColumns)));
}

// Full-width native input each time the edit gains the focus, as a Japanese
// place name is typed; the sentence mode the user had is kept.
void LandmarkDialog::OnTextFocus() {
    HWND edit = Item(IDC_LANDMARK_TEXT);
    HIMC context = ImmGetContext(edit);
    if (context == nullptr) {
        return;
    }
    DWORD conversion = 0;
    DWORD sentence = IME_SMODE_NONE;
    ImmGetConversionStatus(context, &conversion, &sentence);
    ImmSetOpenStatus(context, TRUE);
    ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, sentence);
    ImmReleaseContext(edit, context);
}

void LandmarkDialog::OnSearch() {
    // Messages are dispatched during the wait; a second search must not start inside it.
    if (runningFetch_ != nullptr) {
        return;
    }
    List().DeleteAllRows();
    const std::string text = LandmarkText();
    if (text.empty()) {
        return;
    }
    HWND button = Item(IDC_LANDMARK_SEARCH);
    EnableWindow(button, FALSE);
    std::string page;
    if (FetchPlaces(text, page)) {
        ListPlaces(page);
    }
    EnableWindow(button, TRUE);
}

std::string LandmarkDialog::LandmarkText() const {
    HWND edit = Item(IDC_LANDMARK_TEXT);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    const int copied = GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// The dialog stays usable while it waits; closing it cuts the wait short.
bool LandmarkDialog::FetchPlaces(const std::string& text, std::string& page) {
    HttpFetchJobPtr job = HttpFetchJob::Create(GeocodeRequestUrl(text, hosts_.geocode), &page);
    runningFetch_ = job.get();
    const int result = WaitForFetch(*job, FetchTextWorker, kGeocodeTimeLimitMs);
    runningFetch_ = nullptr;
    return result == kFetchOk;
}

// Every row of the page with four cells, in page order, wherever it stands.
// The list is painted once at the end: repainting it row by row made a page
// of a hundred places take seconds.
void LandmarkDialog::ListPlaces(const std::string& page) {
    const ListControl list = List();
    SendMessageA(list.Window(), WM_SETREDRAW, FALSE, 0);
    for (const LandmarkRecord& place : ReadLandmarkTable(page)) {
        AddPlaceRow(list, place);
    }
    SendMessageA(list.Window(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.Window(), nullptr, TRUE);
    if (list.RowCount() == 0) {
        PutFocus(Window(), Item(IDC_LANDMARK_TEXT));
        return;
    }
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PutFocus(Window(), list.Window());
}

LRESULT LandmarkDialog::OnItemChanged(NMHDR*) {
    const BOOL selected = SelectedRow() >= 0;
    EnableWindow(Item(IDOK), selected);
    EnableWindow(Item(IDC_LANDMARK_MAP), selected);
    return 0;
}

LRESULT LandmarkDialog::OnListDoubleClick(NMHDR*) {
    Choose();
    return 0;
}

void LandmarkDialog::OnOk() {
    Choose();
}

int LandmarkDialog::SelectedRow() const {
    return List().NextRow(-1, LVNI_SELECTED);
}

// At most bufferSize - 1 bytes of the cell.
std::string LandmarkDialog::CellText(int row, int column, int bufferSize) const {
    std::string text(static_cast<std::size_t>(bufferSize), '\0');
    const int length = List().CellText(row, column, text.data(), bufferSize);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The chosen row's coordinates and name, as far as the choice reads them.
bool LandmarkDialog::ReadSelectedPlace(LandmarkRecord& place) const {
    const int row = SelectedRow();
    if (row < 0) {
        return false;
    }
    place.latitude = CellText(row, ColumnIndex(LandmarkListColumn::Latitude), kCoordinateBufferSize);
    place.longitude = CellText(row, ColumnIndex(LandmarkListColumn::Longitude), kCoordinateBufferSize);
    place.name = CellText(row, ColumnIndex(LandmarkListColumn::Name), kNameBufferSize);
    return true;
}

void LandmarkDialog::Choose() {
    LandmarkRecord place;
    if (!ReadSelectedPlace(place)) {
        return;
    }
    ApplyLandmarkChoice(place, conditions_);
    EndDialog(0);
}

void LandmarkDialog::OnMap() {
    LandmarkRecord place;
    if (!ReadSelectedPlace(place)) {
        return;
    }
    OpenUrl(LandmarkMapUrl(place, hosts_.map));
}

void LandmarkDialog::OnCancel() {
    if (runningFetch_ != nullptr) {
        runningFetch_->stopWaiting = true;
    }
    EndDialog(-1);
}

LandmarkPicker LandmarkDialogPicker(const ServiceHosts& hosts) {
    return [&hosts](HWND owner, SearchConditions& conditions) {
        LandmarkDialog dialog(conditions, hosts);
        return dialog.DoModal(owner, IDD_LANDMARK) == 0;
    };
}

}  // namespace qx
