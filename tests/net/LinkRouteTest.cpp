#include "net/LinkRoute.h"

#include <gtest/gtest.h>

namespace {

TEST(ChooseLinkRoute, OnlyALongLinkUnderWineSkipsTheShell) {
    using qx::LinkRoute;
    const struct {
        std::size_t length;
        bool underWine;
        LinkRoute route;
    } cases[] = {
        {0, false, LinkRoute::Shell},
        {60, false, LinkRoute::Shell},
        {901, false, LinkRoute::Shell},
        {1600, false, LinkRoute::Shell},
        {2083, false, LinkRoute::Shell},
        {60, true, LinkRoute::Shell},
        {900, true, LinkRoute::Shell},
        {901, true, LinkRoute::HttpProgram},
        {1600, true, LinkRoute::HttpProgram},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::ChooseLinkRoute(c.length, c.underWine), c.route) << c.length << " " << c.underWine;
    }
}

}  // namespace
