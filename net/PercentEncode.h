// Query values are sent with every byte escaped, so that any text, Japanese
// code page 932 bytes included, reaches the server exactly as typed.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Every byte of text up to its first zero byte becomes "%" and two uppercase
// hexadecimal digits; letters, digits and blanks are escaped too, so the result
// is exactly three times as long as the text.
std::string PercentEncode(std::string_view text);

}  // namespace qx
