// The value of a list cell compared as an integer: every comma is removed,
// then the text is read like atoi (leading white space, an optional sign, the
// digits up to the first other character; no digits gives 0), saturating at
// the limits of a 32-bit integer. "12,600" gives 12600, "9,800円" 9800. No
// <windows.h>.
#pragma once

#include <cstdint>
#include <string_view>

namespace qx {

std::int32_t IntegerCellValue(std::string_view text);

}  // namespace qx
