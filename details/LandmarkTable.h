// The candidate places of a geocoding page, scraped from the rows of its HTML
// table, and the conversions that turn the chosen one into search conditions.
#pragma once

#include "search/SearchConditions.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// One candidate place, every field exactly as cut out of the page: no tags
// stripped, no entities decoded, no white space trimmed.
struct LandmarkRecord {
    std::string name;
    std::string address;
    std::string latitude;   // decimal degrees, WGS 84, as text
    std::string longitude;  // likewise
};

// The candidates of a geocoding page in page order: every "tr" element of the
// whole page whose content holds at least four "td" elements gives one record
// from its first four cells (name, address, latitude, longitude); further cells
// are ignored and rows with fewer cells (header rows of "th" cells among them)
// are skipped. An empty cell reads as "" and keeps the cells after it in place.
// Tags are recognised only as "<tr>", "</tr>", "<td>", "</td>": with attributes,
// blanks or capitals they are not. No duplicate removal, no limit on the count.
std::vector<LandmarkRecord> ReadLandmarkTable(std::string_view page);

// Columns of the landmark list: the coordinates are hidden, the dialog reads
// them back from the chosen row.
enum class LandmarkListColumn : std::size_t {
    Latitude,
    Longitude,
    Name,
    Address,
    Count,
};

// The record's text shown in column, which must be below Count; the dialog
// fills a row from a record and a record back from the chosen row.
const std::string& ColumnText(const LandmarkRecord& record, LandmarkListColumn column);
std::string& ColumnText(LandmarkRecord& record, LandmarkListColumn column);

// Width, zero included, of the buffers a coordinate column is read back into:
// only the first kCoordinateTextWidth - 1 bytes of a coordinate text count.
inline constexpr std::size_t kCoordinateTextWidth = 32;

// The leading decimal number of the first 31 bytes of a coordinate text; text
// that is not a number gives 0.
double LandmarkCoordinate(std::string_view text);

// Stores the chosen place in conditions: latitude and longitude from their
// texts, and the name cut to the landmarkName field on a code page 932
// character boundary. No other field is touched.
void ApplyLandmarkChoice(const LandmarkRecord& chosen, SearchConditions& conditions);

}  // namespace qx
