// The texts of the main window that show the conditions of the last search,
// and the money format shared by every list that shows yen.
#pragma once

#include "search/SearchConditions.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace qx {

// Length of the longest grouped number, "-2,147,483,648".
inline constexpr std::size_t kGroupedNumberMaxLength = 14;

// The decimal digits of value with a comma between each group of three counted
// from the right and a minus sign in front of a negative value: 1234567 gives
// "1,234,567", -1000 gives "-1,000". Every int32 value, INT32_MIN included.
std::string FormatGroupedNumber(std::int32_t value);

// Longest text of one summary edit. A longer text (in practice only an area of
// three long class names, or a long landmark name) is cut to this many bytes on
// a code page 932 character boundary.
inline constexpr std::size_t kSummaryTextMaxLength = 255;

// The six summary texts of the main window, each at most kSummaryTextMaxLength
// bytes, ready to be set into their edits.
struct ConditionSummary {
    // The three class names (two without a detail class) joined by blanks in
    // area mode; the landmark name with the radius in metres around a
    // landmark; empty before any mode was stored.
    std::string area;
    // Check-in and check-out as year, month and day without leading zeros,
    // joined by a wave dash (U+FF5E) between blanks.
    std::string period;
    // Both charges grouped and joined like the period, or the "not specified"
    // text when either charge is -1.
    std::string budget;
    // Adults, children and infants, each count above 0 as "<label> [n] " with
    // its trailing blank; empty when all three are 0.
    std::string persons;
    // roomNum in decimal.
    std::string rooms;
    // A bracketed label and a blank for each set facility flag in the fixed
    // facility order, or the "not specified" text when none is set.
    std::string facilities;
};

ConditionSummary ComposeConditionSummary(const SearchConditions& conditions);

}  // namespace qx
