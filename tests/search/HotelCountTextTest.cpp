#include "search/HotelCountText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(HotelCountText, SaysHowManyWereFoundAndHowManyAreListed) {
    constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t recordCount;
        std::size_t listed;
        const char* text;
    } cases[] = {
        {167, 167, "167 件"},
        {2345, 1000, "2,345 件中 1,000 件を表示"},
        {1000, 999, "1,000 件中 999 件を表示"},
        {168, 167, "168 件中 167 件を表示"},
        {0, 0, "0 件"},
        {1, 0, "1 件中 0 件を表示"},
        {0, 50, "50 件"},
        {30, 31, "31 件"},
        {kIntMax, 1000, "2,147,483,647 件中 1,000 件を表示"},
    };
    for (const auto& c : cases) {
        qx::HotelSearchReply reply;
        reply.hotels.resize(c.listed);
        reply.paging.recordCount = c.recordCount;
        EXPECT_EQ(qx::ComposeHotelCountText(reply), c.text) << c.recordCount << " " << c.listed;
    }
}

}  // namespace
