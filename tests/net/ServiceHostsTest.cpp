#include "net/ServiceHosts.h"

#include <gtest/gtest.h>

namespace {

// Built against distinct-hosts/BuildConfig.h.
TEST(CompiledServiceHosts, EachServiceGetsItsOwnHost) {
    const qx::ServiceHosts hosts = qx::CompiledServiceHosts();
    EXPECT_EQ(hosts.service, "service.test:1");
    EXPECT_EQ(hosts.geocode, "geocode.test:2");
    EXPECT_EQ(hosts.map, "map.test:3");
    EXPECT_EQ(hosts.affiliate, "affiliate.test:4");
}

}  // namespace
