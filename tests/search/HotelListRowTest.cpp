#include "search/HotelListRow.h"

#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using qx::ColumnText;
using qx::HotelListColumn;

TEST(HotelListRow, HoldsTheColumnsInListOrder) {
    qx::HotelRecord hotel;
    hotel.hotelNo = 4711;
    qx::CopyField(hotel.hotelName, "Hotel \x93\x8C\x8B\x9E");  // "東京" in code page 932
    qx::CopyField(hotel.address, "Chiyoda 1-1");
    hotel.lowestCharge = 5000;
    hotel.highestCharge = 1234567;
    qx::CopyField(hotel.hotelSpecial, "Quiet & near the station");

    const qx::HotelListRow row = qx::ComposeHotelListRow(hotel);

    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelNo), "4711");
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelName), "Hotel \x93\x8C\x8B\x9E");
    EXPECT_EQ(ColumnText(row, HotelListColumn::Address), "Chiyoda 1-1");
    EXPECT_EQ(ColumnText(row, HotelListColumn::LowestCharge), "5,000");
    EXPECT_EQ(ColumnText(row, HotelListColumn::HighestCharge), "1,234,567");
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelSpecial), "Quiet & near the station");
}

TEST(HotelListRow, EmptyRecordGivesZeroesAndEmptyTexts) {
    const qx::HotelListRow row = qx::ComposeHotelListRow(qx::HotelRecord{});
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelNo), "0");
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelName), "");
    EXPECT_EQ(ColumnText(row, HotelListColumn::LowestCharge), "0");
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelSpecial), "");
}

// A record whose text fields lack their terminating zero (filled by a faulty
// writer) must not be read past the field.
TEST(HotelListRow, UnterminatedFieldsAreReadOnlyToTheirWidth) {
    qx::HotelRecord hotel;
    std::memset(hotel.hotelName, 'n', sizeof hotel.hotelName);
    std::memset(hotel.address, 'a', sizeof hotel.address);
    std::memset(hotel.hotelSpecial, 's', sizeof hotel.hotelSpecial);
    const qx::HotelListRow row = qx::ComposeHotelListRow(hotel);
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelName), std::string(sizeof hotel.hotelName, 'n'));
    EXPECT_EQ(ColumnText(row, HotelListColumn::Address), std::string(sizeof hotel.address, 'a'));
    EXPECT_EQ(ColumnText(row, HotelListColumn::HotelSpecial), std::string(sizeof hotel.hotelSpecial, 's'));
}

}  // namespace
