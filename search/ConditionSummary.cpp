#include "search/ConditionSummary.h"

namespace qx {

std::string FormatGroupedNumber(std::int32_t value) {
    // Unsigned arithmetic makes the magnitude of INT32_MIN representable.
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        magnitude = 0u - magnitude;
    }
    char digits[kGroupedNumberMaxLength];
    std::size_t start = sizeof digits;
    int written = 0;
    do {
        if (written > 0 && written % 3 == 0) {
            digits[--start] = ',';
        }
        digits[--start] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
        ++written;
    } while (magnitude != 0);
    if (value < 0) {
        digits[--start] = '-';
    }
    return std::string(digits + start, sizeof digits - start);
}

}  // namespace qx
