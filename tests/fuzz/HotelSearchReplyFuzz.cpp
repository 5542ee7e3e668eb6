// Input: a VacantHotelSearch reply. Parses it and checks the status, every
// text field of every record and the paging information.
#include "parse/HotelSearchReply.h"

#include "FuzzChecks.h"

#include <cstdint>
#include <string>
#include <string_view>

using qx::HotelRecord;
using qx::HotelSearchReply;
using qx::PlanRecord;
using qx::ReplyStatus;
using qx::fuzz::Check;
using qx::fuzz::CheckTerminated;

namespace {

void CheckHotel(const HotelRecord& hotel) {
    CheckTerminated(hotel.hotelName, "hotelName");
    CheckTerminated(hotel.hotelSpecial, "hotelSpecial");
    CheckTerminated(hotel.checkinTime, "checkinTime");
    CheckTerminated(hotel.checkoutTime, "checkoutTime");
    CheckTerminated(hotel.address, "address");
    CheckTerminated(hotel.telephoneNo, "telephoneNo");
    CheckTerminated(hotel.faxNo, "faxNo");
    CheckTerminated(hotel.access, "access");
    CheckTerminated(hotel.parkingInformation, "parkingInformation");
    CheckTerminated(hotel.hotelImageUrl, "hotelImageUrl");
    CheckTerminated(hotel.hotelInformationUrl, "hotelInformationUrl");
}

void CheckPlan(const PlanRecord& plan) {
    CheckTerminated(plan.roomName, "roomName");
    CheckTerminated(plan.planContents, "planContents");
    CheckTerminated(plan.reserveUrl, "reserveUrl");
}

void CheckPaging(const HotelSearchReply& reply, std::string_view text) {
    const qx::PagingInfo& p = reply.paging;
    Check(p.recordCount >= 0 && p.pageCount >= 0 && p.page >= 0 && p.first >= 0 && p.last >= 0,
          "paging numbers are never negative");
    if (text.find("<pagingInfo>") == std::string_view::npos) {
        const auto read = static_cast<std::int32_t>(reply.hotels.size());
        Check(p.recordCount == read && p.pageCount == 1 && p.page == 1 && p.first == (read > 0 ? 1 : 0) &&
                  p.last == read,
              "a reply without paging information is one page of the hotels read");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HotelSearchReply reply;
    reply.SetReplyText(std::string(reinterpret_cast<const char*>(data), size));
    const ReplyStatus status = reply.Parse();
    Check(status == ReplyStatus::Parsed || status == ReplyStatus::NotFound || status == ReplyStatus::ServerError,
          "one of the three statuses");
    if (status != ReplyStatus::Parsed) {
        Check(reply.hotels.empty() && reply.plans.empty(), "a failed status reads nothing");
    }
    for (const HotelRecord& hotel : reply.hotels) {
        CheckHotel(hotel);
        const HotelRecord* found = reply.FindHotel(hotel.hotelNo);
        Check(found != nullptr && found <= &hotel && found->hotelNo == hotel.hotelNo, "FindHotel finds the first");
    }
    for (const PlanRecord& plan : reply.plans) {
        CheckPlan(plan);
    }
    if (status == ReplyStatus::Parsed) {
        CheckPaging(reply, reply.ReplyText());
    }
    return 0;
}
