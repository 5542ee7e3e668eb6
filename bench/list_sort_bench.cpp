// Sorting the main window's hotel list after a long search: the program's own
// main window template, its list bound to the real SortableListView with the
// program's integer columns, filled by the program's FillHotelList from a
// saved reply. Timed: the first sort (by hotel name, right after filling,
// while the window is still hidden, as at start-up) and a header click on the
// lowest-charge column once the window is shown.
//
// Beside them, the same two sorts through a table of the sort column's cells
// read once before the sort (CellTableSort.h), each on a list filled the same
// way: bound to a SortableListView; on the same template but left unbound, so
// without the wrapper's window procedure; and a bare list control in a plain
// window, so without the dialog's reflection of the list's notifications
// either. The program stops with exit code 2 unless all lists end in the same
// order after each sort.
//
//   list_sort_bench.exe <reply file, code page 932> [runs]
#include "CellTableSort.h"
#include "Figures.h"

#include "framework/Application.h"
#include "controls/ListControl.h"
#include "controls/SortableListView.h"
#include "parse/HotelSearchReply.h"
#include "res/resource.h"
#include "search/ConditionSummaryView.h"
#include "tests/support/HostDialog.h"
#include "tests/support/WindowTestSupport.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace qx::bench {
namespace {

constexpr int kHotelNoColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kLowestColumn = 3;
constexpr int kHighestColumn = 4;
constexpr double kTargetMs = 250.0;  // per sort

// The columns of the main window's hotel list: the same widths and
// alignments (titles are left out, sorting never reads them).
void SetUpColumns(HWND window) {
    const ListControl list(window);
    ListView_SetExtendedListViewStyle(window, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    const int widths[] = {0, 160, 170, 65, 65, list.RemainingColumnWidth(160 + 170 + 65 + 65)};
    for (int column = 0; column < 6; ++column) {
        const bool money = column == kLowestColumn || column == kHighestColumn;
        list.InsertColumn(column, "", money ? LVCFMT_RIGHT : LVCFMT_LEFT, widths[column], column);
    }
}

// The hotel list as the program sets it up, on the main window template.
class HotelListWindow {
public:
    explicit HotelListWindow(bool bound)
        : bound_(bound), dialog_([this](test::HostDialog& dialog) { SetUp(dialog); }) {
        dialog_.Create(nullptr, IDD_MAIN);
    }

    bool Exists() const { return dialog_.Window() != nullptr; }
    HWND Window() const { return dialog_.Window(); }
    HWND List() const { return dialog_.Item(IDC_HOTEL_LIST); }
    SortableListView& View() { return view_; }

private:
    void SetUp(test::HostDialog& dialog) {
        if (bound_) {
            view_.Bind(dialog.Item(IDC_HOTEL_LIST));
        }
        view_.numericColumn[kLowestColumn] = 1;
        view_.numericColumn[kHighestColumn] = 1;
        SetUpColumns(dialog.Item(IDC_HOTEL_LIST));
    }

    bool bound_;
    SortableListView view_;
    test::HostDialog dialog_;
};

// A list control of the template's styles and size in a hidden plain window,
// whose notifications go to a window procedure that does nothing with them.
class BareList {
public:
    BareList() {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        list_ = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                10, 160, 770, 400, parent_, nullptr, nullptr, nullptr);
        if (list_ != nullptr) {
            SetUpColumns(list_);
        }
    }
    ~BareList() {
        if (parent_ != nullptr) {
            DestroyWindow(parent_);
        }
    }
    BareList(const BareList&) = delete;
    BareList& operator=(const BareList&) = delete;

    HWND List() const { return list_; }

private:
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
};

// Clicks a header item as the mouse does; returns once the click is handled.
void ClickHeader(HWND list, int column) {
    HWND header = ListControl(list).Header();
    RECT bounds{};
    Header_GetItemRect(header, column, &bounds);
    const LPARAM at = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    SendMessageA(header, WM_MOUSEMOVE, 0, at);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// The hotel numbers of the rows, top to bottom.
std::vector<std::string> RowOrder(HWND list) {
    const ListControl control(list);
    std::vector<std::string> order;
    char cell[32];
    for (int row = 0; row < control.RowCount(); ++row) {
        control.CellText(row, kHotelNoColumn, cell, sizeof cell);
        order.emplace_back(cell);
    }
    return order;
}

double Time(const std::function<void()>& step) {
    const Stopwatch watch;
    step();
    return watch.Milliseconds();
}

void AddSteps(FigureTable& figures, const std::string& sort, const CellTableSortSteps& steps) {
    figures.Add("cell table sort " + sort, steps.numbering + steps.reading + steps.sorting);
    figures.Add("  numbering rows, " + sort, steps.numbering);
    figures.Add("  reading cells, " + sort, steps.reading);
    figures.Add("  the list's own sort, " + sort, steps.sorting);
}

// The cell table sorts of one list by name, then by lowest charge; false when
// its rows end in another order than the wrapper's after either.
bool SortWithTable(HWND list, const char* which, const std::vector<std::string>& byName,
                   const std::vector<std::string>& byCharge, FigureTable& figures) {
    AddSteps(figures, std::string("by name, ") + which,
             SortWithCellTable(list, kNameColumn, true, false));
    const bool sameByName = RowOrder(list) == byName;
    AddSteps(figures, std::string("by lowest charge, ") + which,
             SortWithCellTable(list, kLowestColumn, true, true));
    const bool sameByCharge = RowOrder(list) == byCharge;
    if (!sameByName || !sameByCharge) {
        std::fprintf(stderr, "list_sort_bench: the cell table sort left the rows in another order (by %s)\n",
                     sameByName ? "lowest charge" : "hotel name");
    }
    return sameByName && sameByCharge;
}

// The cost of one window property lookup, which the wrapper's window
// procedure makes twice for every message the list receives, in microseconds.
double PropertyLookupMicroseconds(HWND window) {
    constexpr int kLookups = 2000;
    const Stopwatch watch;
    for (int i = 0; i < kLookups; ++i) {
        GetPropA(window, "QxBenchProbe");
    }
    return 1000.0 * watch.Milliseconds() / kLookups;
}

// One run on fresh windows; false when the lists end in different orders.
bool RunOnce(const HotelSearchReply& reply, FigureTable& figures) {
    HotelListWindow wrapper(true);
    HotelListWindow table(true);
    HotelListWindow unbound(false);
    BareList bare;
    if (!wrapper.Exists() || !table.Exists() || !unbound.Exists() || bare.List() == nullptr) {
        std::fprintf(stderr, "list_sort_bench: the lists could not be created\n");
        return false;
    }
    figures.Add("fill (FillHotelList)", Time([&] { FillHotelList(wrapper.List(), reply); }));
    FillHotelList(table.List(), reply);
    FillHotelList(unbound.List(), reply);
    FillHotelList(bare.List(), reply);

    wrapper.View().ascending[kNameColumn] = 0;
    figures.Add("first sort by hotel name (SortableListView)",
                Time([&] { wrapper.View().SortByColumn(kNameColumn); }), kTargetMs);
    const std::vector<std::string> byName = RowOrder(wrapper.List());
    test::ShowAndPaint(wrapper.Window());
    figures.Add("header click, lowest charge (SortableListView)",
                Time([&] { ClickHeader(wrapper.List(), kLowestColumn); }), kTargetMs);
    const std::vector<std::string> byCharge = RowOrder(wrapper.List());

    const bool same = SortWithTable(table.List(), "subclassed", byName, byCharge, figures) &&
                      SortWithTable(unbound.List(), "not subclassed", byName, byCharge, figures) &&
                      SortWithTable(bare.List(), "bare list", byName, byCharge, figures);
    figures.Add("one window property lookup (GetPropA), microseconds", PropertyLookupMicroseconds(wrapper.List()));
    return same;
}

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

int Run(const char* replyPath, int runs) {
    HotelSearchReply reply;
    reply.SetReplyText(ReadFile(replyPath));
    if (reply.Parse() != ReplyStatus::Parsed || reply.hotels.empty()) {
        std::fprintf(stderr, "list_sort_bench: no hotels in %s\n", replyPath);
        return 1;
    }
    FigureTable figures;
    for (int run = 0; run < runs; ++run) {
        if (!RunOnce(reply, figures)) {
            return 2;
        }
        test::PumpPendingMessages();
    }
    std::printf("hotel list of %zu rows, %d runs\n", reply.hotels.size(), runs);
    figures.Print("ms");
    std::printf("  every way leaves the rows in the same order after each sort\n");
    return 0;
}

}  // namespace
}  // namespace qx::bench

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: list_sort_bench <reply file, code page 932> [runs]\n");
        return 1;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    qx::Application::Instance().Initialise(GetModuleHandleA(nullptr));
    return qx::bench::Run(argv[1], runs);
}
