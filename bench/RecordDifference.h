// Field-by-field comparison of two readings of the same reply, so that a
// benchmark only compares readers that produce the same records.
#pragma once

#include "parse/HotelSearchReply.h"

#include <string>
#include <vector>

namespace qx::bench {

// A description of the first record and field in which the two readings
// differ (in count, number or text), or the empty string when they agree.
std::string RecordDifference(const std::vector<qx::HotelRecord>& hotelsA, const std::vector<qx::PlanRecord>& plansA,
                             const std::vector<qx::HotelRecord>& hotelsB, const std::vector<qx::PlanRecord>& plansB);

}  // namespace qx::bench
