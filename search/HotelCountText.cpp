#include "search/HotelCountText.h"

#include "search/ConditionSummary.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace qx {
namespace {

constexpr char kAll[] = " 件";
constexpr char kFoundBeforeListed[] = " 件中 ";
constexpr char kListed[] = " 件を表示";

}  // namespace

std::string ComposeHotelCountText(const HotelSearchReply& reply) {
    constexpr std::size_t kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    const auto listed = static_cast<std::int32_t>(std::min(reply.hotels.size(), kMax));
    if (reply.paging.recordCount <= listed) {
        return FormatGroupedNumber(listed) + kAll;
    }
    return FormatGroupedNumber(reply.paging.recordCount) + kFoundBeforeListed + FormatGroupedNumber(listed) + kListed;
}

}  // namespace qx
