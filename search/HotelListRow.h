// The texts of one row of the main window's hotel list, composed from a hotel
// record so that the list fill only inserts them.
#pragma once

#include "parse/HotelSearchReply.h"

#include <array>
#include <cstddef>
#include <string>

namespace qx {

// Columns of the hotel list. The hidden first column holds the hotel number,
// which the main window's buttons read back to find the hotel.
enum class HotelListColumn : std::size_t {
    HotelNo,
    HotelName,
    Address,
    LowestCharge,
    HighestCharge,
    HotelSpecial,
    Count,
};

using HotelListRow = std::array<std::string, static_cast<std::size_t>(HotelListColumn::Count)>;

// hotelNo in decimal, hotelName, address, both charges grouped, hotelSpecial.
HotelListRow ComposeHotelListRow(const HotelRecord& hotel);

// The text of one column of row.
inline const std::string& ColumnText(const HotelListRow& row, HotelListColumn column) {
    return row[static_cast<std::size_t>(column)];
}

}  // namespace qx
