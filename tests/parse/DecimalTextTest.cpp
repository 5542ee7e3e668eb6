#include "parse/DecimalText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(DecimalToInt, FollowsTheUsualConversion) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"", 0},          {"abc", 0},     {"42", 42},         {"  \t-17x", -17},
        {"+8", 8},        {"1500 [m]", 1500}, {"- 5", 0},      {"0012", 12},
        {"9,800", 9},     {"2147483647", 2147483647},
        {"99999999999", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::DecimalToInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(DecimalToDouble, FollowsTheUsualConversion) {
    EXPECT_DOUBLE_EQ(qx::DecimalToDouble("128520.5"), 128520.5);
    EXPECT_DOUBLE_EQ(qx::DecimalToDouble("  -1.5e2xyz"), -150.0);
    EXPECT_DOUBLE_EQ(qx::DecimalToDouble(""), 0.0);
    EXPECT_DOUBLE_EQ(qx::DecimalToDouble("north"), 0.0);
    EXPECT_DOUBLE_EQ(qx::DecimalToDouble("0x10"), 0.0);
}

}  // namespace
