#include "details/LandmarkTable.h"

#include "parse/DecimalText.h"
#include "parse/FixedText.h"
#include "parse/TagScanner.h"

#include <cstdint>
#include <iterator>
#include <utility>

namespace qx {
namespace {

// The first four cells of a row share one cursor: a missing cell makes every
// later one missing too, and the cursor then ends at -1.
bool ReadLandmarkRow(std::string_view row, LandmarkRecord& record) {
    std::int32_t cursor = 0;
    record.name = TagScanner::ExtractElement(row, "td", cursor);
    record.address = TagScanner::ExtractElement(row, "td", cursor);
    record.latitude = TagScanner::ExtractElement(row, "td", cursor);
    record.longitude = TagScanner::ExtractElement(row, "td", cursor);
    return cursor != -1;
}

// The record field shown in each list column, in column order.
constexpr std::string LandmarkRecord::*kColumnFields[] = {
    &LandmarkRecord::latitude,
    &LandmarkRecord::longitude,
    &LandmarkRecord::name,
    &LandmarkRecord::address,
};
static_assert(std::size(kColumnFields) == static_cast<std::size_t>(LandmarkListColumn::Count));

}  // namespace

std::vector<LandmarkRecord> ReadLandmarkTable(std::string_view page) {
    std::vector<LandmarkRecord> records;
    std::int32_t cursor = 0;
    for (;;) {
        const std::string_view row = TagScanner::FindElement(page, "tr", cursor);
        if (cursor == -1) {
            break;
        }
        LandmarkRecord record;
        if (ReadLandmarkRow(row, record)) {
            records.push_back(std::move(record));
        }
    }
    return records;
}

const std::string& ColumnText(const LandmarkRecord& record, LandmarkListColumn column) {
    return record.*kColumnFields[static_cast<std::size_t>(column)];
}

std::string& ColumnText(LandmarkRecord& record, LandmarkListColumn column) {
    return record.*kColumnFields[static_cast<std::size_t>(column)];
}

double LandmarkCoordinate(std::string_view text) {
    return DecimalToDouble(text.substr(0, kCoordinateTextWidth - 1));
}

void ApplyLandmarkChoice(const LandmarkRecord& chosen, SearchConditions& conditions) {
    conditions.latitude = LandmarkCoordinate(chosen.latitude);
    conditions.longitude = LandmarkCoordinate(chosen.longitude);
    CopyField(conditions.landmarkName, chosen.name);
}

}  // namespace qx
