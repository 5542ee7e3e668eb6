#include "CellTableSort.h"

#include "controls/IntegerCellValue.h"
#include "controls/ListControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qx::bench {
namespace {

// The same room as the wrapper's comparisons read into: 255 characters for
// text, 254 for integers.
constexpr int kTextCellSize = 256;
constexpr int kIntegerCellSize = 255;

struct CellTable {
    std::vector<std::string> texts;     // by item data (= row index before the sort)
    std::vector<std::int32_t> values;   // the same, for an integer column
    bool ascending = true;
};

int CALLBACK CompareTexts(LPARAM first, LPARAM second, LPARAM context) {
    const auto* table = reinterpret_cast<const CellTable*>(context);
    const char* a = table->texts[static_cast<std::size_t>(first)].c_str();
    const char* b = table->texts[static_cast<std::size_t>(second)].c_str();
    return table->ascending ? lstrcmpA(a, b) : lstrcmpA(b, a);
}

int CALLBACK CompareValues(LPARAM first, LPARAM second, LPARAM context) {
    const auto* table = reinterpret_cast<const CellTable*>(context);
    const std::int32_t a = table->values[static_cast<std::size_t>(first)];
    const std::int32_t b = table->values[static_cast<std::size_t>(second)];
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return table->ascending ? order : -order;
}

}  // namespace

CellTableSortSteps SortWithCellTable(HWND list, int column, bool ascending, bool numeric) {
    const ListControl control(list);
    const int rows = control.RowCount();
    CellTableSortSteps steps;
    const Stopwatch numbering;
    for (int row = 0; row < rows; ++row) {
        control.SetRowData(row, row);
    }
    steps.numbering = numbering.Milliseconds();

    const Stopwatch reading;
    CellTable table;
    table.ascending = ascending;
    char cell[kTextCellSize] = {};
    for (int row = 0; row < rows; ++row) {
        cell[0] = '\0';
        control.CellText(row, column, cell, numeric ? kIntegerCellSize : kTextCellSize);
        if (numeric) {
            table.values.push_back(IntegerCellValue(cell));
        } else {
            table.texts.emplace_back(cell);
        }
    }
    steps.reading = reading.Milliseconds();

    const Stopwatch sorting;
    control.SortRows(numeric ? &CompareValues : &CompareTexts, reinterpret_cast<LPARAM>(&table));
    steps.sorting = sorting.Milliseconds();
    return steps;
}

}  // namespace qx::bench
