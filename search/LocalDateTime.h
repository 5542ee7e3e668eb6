// The platform's local date-time record and its conversion to seconds.
//
// Eight unsigned 16-bit fields in the platform's order, so the Windows side can
// copy a SYSTEMTIME into it byte for byte and back.
#pragma once

#include <cstdint>
#include <optional>

namespace qx {

struct LocalDateTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1 to 12
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday; never read by the conversion
    std::uint16_t day = 0;        // 1 to 31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// Whole seconds since 1970-01-01 00:00:00 of the fields taken as they are (no
// time zone): the 100-nanosecond count since 1601-01-01, less the count at 1970,
// divided by ten million with the fraction dropped (towards zero, so times
// before 1970 are negative). Empty for fields that the platform's own
// conversion refuses: a year outside 1601 to 30827, a month outside 1 to 12, a
// day outside its month, hour > 23, minute > 59, second > 59 or
// milliseconds > 999.
std::optional<std::int64_t> SecondsSince1970(const LocalDateTime& value);

// The same moment at 00:00:00 of its day; the milliseconds are kept.
LocalDateTime StartOfDay(const LocalDateTime& value);

// The same time of day `days` calendar days later (earlier when negative),
// across month and year ends, with the day of week of the new date. A value
// that SecondsSince1970 refuses, or a result outside the years 1601 to 30827,
// gives value unchanged.
LocalDateTime AddDays(const LocalDateTime& value, int days);

}  // namespace qx
