#include "search/ConditionSummary.h"

#include <gtest/gtest.h>

#include "parse/FixedText.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

// One double-byte character of code page 932 ("東"), written as bytes so that a
// cut falls at the same place in the native and the code page 932 build.
const std::string kWide = "\x93\x8C";

std::string WideRun(std::size_t characters) {
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) {
        text += kWide;
    }
    return text;
}

// A complete record as a search leaves it: area mode, a stay, one adult, one
// room, no budget and no facility.
qx::SearchConditions Searched() {
    qx::SearchConditions conditions;
    conditions.areaMode = qx::kAreaModeByClass;
    qx::CopyField(conditions.middleClassName, "Tokyo");
    qx::CopyField(conditions.smallClassName, "Chiyoda");
    conditions.checkinDate.year = 2007;
    conditions.checkinDate.month = 8;
    conditions.checkinDate.day = 10;
    conditions.checkoutDate.year = 2007;
    conditions.checkoutDate.month = 8;
    conditions.checkoutDate.day = 12;
    conditions.adultNum = 1;
    conditions.roomNum = 1;
    conditions.minCharge = -1;
    conditions.maxCharge = -1;
    return conditions;
}

bool EndsOnCharacterBoundary(const std::string& text) {
    return qx::CharacterBoundaryPrefix(text, text.size()) == text.size();
}

TEST(FormatGroupedNumber, GroupsThreeDigitsFromTheRight) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {-1, "-1"},
        {-999, "-999"},
        {-1000, "-1,000"},
        {25000, "25,000"},
        {100000, "100,000"},
        {1234567, "1,234,567"},
        {-1234567, "-1,234,567"},
        {std::numeric_limits<std::int32_t>::max(), "2,147,483,647"},
        {std::numeric_limits<std::int32_t>::min(), "-2,147,483,648"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::FormatGroupedNumber(c.value), c.text) << c.value;
    }
}

TEST(FormatGroupedNumber, LongestTextIsTheDeclaredMaximum) {
    EXPECT_EQ(qx::FormatGroupedNumber(std::numeric_limits<std::int32_t>::min()).size(),
              qx::kGroupedNumberMaxLength);
}

// Without its commas the text is the plain decimal form, and every comma stands
// before a whole group of three digits.
TEST(FormatGroupedNumber, AgreesWithPlainDecimalOverManyValues) {
    std::mt19937 random(20070810u);
    std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max());
    for (int i = 0; i < 20000; ++i) {
        const std::int32_t value = any(random);
        const std::string text = qx::FormatGroupedNumber(value);
        ASSERT_LE(text.size(), qx::kGroupedNumberMaxLength);
        std::string plain;
        std::size_t digitsSinceComma = 0;
        for (std::size_t k = text.size(); k-- > 0;) {
            if (text[k] == ',') {
                ASSERT_EQ(digitsSinceComma, 3u) << text;
                digitsSinceComma = 0;
            } else {
                plain.insert(plain.begin(), text[k]);
                ++digitsSinceComma;
            }
        }
        ASSERT_EQ(plain, std::to_string(value));
    }
}

TEST(ConditionSummary, AreaByClassJoinsTheNamesWithOneBlank) {
    qx::SearchConditions conditions = Searched();
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, "Tokyo Chiyoda");
    qx::CopyField(conditions.detailClassName, "Marunouchi");
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, "Tokyo Chiyoda Marunouchi");
}

TEST(ConditionSummary, AreaAroundALandmarkNamesTheRadius) {
    qx::SearchConditions conditions = Searched();
    conditions.areaMode = qx::kAreaModeNearLandmark;
    qx::CopyField(conditions.landmarkName, "名前");
    conditions.radiusMetres = 1500;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, "名前 から半径 1500[m] のエリア");
}

TEST(ConditionSummary, AreaIsEmptyBeforeAnyModeWasStored) {
    qx::SearchConditions conditions = Searched();
    conditions.areaMode = 0;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, "");
    conditions.areaMode = 150;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, "");
}

TEST(ConditionSummary, LongAreaIsCutBeforeADoubleByteCharacterThatWouldCross255) {
    // 'x' and 126 double-byte characters fill 253 bytes, the blank 254; the
    // small class's first character would take bytes 255 and 256.
    qx::SearchConditions conditions = Searched();
    const std::string middle = "x" + WideRun(126);
    qx::CopyField(conditions.middleClassName, middle);
    qx::CopyField(conditions.smallClassName, WideRun(127));
    qx::CopyField(conditions.detailClassName, WideRun(127));
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, middle + " ");
}

TEST(ConditionSummary, ThreeLongNamesAreCutTo255Bytes) {
    qx::SearchConditions conditions = Searched();
    qx::CopyField(conditions.middleClassName, std::string(255, 'm'));
    qx::CopyField(conditions.smallClassName, std::string(255, 's'));
    qx::CopyField(conditions.detailClassName, std::string(255, 'd'));
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area, std::string(255, 'm'));
    qx::CopyField(conditions.middleClassName, std::string(100, 'm'));
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).area,
              std::string(100, 'm') + " " + std::string(154, 's'));
}

TEST(ConditionSummary, LongLandmarkNameLosesTheRadiusNotItsCharacters) {
    qx::SearchConditions conditions = Searched();
    conditions.areaMode = qx::kAreaModeNearLandmark;
    conditions.radiusMetres = 3000;
    qx::CopyField(conditions.landmarkName, "x" + WideRun(127));
    const std::string area = qx::ComposeConditionSummary(conditions).area;
    EXPECT_EQ(area, "x" + WideRun(127));
}

TEST(ConditionSummary, PeriodShowsBothDatesWithoutLeadingZeros) {
    qx::SearchConditions conditions = Searched();
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).period, "2007年8月10日 ～ 2007年8月12日");
    conditions.checkinDate = {2007, 12, 1, 31, 15, 30, 0, 0};
    conditions.checkoutDate = {2008, 1, 2, 1, 15, 30, 0, 0};
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).period, "2007年12月31日 ～ 2008年1月1日");
}

TEST(ConditionSummary, BudgetShowsGroupedChargesOrNotSpecified) {
    const struct {
        std::int32_t minCharge;
        std::int32_t maxCharge;
        const char* text;
    } cases[] = {
        {5000, 10000, "5,000 ～ 10,000"},
        {-1, -1, "指定なし"},
        {-1, 10000, "指定なし"},
        {5000, -1, "指定なし"},
        {0, 1, "0 ～ 1"},
        // Only -1 means "no budget"; other negative values are shown.
        {-2, 5, "-2 ～ 5"},
        {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
         "-2,147,483,648 ～ 2,147,483,647"},
    };
    for (const auto& c : cases) {
        qx::SearchConditions conditions = Searched();
        conditions.minCharge = c.minCharge;
        conditions.maxCharge = c.maxCharge;
        EXPECT_EQ(qx::ComposeConditionSummary(conditions).budget, c.text) << c.minCharge << ' ' << c.maxCharge;
    }
}

TEST(ConditionSummary, PersonsListCountsAboveZeroEachWithATrailingBlank) {
    const struct {
        std::int32_t adults;
        std::int32_t children;
        std::int32_t infants;
        const char* text;
    } cases[] = {
        {1, 0, 0, "大人 [1] "},
        {0, 0, 0, ""},
        {2, 1, 3, "大人 [2] 子供 [1] 幼児 [3] "},
        {0, 4, 0, "子供 [4] "},
        {0, 0, 9, "幼児 [9] "},
        {-1, -5, 2, "幼児 [2] "},
    };
    for (const auto& c : cases) {
        qx::SearchConditions conditions = Searched();
        conditions.adultNum = c.adults;
        conditions.upClassNum = c.children;
        conditions.infantWithMBNum = c.infants;
        EXPECT_EQ(qx::ComposeConditionSummary(conditions).persons, c.text)
            << c.adults << ' ' << c.children << ' ' << c.infants;
    }
}

TEST(ConditionSummary, RoomsInDecimal) {
    qx::SearchConditions conditions = Searched();
    conditions.roomNum = 9;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).rooms, "9");
    conditions.roomNum = 0;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).rooms, "0");
}

TEST(ConditionSummary, FacilitiesInFixedOrderOrNotSpecified) {
    qx::SearchConditions conditions = Searched();
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).facilities, "指定なし");

    const struct {
        std::uint8_t qx::SearchConditions::*flag;
        const char* label;
    } alone[] = {
        {&qx::SearchConditions::kinen, "[禁煙室] "},     {&qx::SearchConditions::internet, "[インターネット] "},
        {&qx::SearchConditions::daiyoku, "[大浴場] "},   {&qx::SearchConditions::onsen, "[温泉] "},
        {&qx::SearchConditions::breakfast, "[朝食つき] "}, {&qx::SearchConditions::dinner, "[夕食つき] "},
    };
    for (const auto& facility : alone) {
        conditions = Searched();
        conditions.*facility.flag = 1;
        EXPECT_EQ(qx::ComposeConditionSummary(conditions).facilities, facility.label);
    }

    conditions.dinner = 1;
    conditions.breakfast = 1;
    conditions.kinen = 1;
    conditions.internet = 255;  // any value but 0 is set
    conditions.daiyoku = 1;
    conditions.onsen = 1;
    EXPECT_EQ(qx::ComposeConditionSummary(conditions).facilities,
              "[禁煙室] [インターネット] [大浴場] [温泉] [朝食つき] [夕食つき] ");
}

// Texts from a record whose name fields are full of lead bytes and lack their
// terminating zero: nothing is read past a field, every text stays within the
// limit and ends on a whole character.
TEST(ConditionSummary, HostileRecordGivesBoundedTexts) {
    for (std::uint32_t mode : {qx::kAreaModeByClass, qx::kAreaModeNearLandmark}) {
        qx::SearchConditions conditions = Searched();
        conditions.areaMode = mode;
        for (char* field : {conditions.middleClassName, conditions.smallClassName, conditions.detailClassName,
                            conditions.landmarkName}) {
            std::memset(field, 0x81, 256);
        }
        conditions.radiusMetres = std::numeric_limits<std::int32_t>::min();
        conditions.adultNum = std::numeric_limits<std::int32_t>::max();
        conditions.upClassNum = std::numeric_limits<std::int32_t>::max();
        conditions.infantWithMBNum = std::numeric_limits<std::int32_t>::max();
        conditions.checkinDate = {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
        conditions.checkoutDate = conditions.checkinDate;
        const qx::ConditionSummary summary = qx::ComposeConditionSummary(conditions);
        for (const std::string* text : {&summary.area, &summary.period, &summary.budget, &summary.persons,
                                        &summary.rooms, &summary.facilities}) {
            EXPECT_LE(text->size(), qx::kSummaryTextMaxLength) << *text;
            EXPECT_TRUE(EndsOnCharacterBoundary(*text)) << *text;
        }
        // 128 whole characters would be 256 bytes; the cut keeps 127.
        EXPECT_EQ(summary.area, std::string(254, '\x81')) << mode;
        EXPECT_EQ(summary.period, "65535年65535月65535日 ～ 65535年65535月65535日");
        EXPECT_EQ(summary.persons, "大人 [2147483647] 子供 [2147483647] 幼児 [2147483647] ");
    }
}

#ifdef _WIN32
// The Windows build compiles its literals to code page 932, where the wave dash
// is one double-byte character and the dialog shows it as such.
TEST(ConditionSummary, WaveDashIsTheCodePage932Character) {
    const qx::ConditionSummary summary = qx::ComposeConditionSummary(Searched());
    EXPECT_EQ(summary.period, "2007\x94\x4E" "8\x8C\x8E" "10\x93\xFA \x81\x60 2007\x94\x4E" "8\x8C\x8E" "12\x93\xFA");
}
#endif

}  // namespace
