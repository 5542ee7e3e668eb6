#include "search/HotelListRow.h"

#include "parse/FixedText.h"
#include "search/ConditionSummary.h"

#include <utility>

namespace qx {

HotelListRow ComposeHotelListRow(const HotelRecord& hotel) {
    HotelListRow row;
    const auto set = [&row](HotelListColumn column, std::string text) {
        row[static_cast<std::size_t>(column)] = std::move(text);
    };
    set(HotelListColumn::HotelNo, std::to_string(hotel.hotelNo));
    set(HotelListColumn::HotelName, std::string(FieldText(hotel.hotelName)));
    set(HotelListColumn::Address, std::string(FieldText(hotel.address)));
    set(HotelListColumn::LowestCharge, FormatGroupedNumber(hotel.lowestCharge));
    set(HotelListColumn::HighestCharge, FormatGroupedNumber(hotel.highestCharge));
    set(HotelListColumn::HotelSpecial, std::string(FieldText(hotel.hotelSpecial)));
    return row;
}

}  // namespace qx
