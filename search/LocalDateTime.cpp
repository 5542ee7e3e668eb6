#include "search/LocalDateTime.h"

namespace qx {
namespace {

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsConvertible(const LocalDateTime& v) {
    return v.year >= kFirstYear && v.year <= kLastYear && v.month >= 1 && v.month <= 12 &&
           v.day >= 1 && v.day <= DaysInMonth(v.year, v.month) && v.hour <= 23 && v.minute <= 59 &&
           v.second <= 59 && v.milliseconds <= 999;
}

// Days from 1970-01-01 to the given proleptic Gregorian date; the years are
// counted in 400-year eras starting on 1 March so that the leap day ends a year.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = year / 400;  // year >= 1600 here, so no rounding below zero
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The proleptic Gregorian date of a day count from 1970-01-01 (the inverse of
// DaysFromCivil, for counts from 1601 on).
void CivilFromDays(std::int64_t days, std::int64_t& year, std::int64_t& month, std::int64_t& day) {
    days += 719468;
    const std::int64_t era = days / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::optional<std::int64_t> SecondsSince1970(const LocalDateTime& value) {
    if (!IsConvertible(value)) {
        return std::nullopt;
    }
    constexpr std::int64_t kTicksPerMillisecond = 10000;
    constexpr std::int64_t kTicksPerSecond = 10000000;
    const std::int64_t seconds = DaysFromCivil(value.year, value.month, value.day) * 86400 +
                                 value.hour * 3600 + value.minute * 60 + value.second;
    // The same 100-nanosecond count the platform makes, measured from 1970, so
    // that milliseconds before 1970 round towards zero as its division does.
    const std::int64_t ticks = seconds * kTicksPerSecond + value.milliseconds * kTicksPerMillisecond;
    return ticks / kTicksPerSecond;
}

LocalDateTime StartOfDay(const LocalDateTime& value) {
    LocalDateTime start = value;
    start.hour = 0;
    start.minute = 0;
    start.second = 0;
    return start;
}

LocalDateTime AddDays(const LocalDateTime& value, int days) {
    if (!IsConvertible(value)) {
        return value;
    }
    const std::int64_t count = DaysFromCivil(value.year, value.month, value.day) + days;
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
    CivilFromDays(count, year, month, day);
    if (year < kFirstYear || year > kLastYear) {
        return value;
    }
    LocalDateTime moved = value;
    moved.year = static_cast<std::uint16_t>(year);
    moved.month = static_cast<std::uint16_t>(month);
    moved.day = static_cast<std::uint16_t>(day);
    // 1970-01-01 was a Thursday (4); the count is never below 1601's here.
    moved.dayOfWeek = static_cast<std::uint16_t>(((count % 7) + 7 + 4) % 7);
    return moved;
}

}  // namespace qx
