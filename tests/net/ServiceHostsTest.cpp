#include "net/ServiceHosts.h"

#include <gtest/gtest.h>

namespace {

// Built against distinct-hosts/BuildConfig.h.
TEST(CompiledServiceHosts, EachServiceGetsItsOwnHost) {
    const qx::ServiceHosts hosts = qx::CompiledServiceHosts();
    EXPECT_EQ(qx::Origin(hosts.service), "https://service.test:1");
    EXPECT_EQ(qx::Origin(hosts.geocode), "http://geocode.test:2");
    EXPECT_EQ(qx::Origin(hosts.map), "http://map.test:3");
    EXPECT_EQ(qx::Origin(hosts.affiliate), "http://affiliate.test:4");
}

}  // namespace
