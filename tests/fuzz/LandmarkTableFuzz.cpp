// Input: a geocoding page. Every record must come from a whole row, hold no
// closing tag of a cell or row, and read back unchanged from a page written
// out of the records.
#include "details/LandmarkTable.h"

#include "FuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using qx::LandmarkRecord;
using qx::fuzz::Check;

namespace {

std::size_t CountOf(std::string_view text, std::string_view pattern) {
    std::size_t count = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos; at = text.find(pattern, at + 1)) {
        ++count;
    }
    return count;
}

std::string RowOf(const LandmarkRecord& record) {
    std::string row = "<tr>";
    for (const std::string* cell : {&record.name, &record.address, &record.latitude, &record.longitude}) {
        row += "<td>" + *cell + "</td>";
    }
    return row + "</tr>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);

    Check(records.size() <= CountOf(page, "</tr>"), "every record ends at a row's closing tag");
    std::size_t bytes = 0;
    std::string rewritten;
    for (const LandmarkRecord& record : records) {
        for (const std::string* cell : {&record.name, &record.address, &record.latitude, &record.longitude}) {
            Check(cell->find("</td>") == std::string::npos, "a cell ends at its first closing tag");
            Check(cell->find("</tr>") == std::string::npos, "a cell stays inside its row");
            Check(page.find(*cell) != std::string_view::npos, "a cell is cut out of the page verbatim");
            bytes += cell->size();
        }
        rewritten += RowOf(record);
    }
    Check(bytes <= size, "cells never overlap");

    const std::vector<LandmarkRecord> again = qx::ReadLandmarkTable(rewritten);
    Check(again.size() == records.size(), "a page of the records lists them all");
    for (std::size_t i = 0; i < records.size(); ++i) {
        Check(again[i].name == records[i].name && again[i].address == records[i].address &&
                  again[i].latitude == records[i].latitude && again[i].longitude == records[i].longitude,
              "a page of the records lists them unchanged");
        qx::SearchConditions conditions;
        qx::ApplyLandmarkChoice(records[i], conditions);
        qx::fuzz::CheckTerminated(conditions.landmarkName, "landmark name keeps its zero");
    }
    return 0;
}
