#include "controls/ListControl.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

class ListControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PumpPendingMessages();
        ASSERT_NE(host_.Create(nullptr, IDD_TEST_HOST), nullptr);
        list_ = ListControl(host_.Item(IDC_TEST_LIST));
    }
    void TearDown() override {
        host_.DestroyWindow();
        test::PumpPendingMessages();
    }

    test::HostDialog host_{nullptr};
    ListControl list_{nullptr};
};

TEST_F(ListControlTest, ColumnsRowsAndCells) {
    EXPECT_EQ(list_.InsertColumn(0, "番号", LVCFMT_LEFT, 40), 0);
    EXPECT_EQ(list_.InsertColumn(1, "名前", LVCFMT_LEFT), 1);
    EXPECT_EQ(list_.InsertColumn(2, "料金", LVCFMT_RIGHT, 60, 2), 2);
    EXPECT_EQ(SendMessageA(list_.Window(), LVM_GETCOLUMNWIDTH, 0, 0), 40);
    EXPECT_EQ(list_.HeaderItemFormat(2) & HDF_JUSTIFYMASK, HDF_RIGHT);

    EXPECT_EQ(list_.InsertRow(0, "1"), 0);
    EXPECT_EQ(list_.InsertRow(1, "2", 0), 1);
    EXPECT_EQ(list_.InsertRow(0, "0"), 0) << "inserted before the others";
    EXPECT_EQ(list_.RowCount(), 3);
    EXPECT_TRUE(list_.SetCellText(1, 1, "ホテル東京"));
    EXPECT_TRUE(list_.SetCellText(1, 2, "12,600"));

    char cell[64];
    EXPECT_EQ(list_.CellText(1, 1, cell, sizeof(cell)), static_cast<int>(std::strlen("ホテル東京")));
    EXPECT_STREQ(cell, "ホテル東京");
    EXPECT_EQ(list_.CellText(1, 0, cell, sizeof(cell)), 1);
    EXPECT_STREQ(cell, "1");
    EXPECT_EQ(list_.CellText(2, 1, cell, sizeof(cell)), 0) << "a cell never written is empty";
    EXPECT_STREQ(cell, "");
}

TEST_F(ListControlTest, CellTextNeverWritesPastTheBuffer) {
    list_.InsertColumn(0, "列", LVCFMT_LEFT, 100);
    list_.InsertRow(0, "123456789");
    char cell[8];
    std::memset(cell, 'x', sizeof(cell));
    list_.CellText(0, 0, cell, 4);
    EXPECT_STREQ(cell, "123");
    EXPECT_EQ(cell[4], 'x');
    EXPECT_EQ(list_.CellText(0, 0, cell, 0), 0);
    EXPECT_EQ(list_.CellText(0, 0, nullptr, 8), 0);
    EXPECT_EQ(list_.CellText(5, 0, cell, sizeof(cell)), 0) << "no such row";
    EXPECT_STREQ(cell, "");
}

TEST_F(ListControlTest, SelectionStateCheckStateAndItemData) {
    SendMessageA(list_.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    list_.InsertColumn(0, "列", LVCFMT_LEFT, 100);
    for (const char* text : {"a", "b", "c"}) {
        list_.InsertRow(list_.RowCount(), text);
    }
    EXPECT_EQ(list_.NextRow(-1, LVNI_SELECTED), -1);
    EXPECT_EQ(list_.SelectedCount(), 0);
    EXPECT_TRUE(list_.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(list_.NextRow(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list_.NextRow(2, LVNI_SELECTED), -1);
    EXPECT_EQ(list_.SelectedCount(), 1);

    EXPECT_EQ(list_.CheckState(0), 0);
    EXPECT_TRUE(list_.SetItemState(0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK));
    EXPECT_EQ(list_.CheckState(0), 1);
    EXPECT_EQ(list_.CheckState(1), 0);

    EXPECT_TRUE(list_.SetRowData(1, 77));
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = 1;
    ASSERT_TRUE(SendMessageA(list_.Window(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 77);

    EXPECT_TRUE(list_.DeleteAllRows());
    EXPECT_EQ(list_.RowCount(), 0);
    EXPECT_EQ(list_.NextRow(-1, LVNI_SELECTED), -1);
}

}  // namespace
}  // namespace qx
