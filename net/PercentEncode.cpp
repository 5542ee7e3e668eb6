#include "net/PercentEncode.h"

namespace qx {

std::string PercentEncode(std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const std::string_view content = text.substr(0, text.find('\0'));
    std::string encoded;
    encoded.reserve(content.size() * 3);
    for (const char c : content) {
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHexDigits[byte >> 4];
        encoded += kHexDigits[byte & 0x0F];
    }
    return encoded;
}

}  // namespace qx
