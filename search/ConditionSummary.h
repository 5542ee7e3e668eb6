// The texts of the main window that show the conditions of the last search,
// and the money format shared by every list that shows yen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx {

// Length of the longest grouped number, "-2,147,483,648".
inline constexpr std::size_t kGroupedNumberMaxLength = 14;

// The decimal digits of value with a comma between each group of three counted
// from the right and a minus sign in front of a negative value: 1234567 gives
// "1,234,567", -1000 gives "-1,000". Every int32 value, INT32_MIN included.
std::string FormatGroupedNumber(std::int32_t value);

}  // namespace qx
