#include "parse/HotelSearchReply.h"

#include "parse/AsciiCase.h"
#include "parse/DecimalText.h"
#include "parse/FixedText.h"
#include "parse/TagScanner.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace qx {
namespace {

// The first element of that name inside one hotel's or room's own text.
std::string_view Field(std::string_view element, const char* name) {
    return TagScanner::FindElement(element, name);
}

// The two long descriptions are stored whole or not at all, never cut: one
// of the field's width or longer leaves the field empty.
template <std::size_t N>
void CopyWholeOrNothing(char (&field)[N], std::string_view text) {
    CopyField(field, text.size() < N ? text : std::string_view());
}

// Every "&amp;" becomes "&" in one left-to-right pass, so "&amp;amp;" gives "&amp;".
std::string DecodeAmpersands(std::string_view text) {
    constexpr std::string_view kEscaped = "&amp;";
    std::string decoded;
    decoded.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(kEscaped, from);
        if (at == std::string_view::npos) {
            break;
        }
        decoded.append(text, from, at - from);
        decoded.push_back('&');
        from = at + kEscaped.size();
    }
    decoded.append(text, from, std::string_view::npos);
    return decoded;
}

// The sum of every vantoroCharge anywhere in the room, held at the limits of
// the field instead of overflowing.
std::int32_t SumCharges(std::string_view room) {
    std::int64_t sum = 0;
    std::int32_t cursor = 0;
    for (;;) {
        const std::string_view charge = TagScanner::FindElement(room, "vantoroCharge", cursor);
        if (cursor == -1) {
            break;
        }
        // Each term is 32-bit and a room holds far fewer than 2^31 of them, so
        // the 64-bit sum itself cannot overflow.
        sum += DecimalToInt(charge);
    }
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sum < kMin ? kMin : (sum > kMax ? kMax : sum));
}

// A count or position of the paging information: never below 0.
std::int32_t PagingNumber(std::string_view info, const char* name) {
    const std::int32_t value = DecimalToInt(Field(info, name));
    return value < 0 ? 0 : value;
}

// The number of hotels read, held at the field's limit.
std::int32_t CountOf(const std::vector<HotelRecord>& hotels) {
    constexpr std::size_t kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(hotels.size() < kMax ? hotels.size() : kMax);
}

void ReadHotel(std::string_view hotel, HotelRecord& record) {
    record.hotelNo = DecimalToInt(Field(hotel, "hotelNo"));
    CopyField(record.hotelName, Field(hotel, "hotelName"));
    CopyWholeOrNothing(record.hotelSpecial, Field(hotel, "hotelSpecial"));
    CopyField(record.checkinTime, Field(hotel, "checkinTime"));
    CopyField(record.checkoutTime, Field(hotel, "checkoutTime"));
    record.latitude = DecimalToDouble(Field(hotel, "latitude"));
    record.longitude = DecimalToDouble(Field(hotel, "longitude"));
    // Joined before cutting, so a cut never falls between the two parts.
    std::string address(Field(hotel, "address1"));
    address.append(Field(hotel, "address2"));
    CopyField(record.address, address);
    CopyField(record.telephoneNo, Field(hotel, "telephoneNo"));
    CopyField(record.faxNo, Field(hotel, "faxNo"));
    CopyWholeOrNothing(record.access, Field(hotel, "access"));
    CopyField(record.parkingInformation, Field(hotel, "parkingInformation"));
    record.lowestCharge = DecimalToInt(Field(hotel, "lowestCharge"));
    record.highestCharge = DecimalToInt(Field(hotel, "highestCharge"));
    CopyField(record.hotelImageUrl, Field(hotel, "hotelImageUrl"));
    CopyField(record.hotelInformationUrl, Field(hotel, "hotelInformationUrl"));
}

void ReadPlan(std::string_view room, PlanRecord& record) {
    record.hotelNo = DecimalToInt(Field(room, "hotelNo"));
    CopyField(record.roomName, Field(room, "roomName"));
    CopyField(record.planContents, Field(room, "planContents"));
    record.vantoroCharge = SumCharges(room);
    CopyField(record.reserveUrl, DecodeAmpersands(Field(room, "reserveUrl")));
    record.withDinnerFlag = DecimalToInt(Field(room, "withDinnerFlag"));
    record.dinnerSelectFlag = DecimalToInt(Field(room, "dinnerSelectFlag"));
    record.withBreakfastFlag = DecimalToInt(Field(room, "withBreakfastFlag"));
    record.breakfastSelectFlag = DecimalToInt(Field(room, "breakfastSelectFlag"));
}

}  // namespace

void HotelSearchReply::SetReplyText(std::string text) {
    replyText_ = std::move(text);
}

ReplyStatus HotelSearchReply::Parse() {
    const std::string_view header = TagScanner::FindElement(replyText_, "Header");
    const std::string_view status = TagScanner::FindElement(header, "Status");
    if (EqualsIgnoringAsciiCase(status, "NotFound")) {
        return ReplyStatus::NotFound;
    }
    if (EqualsIgnoringAsciiCase(status, "ServerError")) {
        return ReplyStatus::ServerError;
    }
    ParseHotels();
    ParsePlans();
    ParsePaging();
    return ReplyStatus::Parsed;
}

void HotelSearchReply::ParseHotels() {
    hotels.clear();
    std::int32_t cursor = 0;
    for (;;) {
        const std::string_view hotel = TagScanner::FindElement(replyText_, "hotel", cursor);
        if (cursor == -1) {
            break;
        }
        ReadHotel(hotel, hotels.emplace_back());
    }
}

void HotelSearchReply::ParsePlans() {
    plans.clear();
    std::int32_t cursor = 0;
    for (;;) {
        const std::string_view room = TagScanner::FindElement(replyText_, "room", cursor);
        if (cursor == -1) {
            break;
        }
        ReadPlan(room, plans.emplace_back());
    }
}

void HotelSearchReply::ParsePaging() {
    std::int32_t cursor = 0;
    const std::string_view info = TagScanner::FindElement(replyText_, "pagingInfo", cursor);
    if (cursor == -1) {
        const std::int32_t read = CountOf(hotels);
        paging = PagingInfo{read, 1, 1, read > 0 ? 1 : 0, read};
        return;
    }
    paging.recordCount = PagingNumber(info, "recordCount");
    paging.pageCount = PagingNumber(info, "pageCount");
    paging.page = PagingNumber(info, "page");
    paging.first = PagingNumber(info, "first");
    paging.last = PagingNumber(info, "last");
}

const HotelRecord* HotelSearchReply::FindHotel(std::int32_t hotelNo) const {
    for (const HotelRecord& hotel : hotels) {
        if (hotel.hotelNo == hotelNo) {
            return &hotel;
        }
    }
    return nullptr;
}

}  // namespace qx
