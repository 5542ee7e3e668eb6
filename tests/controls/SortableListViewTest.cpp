#include "controls/SortableListView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    std::string Order() const {
        std::string order;
        char cell[16];
        for (int row = 0; row < list_.RowCount(); ++row) {
            list_.CellText(row, kNumberColumn, cell, sizeof(cell));
            order += cell;
        }
        return order;
    }

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

}  // namespace
}  // namespace qx
