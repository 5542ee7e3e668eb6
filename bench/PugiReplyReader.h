// The VacantHotelSearch reply read with a general XML parser (pugixml) into
// the program's own HotelRecord and PlanRecord, by the same field rules as
// qx::HotelSearchReply: the yardstick its reading speed is measured against.
// Benchmark only; the program never links an XML library.
#pragma once

#include "parse/HotelSearchReply.h"

#include <string>
#include <vector>

namespace qx::bench {

class PugiReplyReader {
public:
    // Parses the reply (code page 932 bytes, passed through unchanged) and,
    // unless its status is NotFound or ServerError, rebuilds hotels and plans.
    qx::ReplyStatus Parse(const std::string& replyText);

    std::vector<qx::HotelRecord> hotels;
    std::vector<qx::PlanRecord> plans;
};

}  // namespace qx::bench
