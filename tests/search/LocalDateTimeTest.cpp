#include "search/LocalDateTime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#endif

namespace {

using qx::LocalDateTime;

TEST(SecondsSince1970, CountsFromTheEpochWithFractionsDropped) {
    const struct {
        LocalDateTime value;
        std::int64_t seconds;
    } cases[] = {
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 0},
        {{2007, 8, 3, 1, 0, 0, 0, 0}, 1185926400},
        {{2007, 8, 77, 1, 0, 0, 0, 0}, 1185926400},  // the day of week is not read
        {{2000, 2, 2, 29, 12, 34, 56, 789}, 951827696},
        {{2100, 3, 1, 1, 0, 0, 0, 999}, 4107542400},
        {{2038, 1, 2, 19, 3, 14, 8, 0}, 2147483648},
        {{9999, 12, 5, 31, 23, 59, 59, 999}, 253402300799},
        {{1601, 1, 1, 1, 0, 0, 0, 0}, -11644473600},
        {{1969, 12, 3, 31, 23, 59, 59, 999}, 0},    // -0.001 s rounds towards zero
        {{1969, 12, 3, 31, 23, 59, 58, 500}, -1},
    };
    for (const auto& c : cases) {
        const std::optional<std::int64_t> seconds = qx::SecondsSince1970(c.value);
        ASSERT_TRUE(seconds.has_value()) << c.value.year << '-' << c.value.month << '-' << c.value.day;
        EXPECT_EQ(*seconds, c.seconds) << c.value.year << '-' << c.value.month << '-' << c.value.day;
    }
}

// Fields the platform refuses; each must give no value, never a crash or a
// wrapped count.
const LocalDateTime kUnconvertible[] = {
    {},
    {1600, 12, 0, 31, 23, 59, 59, 999},
    {30828, 1, 0, 1, 0, 0, 0, 0},
    {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535},
    {2007, 0, 0, 1, 0, 0, 0, 0},
    {2007, 13, 0, 1, 0, 0, 0, 0},
    {2007, 8, 0, 0, 0, 0, 0, 0},
    {2007, 8, 0, 32, 0, 0, 0, 0},
    {2007, 4, 0, 31, 0, 0, 0, 0},
    {2007, 2, 0, 29, 0, 0, 0, 0},
    {1900, 2, 0, 29, 0, 0, 0, 0},
    {2000, 2, 0, 30, 0, 0, 0, 0},
    {2007, 8, 0, 1, 24, 0, 0, 0},
    {2007, 8, 0, 1, 0, 60, 0, 0},
    {2007, 8, 0, 1, 0, 0, 60, 0},
    {2007, 8, 0, 1, 0, 0, 0, 1000},
};

TEST(SecondsSince1970, RefusesFieldsOutOfRange) {
    for (const LocalDateTime& value : kUnconvertible) {
        EXPECT_FALSE(qx::SecondsSince1970(value).has_value())
            << value.year << '-' << value.month << '-' << value.day << ' ' << value.hour << ':'
            << value.minute << ':' << value.second << '.' << value.milliseconds;
    }
    EXPECT_TRUE(qx::SecondsSince1970({2008, 2, 0, 29, 0, 0, 0, 0}).has_value());
    EXPECT_TRUE(qx::SecondsSince1970({2000, 2, 0, 29, 0, 0, 0, 0}).has_value());
    EXPECT_TRUE(qx::SecondsSince1970({30827, 12, 0, 31, 23, 59, 59, 999}).has_value());
}

TEST(StartOfDay, ZeroesTheTimeOfDayButKeepsMilliseconds) {
    const LocalDateTime start = qx::StartOfDay({2007, 8, 3, 1, 23, 59, 58, 765});
    const LocalDateTime expected{2007, 8, 3, 1, 0, 0, 0, 765};
    EXPECT_EQ(std::memcmp(&start, &expected, sizeof start), 0);
}

std::string DateText(const LocalDateTime& v) {
    return std::to_string(v.year) + '-' + std::to_string(v.month) + '-' + std::to_string(v.day) + " (" +
           std::to_string(v.dayOfWeek) + ") " + std::to_string(v.hour) + ':' + std::to_string(v.minute) +
           ':' + std::to_string(v.second) + '.' + std::to_string(v.milliseconds);
}

TEST(AddDays, CrossesMonthAndYearEndsAndKeepsTheTimeOfDay) {
    const struct {
        LocalDateTime from;
        int days;
        LocalDateTime to;
    } cases[] = {
        {{2007, 8, 5, 10, 9, 41, 7, 250}, 2, {2007, 8, 0, 12, 9, 41, 7, 250}},
        {{2007, 8, 4, 30, 23, 59, 59, 999}, 2, {2007, 9, 6, 1, 23, 59, 59, 999}},
        {{2007, 12, 1, 31, 0, 0, 0, 0}, 2, {2008, 1, 3, 2, 0, 0, 0, 0}},
        {{2007, 12, 6, 29, 12, 0, 0, 0}, 4, {2008, 1, 3, 2, 12, 0, 0, 0}},
        {{2008, 2, 4, 28, 8, 0, 0, 0}, 2, {2008, 3, 6, 1, 8, 0, 0, 0}},   // leap year
        {{2007, 2, 2, 27, 8, 0, 0, 0}, 2, {2007, 3, 4, 1, 8, 0, 0, 0}},
        {{2000, 2, 1, 28, 0, 0, 0, 0}, 1, {2000, 2, 2, 29, 0, 0, 0, 0}},  // divisible by 400
        {{1900, 2, 3, 28, 0, 0, 0, 0}, 1, {1900, 3, 4, 1, 0, 0, 0, 0}},   // divisible by 100 only
        {{2008, 3, 6, 1, 0, 0, 0, 0}, -1, {2008, 2, 5, 29, 0, 0, 0, 0}},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, -1, {1969, 12, 3, 31, 0, 0, 0, 0}},
        {{2007, 8, 5, 10, 0, 0, 0, 0}, 0, {2007, 8, 5, 10, 0, 0, 0, 0}},
        {{2007, 8, 0, 10, 0, 0, 0, 0}, 366, {2008, 8, 0, 10, 0, 0, 0, 0}},  // a wrong day of week is recomputed
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {{30827, 12, 4, 30, 0, 0, 0, 0}, 1, {30827, 12, 5, 31, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const LocalDateTime moved = qx::AddDays(c.from, c.days);
        EXPECT_EQ(DateText(moved), DateText(c.to)) << DateText(c.from) << " + " << c.days;
    }
}

TEST(AddDays, LeavesUnconvertibleValuesAndResultsOutOfRangeUnchanged) {
    std::vector<std::pair<LocalDateTime, int>> cases;
    for (const LocalDateTime& value : kUnconvertible) {
        cases.push_back({value, 2});
    }
    cases.push_back({{30827, 12, 5, 31, 0, 0, 0, 0}, 1});
    cases.push_back({{1601, 1, 1, 1, 0, 0, 0, 0}, -1});
    cases.push_back({{2007, 8, 5, 10, 0, 0, 0, 0}, 2147483647});
    cases.push_back({{2007, 8, 5, 10, 0, 0, 0, 0}, -2147483647 - 1});
    for (const auto& [value, days] : cases) {
        const LocalDateTime moved = qx::AddDays(value, days);
        EXPECT_EQ(std::memcmp(&moved, &value, sizeof moved), 0) << DateText(value) << " + " << days;
    }
}

#ifdef _WIN32
static_assert(sizeof(LocalDateTime) == sizeof(SYSTEMTIME));
static_assert(offsetof(LocalDateTime, year) == offsetof(SYSTEMTIME, wYear));
static_assert(offsetof(LocalDateTime, month) == offsetof(SYSTEMTIME, wMonth));
static_assert(offsetof(LocalDateTime, dayOfWeek) == offsetof(SYSTEMTIME, wDayOfWeek));
static_assert(offsetof(LocalDateTime, day) == offsetof(SYSTEMTIME, wDay));
static_assert(offsetof(LocalDateTime, hour) == offsetof(SYSTEMTIME, wHour));
static_assert(offsetof(LocalDateTime, minute) == offsetof(SYSTEMTIME, wMinute));
static_assert(offsetof(LocalDateTime, second) == offsetof(SYSTEMTIME, wSecond));
static_assert(offsetof(LocalDateTime, milliseconds) == offsetof(SYSTEMTIME, wMilliseconds));

// Wine's conversion checks no upper year and takes 29 February in every year
// (as 1 March); Windows refuses both. Those fields are compared on Windows only.
bool WineAcceptsWhatWindowsRefuses(const LocalDateTime& value) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool onWine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    const bool leapYear = (value.year % 4 == 0 && value.year % 100 != 0) || value.year % 400 == 0;
    return onWine && (value.year > 30827 || (value.month == 2 && value.day == 29 && !leapYear));
}

// The platform's own conversion is the reference for both the values and the
// refusals.
TEST(SecondsSince1970, AgreesWithThePlatform) {
    std::vector<LocalDateTime> values(std::begin(kUnconvertible), std::end(kUnconvertible));
    values.insert(values.end(), {
        {1601, 1, 1, 1, 0, 0, 0, 0},
        {1969, 12, 3, 31, 23, 59, 59, 999},
        {1970, 1, 4, 1, 0, 0, 0, 1},
        {2000, 2, 2, 29, 12, 34, 56, 789},
        {2007, 8, 3, 1, 10, 20, 30, 400},
        {2008, 2, 5, 29, 0, 0, 0, 0},
        {2099, 12, 4, 31, 23, 59, 59, 999},
        {30827, 12, 0, 31, 23, 59, 59, 999},
    });
    for (const LocalDateTime& value : values) {
        if (WineAcceptsWhatWindowsRefuses(value)) {
            continue;
        }
        SYSTEMTIME platformTime;
        std::memcpy(&platformTime, &value, sizeof platformTime);
        FILETIME fileTime;
        const bool converted = SystemTimeToFileTime(&platformTime, &fileTime) != FALSE;
        const std::optional<std::int64_t> seconds = qx::SecondsSince1970(value);
        const std::string date = std::to_string(value.year) + '-' + std::to_string(value.month) + '-' +
                                 std::to_string(value.day) + ' ' + std::to_string(value.hour);
        ASSERT_EQ(seconds.has_value(), converted) << date;
        if (converted) {
            const std::int64_t ticks = static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime);
            EXPECT_EQ(*seconds, (ticks - 116444736000000000) / 10000000) << date;
        }
    }
}
#endif

}  // namespace
