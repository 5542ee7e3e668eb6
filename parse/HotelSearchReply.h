// The VacantHotelSearch reply: its status, and every hotel and room plan read
// into fixed-width records in reply order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

struct HotelRecord {
    std::int32_t hotelNo = 0;
    char hotelName[256] = {};
    char hotelSpecial[1024] = {};
    char checkinTime[32] = {};
    char checkoutTime[32] = {};
    double latitude = 0.0;   // seconds of arc, Tokyo datum
    double longitude = 0.0;  // seconds of arc, Tokyo datum
    char address[256] = {};  // address1 followed directly by address2
    char telephoneNo[32] = {};
    char faxNo[32] = {};
    char access[1024] = {};
    char parkingInformation[1024] = {};
    std::int32_t lowestCharge = 0;   // yen
    std::int32_t highestCharge = 0;  // yen
    char hotelImageUrl[256] = {};
    char hotelInformationUrl[256] = {};
};

struct PlanRecord {
    std::int32_t hotelNo = 0;
    char roomName[1024] = {};
    char planContents[2048] = {};
    std::int32_t vantoroCharge = 0;  // yen, the sum over the stay
    char reserveUrl[1024] = {};      // "&amp;" already turned into "&"
    std::int32_t withDinnerFlag = 0;
    std::int32_t dinnerSelectFlag = 0;
    std::int32_t withBreakfastFlag = 0;
    std::int32_t breakfastSelectFlag = 0;
};

// Where the hotels of a reply stand among all the service found: records
// first to last (counted from 1) of recordCount, on page `page` of pageCount.
// Negative numbers in the reply are read as 0.
struct PagingInfo {
    std::int32_t recordCount = 0;
    std::int32_t pageCount = 0;
    std::int32_t page = 0;
    std::int32_t first = 0;
    std::int32_t last = 0;
};

enum class ReplyStatus : std::int32_t {
    Parsed = 100,
    NotFound = 200,
    ServerError = 400,
};

class HotelSearchReply {
public:
    void SetReplyText(std::string text);
    const std::string& ReplyText() const { return replyText_; }

    // NotFound and ServerError leave hotels, plans and paging as they were.
    ReplyStatus Parse();
    void ParseHotels();
    void ParsePlans();
    // From the reply's paging information; a reply without it is one page
    // holding the hotels read. Reads hotels, so it runs after ParseHotels.
    void ParsePaging();

    // The first hotel with that number, or nullptr.
    const HotelRecord* FindHotel(std::int32_t hotelNo) const;

    std::vector<HotelRecord> hotels;
    std::vector<PlanRecord> plans;
    PagingInfo paging;

private:
    std::string replyText_;
};

}  // namespace qx
