#include "controls/SortableListView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/IntegerCellValue.h"
#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

constexpr int kNumberColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kChargeColumn = 2;
constexpr int kNoteColumn = 3;

struct Row {
    const char* number;
    const char* name;
    const char* charge;
};

const std::vector<Row> kRows = {
    {"1", "ホテルう", "12,600"},
    {"2", "ホテルあ", "9,800"},
    {"3", "ホテルえ", "なし"},
    {"4", "ホテルい", "1,000,000"},
    {"5", "ホテルお", "-500"},
};

// A host dialog whose list becomes a SortableListView during the dialog's
// creation, with a text column and an integer column.
class SortableListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PumpPendingMessages();
        ASSERT_NE(host_.Create(nullptr, IDD_TEST_HOST), nullptr);
        list_ = ListControl(host_.Item(IDC_TEST_LIST));
        test::ShowAndPaint(host_.Window());
    }
    void TearDown() override {
        host_.DestroyWindow();
        test::PumpPendingMessages();
    }

    void SetUpList(test::HostDialog& dialog) {
        ASSERT_TRUE(view_.Bind(dialog.Item(IDC_TEST_LIST)));
        view_.numericColumn[kChargeColumn] = 1;
        ListControl list(dialog.Item(IDC_TEST_LIST));
        SendMessageA(list.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        list.InsertColumn(kNumberColumn, "ID", LVCFMT_LEFT, 30);
        list.InsertColumn(kNameColumn, "施設名", LVCFMT_LEFT, 100);
        list.InsertColumn(kChargeColumn, "最低価格", LVCFMT_RIGHT, 80);
        list.InsertColumn(kNoteColumn, "特記事項", LVCFMT_LEFT, 60);
        Fill(list, kRows);
    }

    static void Fill(const ListControl& list, const std::vector<Row>& rows) {
        list.DeleteAllRows();
        for (const Row& row : rows) {
            const int index = list.InsertRow(list.RowCount(), row.number);
            list.SetCellText(index, kNameColumn, row.name);
            list.SetCellText(index, kChargeColumn, row.charge);
        }
    }

    // The hotel numbers of the rows, top to bottom.
    static std::string OrderOf(const ListControl& list) {
        std::string order;
        char cell[16];
        for (int row = 0; row < list.RowCount(); ++row) {
            list.CellText(row, kNumberColumn, cell, sizeof(cell));
            order += cell;
        }
        return order;
    }
    std::string Order() const { return OrderOf(list_); }

    // Clicks a column header with the mouse messages a real click sends.
    void ClickHeader(int column) {
        HWND header = list_.Header();
        RECT item;
        ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)));
        const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(header, WM_LBUTTONUP, 0, point);
        test::PumpPendingMessages();
    }

    int Arrow(int column) const { return list_.HeaderItemFormat(column) & (HDF_SORTUP | HDF_SORTDOWN); }
    int Alignment(int column) const { return list_.HeaderItemFormat(column) & HDF_JUSTIFYMASK; }

    SortableListView view_;
    test::HostDialog host_{[this](test::HostDialog& dialog) { SetUpList(dialog); }};
    ListControl list_{nullptr};
};

TEST_F(SortableListViewTest, FirstClickSortsAscendingWithTheUpArrowSecondDescendingWithTheDownArrow) {
    ClickHeader(kNameColumn);
    EXPECT_EQ(Order(), "24135");
    EXPECT_EQ(view_.sortColumn, kNameColumn);
    EXPECT_EQ(view_.ascending[kNameColumn], 1);
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTUP);

    ClickHeader(kNameColumn);
    EXPECT_EQ(Order(), "53142");
    EXPECT_EQ(view_.ascending[kNameColumn], 0);
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTDOWN);
}

TEST_F(SortableListViewTest, IntegerColumnSortsByValueNotByText) {
    ClickHeader(kChargeColumn);
    EXPECT_EQ(Order(), "53214") << "-500, なし (0), 9,800, 12,600, 1,000,000";
    ClickHeader(kChargeColumn);
    EXPECT_EQ(Order(), "41235");
}

TEST_F(SortableListViewTest, ArrowMovesAndTheOldColumnGetsItsAlignmentBack) {
    ClickHeader(kChargeColumn);
    EXPECT_EQ(Arrow(kChargeColumn), HDF_SORTUP);
    EXPECT_EQ(Alignment(kChargeColumn), HDF_RIGHT) << "the arrow keeps the column's alignment";

    ClickHeader(kNameColumn);
    EXPECT_EQ(Arrow(kChargeColumn), 0);
    EXPECT_EQ(Alignment(kChargeColumn), HDF_RIGHT);
    EXPECT_EQ(list_.HeaderItemFormat(kChargeColumn), HDF_STRING | HDF_RIGHT);
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTUP);
    EXPECT_EQ(Alignment(kNameColumn), HDF_LEFT);

    ClickHeader(kNoteColumn);
    EXPECT_EQ(list_.HeaderItemFormat(kNameColumn), HDF_STRING | HDF_LEFT);
    EXPECT_EQ(Arrow(kNoteColumn), HDF_SORTUP);
}

TEST_F(SortableListViewTest, OwnerChoosesTheFirstDirectionAndARefillKeepsTheArrow) {
    view_.ascending[kNameColumn] = 0;
    view_.SortByColumn(kNameColumn);
    EXPECT_EQ(Order(), "24135");
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTUP);

    Fill(list_, {kRows[4], kRows[0], kRows[3]});
    EXPECT_EQ(Order(), "514") << "refilled rows stay in the order given";
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTUP);

    ClickHeader(kNameColumn);
    EXPECT_EQ(Order(), "514") << "descending: お, う, い";
    EXPECT_EQ(Arrow(kNameColumn), HDF_SORTDOWN);
    ClickHeader(kNameColumn);
    EXPECT_EQ(Order(), "415");
}

TEST_F(SortableListViewTest, SortingAnEmptyListOnlyMovesTheArrowAndBadColumnsAreIgnored) {
    list_.DeleteAllRows();
    view_.SortByColumn(kChargeColumn);
    EXPECT_EQ(Arrow(kChargeColumn), HDF_SORTUP);
    EXPECT_EQ(list_.RowCount(), 0);

    view_.SortByColumn(-1);
    view_.SortByColumn(SortableListView::kMaxColumns);
    EXPECT_EQ(view_.sortColumn, kChargeColumn);
    EXPECT_EQ(Arrow(kChargeColumn), HDF_SORTUP);

    view_.sortColumn = 1000;  // an owner's mistake must not reach past the flags
    view_.SortByColumn(kNameColumn);
    EXPECT_EQ(view_.sortColumn, kNameColumn);
}

TEST_F(SortableListViewTest, RowsAreBandedByPositionAfterEverySort) {
    for (int column : {kNameColumn, kChargeColumn, kChargeColumn}) {
        ClickHeader(column);
        RedrawWindow(list_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const test::ClientCapture capture = test::CaptureClient(list_.Window());
        for (int row = 0; row < list_.RowCount(); ++row) {
            RECT cell{};
            cell.top = kNoteColumn;
            cell.left = LVIR_BOUNDS;
            ASSERT_TRUE(SendMessageA(list_.Window(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&cell)));
            const std::uint32_t expected =
                row % 2 == 1 ? SortableListView::kOddRowColour : SortableListView::kEvenRowColour;
            EXPECT_EQ(capture.At((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2), expected)
                << "row " << row << " after sorting column " << column;
        }
    }
}

// Rows with ties, empty cells, negative, signed, grouped and overflowing
// numbers, and a text that has no digits.
const std::vector<Row> kAwkwardRows = {
    {"1", "ホテルい", "9,800"},      {"2", "", "-1,200"},           {"3", "ホテルあ", ""},
    {"4", "ホテルい", "9800"},       {"5", "hotel", "+5"},          {"6", "Hotel", "なし"},
    {"7", "ホテルあ", "1,000,000"},  {"8", "", "2,147,483,648"},    {"9", "ﾎﾃﾙ", "-2,147,483,649"},
};

// The rule the list sorted by before the key table: each comparison found both
// rows by their item data and read their cells from the list.
struct MessageRule {
    HWND list;
    int column;
    bool ascending;
    bool numeric;
};

int CALLBACK CompareByMessages(LPARAM first, LPARAM second, LPARAM context) {
    const auto& rule = *reinterpret_cast<const MessageRule*>(context);
    const ListControl list(rule.list);
    const auto cell = [&](LPARAM data, char* text) {
        LVFINDINFOA find{};
        find.flags = LVFI_PARAM;
        find.lParam = data;
        const auto row = static_cast<int>(SendMessageA(rule.list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>(&find)));
        list.CellText(row, rule.column, text, rule.numeric ? 255 : 256);
    };
    char a[256];
    char b[256];
    cell(first, a);
    cell(second, b);
    int order = 0;
    if (rule.numeric) {
        const std::int32_t x = IntegerCellValue(a);
        const std::int32_t y = IntegerCellValue(b);
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        order = lstrcmpA(a, b);
    }
    return rule.ascending ? order : -order;
}

// Counts what the list receives while its own sort runs.
WNDPROC g_listProcedure = nullptr;
bool g_sorting = false;
int g_messagesWhileSorting = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != LVM_SORTITEMS) {
        g_messagesWhileSorting += g_sorting ? 1 : 0;
        return CallWindowProcA(g_listProcedure, window, message, wParam, lParam);
    }
    g_sorting = true;
    const LRESULT result = CallWindowProcA(g_listProcedure, window, message, wParam, lParam);
    g_sorting = false;
    return result;
}

TEST_F(SortableListViewTest, SortSendsTheListNothingAndKeepsTheOrderOfTheMessageRule) {
    Fill(list_, kAwkwardRows);
    HWND twin = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, host_.Window(), nullptr,
                                nullptr, nullptr);
    ASSERT_NE(twin, nullptr);
    const ListControl twinList(twin);
    for (int column = 0; column <= kChargeColumn; ++column) {
        twinList.InsertColumn(column, "", LVCFMT_LEFT, 50);
    }
    g_listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProcedure)));

    for (int column : {kNameColumn, kNameColumn, kChargeColumn, kChargeColumn}) {
        Fill(twinList, kAwkwardRows);
        MessageRule rule{twin, column, view_.ascending[column] == 0, view_.numericColumn[column] == 1};
        for (int row = 0; row < twinList.RowCount(); ++row) {
            twinList.SetRowData(row, row);
        }
        twinList.SortRows(&CompareByMessages, reinterpret_cast<LPARAM>(&rule));
        const std::string expected = OrderOf(twinList);
        Fill(list_, kAwkwardRows);

        g_messagesWhileSorting = 0;
        ClickHeader(column);
        EXPECT_EQ(g_messagesWhileSorting, 0) << "column " << column;
        EXPECT_EQ(Order(), expected) << "column " << column << (rule.ascending ? " ascending" : " descending");
    }
    SetWindowLongPtrA(list_.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProcedure));
    DestroyWindow(twin);
}

TEST_F(SortableListViewTest, TheCommonControlMessagesReachTheWrappedList) {
    HWND plain = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, host_.Window(), nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    const LRESULT version = SendMessageA(plain, CCM_GETVERSION, 0, 0);
    EXPECT_GE(version, 5);
    EXPECT_EQ(SendMessageA(list_.Window(), CCM_GETVERSION, 0, 0), version);
    DestroyWindow(plain);
}

}  // namespace
}  // namespace qx
