#include "parse/DecimalText.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace qx {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::int32_t DecimalToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so that INT32_MIN is reachable.
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < kMin) {
            return negative ? static_cast<std::int32_t>(kMin) : static_cast<std::int32_t>(kMax);
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(value);
    }
    return static_cast<std::int32_t>(-value > kMax ? kMax : -value);
}

double DecimalToDouble(std::string_view text) {
    // strtod needs a terminated string; copy only the characters it could use
    // so that a huge field costs no more than its leading number.
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    std::size_t end = i;
    while (end < text.size() && end - i < kDecimalNumberMaxLength &&
           (IsDigit(text[end]) || text[end] == '+' || text[end] == '-' || text[end] == '.' ||
            text[end] == 'e' || text[end] == 'E')) {
        ++end;
    }
    const std::string number(text.substr(i, end - i));
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace qx
