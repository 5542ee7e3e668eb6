#include "controls/IntegerCellValue.h"

#include <gtest/gtest.h>

#include <string>

namespace qx {
namespace {

TEST(IntegerCellValueTest, GroupedNumbersAndOddCells) {
    struct ValueCase {
        std::string text;
        std::int32_t expected;
    };
    const ValueCase cases[] = {
        {"9,800", 9800},
        {"12,600", 12600},
        {"1,234,567", 1234567},
        {"0", 0},
        {"", 0},
        {"なし", 0},
        {",,,", 0},
        {"  -3,000", -3000},
        {"+7", 7},
        {"1,2,3", 123},
        {"9,800円", 9800},
        {"12 600", 12},
        {"2,147,483,647", 2147483647},
        {"99,999,999,999", 2147483647},
        {"-99,999,999,999", -2147483647 - 1},
        {std::string("5\0,6", 4), 5},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(IntegerCellValue(c.text), c.expected) << c.text;
    }
}

TEST(IntegerCellValueTest, OrdersByValueWhereTextOrderDiffers) {
    EXPECT_LT(IntegerCellValue("9,800"), IntegerCellValue("12,600"));
    EXPECT_GT(std::string("9,800"), std::string("12,600"));
}

}  // namespace
}  // namespace qx
