#include "search/ConditionSummary.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

TEST(FormatGroupedNumber, GroupsThreeDigitsFromTheRight) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {-1, "-1"},
        {-999, "-999"},
        {-1000, "-1,000"},
        {25000, "25,000"},
        {100000, "100,000"},
        {1234567, "1,234,567"},
        {-1234567, "-1,234,567"},
        {std::numeric_limits<std::int32_t>::max(), "2,147,483,647"},
        {std::numeric_limits<std::int32_t>::min(), "-2,147,483,648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::FormatGroupedNumber(c.value), c.text) << c.value;
    }
}

TEST(FormatGroupedNumber, LongestTextIsTheDeclaredMaximum) {
    EXPECT_EQ(qx::FormatGroupedNumber(std::numeric_limits<std::int32_t>::min()).size(),
              qx::kGroupedNumberMaxLength);
}

// Without its commas the text is the plain decimal form, and every comma stands
// before a whole group of three digits.
TEST(FormatGroupedNumber, AgreesWithPlainDecimalOverManyValues) {
    std::mt19937 random(20070810u);
    std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max());
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t value = any(random);
        const std::string text = qx::FormatGroupedNumber(value);
        ASSERT_LE(text.size(), qx::kGroupedNumberMaxLength);
        std::string plain;
        std::size_t digitsSinceComma = 0;
        for (std::size_t k = text.size(); k-- > 0;) {
            if (text[k] == ',') {
                ASSERT_EQ(digitsSinceComma, 3u) << text;
                digitsSinceComma = 0;
            } else {
                plain.insert(plain.begin(), text[k]);
                ++digitsSinceComma;
            }
        }
        ASSERT_EQ(plain, std::to_string(value));
    }
}

}  // namespace
