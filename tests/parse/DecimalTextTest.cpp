#include "parse/DecimalText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

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

TEST(DecimalToDouble, FollowsTheUsualConversionUpToTheLengthLimit) {
    // Leading zeros up to the limit: the number's last digit is its last character.
    const std::string zeros(qx::kDecimalNumberMaxLength - 1, '0');
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"128520.5", 128520.5},  {"  -1.5e2xyz", -150.0}, {"", 0.0},
        {"north", 0.0},          {"0x10", 0.0},
        {zeros + "7", 7.0},      {"\t" + zeros + "7", 7.0},  // white space is not counted
        {zeros + "07", 0.0},     // the digit past the limit is not read
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(qx::DecimalToDouble(c.text), c.value) << c.text.size() << " characters";
    }
}

}  // namespace
