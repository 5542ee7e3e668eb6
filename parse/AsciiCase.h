// Comparison of reply texts that ignores the letter case of ASCII letters only;
// double-byte characters and other bytes must match exactly.
#pragma once

#include <string_view>

namespace qx {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace qx
