// The plain decimal conversions used on reply fields and edit texts.
//
// They follow the usual C conversions (leading white space skipped, an optional
// sign, digits up to the first other character; nothing convertible gives 0) but
// saturate at the limits of the result type instead of overflowing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qx {

// atoi-like: "  -12abc" gives -12, "abc" gives 0, "99999999999" gives INT32_MAX.
std::int32_t DecimalToInt(std::string_view text);

// The longest number DecimalToDouble reads; characters after it are ignored.
inline constexpr std::size_t kDecimalNumberMaxLength = 512;

// strtod-like on the "C" locale: decimal point and exponent allowed; nothing
// convertible gives 0.0; out of range gives +-HUGE_VAL or 0 as strtod does.
// At most kDecimalNumberMaxLength characters of the number are read.
double DecimalToDouble(std::string_view text);

}  // namespace qx
