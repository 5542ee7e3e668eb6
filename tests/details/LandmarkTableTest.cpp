#include "details/LandmarkTable.h"

#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using qx::LandmarkRecord;

// "東京駅" in code page 932.
const std::string kTokyoStation = "\x93\x8C\x8B\x9E\x89\x77";

std::string Row(const std::vector<std::string>& cells, const char* cellTag = "td") {
    std::string row = "<tr>";
    for (const std::string& cell : cells) {
        row += std::string("<") + cellTag + ">" + cell + "</" + cellTag + ">";
    }
    return row + "</tr>\n";
}

std::string Page(const std::string& rows) {
    return "<html><body><table>\n" + rows + "</table></body></html>\n";
}

std::string HeaderRow() {
    return Row({"name", "address", "lat", "lng"}, "th");
}

void ExpectRecord(const LandmarkRecord& record, const std::string& name, const std::string& address,
                  const std::string& latitude, const std::string& longitude) {
    EXPECT_EQ(record.name, name);
    EXPECT_EQ(record.address, address);
    EXPECT_EQ(record.latitude, latitude);
    EXPECT_EQ(record.longitude, longitude);
}

TEST(LandmarkTable, ListsDataRowsAfterAHeaderOfThCells) {
    const std::string page = Page(HeaderRow() + Row({kTokyoStation, "Marunouchi 1", "35.681", "139.767"}) +
                                  Row({"Ueno", "Taito 7", "35.714", "139.777"}));
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 2u);
    ExpectRecord(records[0], kTokyoStation, "Marunouchi 1", "35.681", "139.767");
    ExpectRecord(records[1], "Ueno", "Taito 7", "35.714", "139.777");
}

TEST(LandmarkTable, RowsWithTooFewCellsAreSkippedAndLongerRowsCut) {
    const std::string page = Page(Row({"three", "cells", "1.0"}) + Row({"A", "a", "1", "2", "extra"}) +
                                  Row({}) + Row({"one"}) + Row({"B", "b", "3", "4"}));
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 2u);
    ExpectRecord(records[0], "A", "a", "1", "2");
    ExpectRecord(records[1], "B", "b", "3", "4");
}

TEST(LandmarkTable, DuplicateNamesAreBothListedInPageOrder) {
    const std::string page = Page(Row({"Same", "first", "1", "2"}) + Row({"Same", "second", "3", "4"}));
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].address, "first");
    EXPECT_EQ(records[1].address, "second");
}

TEST(LandmarkTable, EmptyCellsKeepTheCellsAfterThemInPlace) {
    const std::string page =
        Page(Row({"Name", "", "35.5", "139.5"}) + Row({"", "", "", ""}) + Row({"Last", "addr", "", "139.9"}));
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 3u);
    ExpectRecord(records[0], "Name", "", "35.5", "139.5");
    ExpectRecord(records[1], "", "", "", "");
    ExpectRecord(records[2], "Last", "addr", "", "139.9");
}

TEST(LandmarkTable, CellsAreTakenVerbatim) {
    const std::string cell = " <b>" + kTokyoStation + "</b> &amp; \t\n";
    const std::string page = Page(Row({cell, "&lt;x&gt;", " 35.6 ", "139.7abc"}));
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 1u);
    ExpectRecord(records[0], cell, "&lt;x&gt;", " 35.6 ", "139.7abc");
}

TEST(LandmarkTable, TagsWithAttributesBlanksOrCapitalsAreNotRecognised) {
    const struct {
        const char* why;
        std::string page;
    } cases[] = {
        {"td with an attribute",
         "<tr><td class=\"n\">A</td><td>a</td><td>1</td><td>2</td></tr>"},
        {"tr with an attribute", "<tr class=\"odd\"><td>A</td><td>a</td><td>1</td><td>2</td></tr>"},
        {"capital TD", "<tr><TD>A</TD><td>a</td><td>1</td><td>2</td></tr>"},
        {"capital TR", "<TR><td>A</td><td>a</td><td>1</td><td>2</td></TR>"},
        {"blank in a tag", "<tr ><td>A</td><td>a</td><td>1</td><td>2</td></tr >"},
        {"self-closing cell", "<tr><td/><td>a</td><td>1</td><td>2</td></tr>"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(qx::ReadLandmarkTable(c.page).empty()) << c.why;
    }
}

TEST(LandmarkTable, RowsAnywhereInThePageCount) {
    // Not only the first table: every row of four cells in the page is a candidate.
    const std::string page = "<table><tr><th>x</th></tr></table><p>text</p>" + Row({"Out", "side", "1", "2"}) +
                             "<table>" + Row({"In", "second", "3", "4"}) + "</table>";
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(page);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "Out");
    EXPECT_EQ(records[1].name, "In");
}

TEST(LandmarkTable, MalformedPagesGiveWhatIsWhole) {
    const struct {
        const char* why;
        std::string page;
        std::size_t count;
    } cases[] = {
        {"empty page", "", 0},
        {"no rows", "<html><body>no result</body></html>", 0},
        {"unterminated last row", Row({"A", "a", "1", "2"}) + "<tr><td>B</td><td>b</td><td>3</td><td>4</td>", 1},
        {"unterminated only row", "<tr><td>A</td><td>a</td><td>1</td><td>2</td>", 0},
        {"fourth cell unterminated", "<tr><td>A</td><td>a</td><td>1</td><td>2</tr>", 0},
        {"closing tags only", "</td></td></td></td></tr></tr>", 0},
        {"row end before its cells", "<tr></tr><td>A</td><td>a</td><td>1</td><td>2</td>", 0},
        {"cut inside a tag", Row({"A", "a", "1", "2"}) + "<tr><td>B</td><td>b</td><td>3</t", 1},
        // A row opened inside a row ends at the first closing tag: one row.
        {"nested rows", "<tr><tr><td>A</td><td>a</td><td>1</td><td>2</td></tr></tr>", 1},
        {"cells split by a stray row end", "<tr><td>A</td><td>a</tr><td>1</td><td>2</td></tr>", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::ReadLandmarkTable(c.page).size(), c.count) << c.why;
    }
}

TEST(LandmarkTable, ZeroBytesAndDoubleByteTextPassThrough) {
    const std::string name = std::string("a\0b", 3) + kTokyoStation + "\x81\x5C";  // trail byte 0x5C
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(Page(Row({name, "x", "1", "2"})));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, name);
}

TEST(LandmarkTable, HugePagesAreReadInLinearTime) {
    std::string rows;
    for (int i = 0; i < 50000; ++i) {
        rows += Row({"Place " + std::to_string(i), "Address", "35.0", "139.0"});
    }
    rows += Row({std::string(1 << 20, 'n'), "big", "1", "2"});
    const auto started = std::chrono::steady_clock::now();
    const std::vector<LandmarkRecord> records = qx::ReadLandmarkTable(Page(HeaderRow() + rows));
    ASSERT_EQ(records.size(), 50001u);
    EXPECT_EQ(records[49999].name, "Place 49999");
    EXPECT_EQ(records[50000].name.size(), std::size_t{1} << 20);
    // Thousands of unterminated rows must not make every row search rescan the page.
    const std::string hostile(2 << 20, 'x');
    std::string openers;
    for (int i = 0; i < 200000; ++i) {
        openers += "<tr><td>";
    }
    EXPECT_TRUE(qx::ReadLandmarkTable(openers + hostile).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

TEST(LandmarkList, ColumnsHoldCoordinatesFirstThenNameAndAddress) {
    LandmarkRecord record{"name", "address", "35.1", "139.2"};
    EXPECT_EQ(qx::ColumnText(record, qx::LandmarkListColumn::Latitude), "35.1");
    EXPECT_EQ(qx::ColumnText(record, qx::LandmarkListColumn::Longitude), "139.2");
    EXPECT_EQ(qx::ColumnText(record, qx::LandmarkListColumn::Name), "name");
    EXPECT_EQ(qx::ColumnText(record, qx::LandmarkListColumn::Address), "address");

    LandmarkRecord readBack;
    for (std::size_t column = 0; column < static_cast<std::size_t>(qx::LandmarkListColumn::Count); ++column) {
        const auto which = static_cast<qx::LandmarkListColumn>(column);
        qx::ColumnText(readBack, which) = qx::ColumnText(record, which);
    }
    ExpectRecord(readBack, "name", "address", "35.1", "139.2");
}

TEST(LandmarkCoordinate, ReadsTheLeadingNumberOfTheFirst31Bytes) {
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"35.681", 35.681},
        {"139.767", 139.767},
        {" -33.8688", -33.8688},
        {"35.681deg", 35.681},
        {"north", 0.0},
        {"", 0.0},
        {"<b>35.6</b>", 0.0},
        // 31 zeros fill the buffer; the digits after them are not read.
        {std::string(31, '0') + "123", 0.0},
        {std::string(30, '0') + "7123", 7.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::LandmarkCoordinate(c.text), c.value) << '"' << c.text << '"';
    }
}

qx::SearchConditions Sentinels() {
    qx::SearchConditions conditions;
    conditions.areaMode = qx::kAreaModeNearLandmark;
    qx::CopyField(conditions.middleClassName, "middle");
    qx::CopyField(conditions.landmarkName, "previous");
    conditions.latitude = -1.0;
    conditions.longitude = -2.0;
    conditions.radiusMetres = 1500;
    conditions.adultNum = 2;
    conditions.minCharge = -1;
    conditions.dinner = 1;
    return conditions;
}

TEST(LandmarkChoice, StoresPositionAndNameAndNothingElse) {
    qx::SearchConditions conditions = Sentinels();
    qx::ApplyLandmarkChoice(LandmarkRecord{kTokyoStation, "Marunouchi", "35.681", "139.767"}, conditions);
    EXPECT_EQ(conditions.latitude, 35.681);
    EXPECT_EQ(conditions.longitude, 139.767);
    EXPECT_EQ(std::string(conditions.landmarkName), kTokyoStation);

    const qx::SearchConditions before = Sentinels();
    EXPECT_EQ(conditions.areaMode, before.areaMode);
    EXPECT_STREQ(conditions.middleClassName, before.middleClassName);
    EXPECT_EQ(conditions.radiusMetres, before.radiusMetres);
    EXPECT_EQ(conditions.adultNum, before.adultNum);
    EXPECT_EQ(conditions.minCharge, before.minCharge);
    EXPECT_EQ(conditions.dinner, before.dinner);
}

TEST(LandmarkChoice, CoordinatesThatAreNotNumbersStoreZero) {
    qx::SearchConditions conditions = Sentinels();
    qx::ApplyLandmarkChoice(LandmarkRecord{"Somewhere", "", "unknown", ""}, conditions);
    EXPECT_EQ(conditions.latitude, 0.0);
    EXPECT_EQ(conditions.longitude, 0.0);
    EXPECT_STREQ(conditions.landmarkName, "Somewhere");
}

TEST(LandmarkChoice, LongNameIsCutTo255BytesOnACharacterBoundary) {
    qx::SearchConditions conditions = Sentinels();
    std::string name = "x";
    while (name.size() < 400) {
        name += kTokyoStation;
    }
    qx::ApplyLandmarkChoice(LandmarkRecord{name, "", "1", "2"}, conditions);
    // 'x' and 127 double-byte characters fill 255 bytes exactly.
    EXPECT_EQ(std::string(conditions.landmarkName), name.substr(0, 255));

    qx::ApplyLandmarkChoice(LandmarkRecord{"xy" + name.substr(1), "", "1", "2"}, conditions);
    EXPECT_EQ(std::string(conditions.landmarkName), "xy" + name.substr(1, 252));
}

}  // namespace
