#include "search/ConditionSummary.h"

#include "parse/FixedText.h"

#include <string_view>

namespace qx {
namespace {

// Shown for a budget or a facility list that was not set.
constexpr std::string_view kNotSpecified = "指定なし";
constexpr std::string_view kRangeSeparator = " ～ ";

struct PersonLabel {
    std::int32_t SearchConditions::*count;
    std::string_view prefix;
};

constexpr PersonLabel kPersonLabels[] = {
    {&SearchConditions::adultNum, "大人 ["},
    {&SearchConditions::upClassNum, "子供 ["},
    {&SearchConditions::infantWithMBNum, "幼児 ["},
};

struct FacilityLabel {
    std::uint8_t SearchConditions::*flag;
    std::string_view text;
};

// In the fixed facility order of the conditions record.
constexpr FacilityLabel kFacilityLabels[] = {
    {&SearchConditions::kinen, "[禁煙室] "},
    {&SearchConditions::internet, "[インターネット] "},
    {&SearchConditions::daiyoku, "[大浴場] "},
    {&SearchConditions::onsen, "[温泉] "},
    {&SearchConditions::breakfast, "[朝食つき] "},
    {&SearchConditions::dinner, "[夕食つき] "},
};

std::string CutToSummaryLength(std::string text) {
    text.resize(CharacterBoundaryPrefix(text, kSummaryTextMaxLength));
    return text;
}

std::string ComposeArea(const SearchConditions& conditions) {
    std::string text;
    if (conditions.areaMode == kAreaModeByClass) {
        text += FieldText(conditions.middleClassName);
        text += ' ';
        text += FieldText(conditions.smallClassName);
        const std::string_view detail = FieldText(conditions.detailClassName);
        if (!detail.empty()) {
            text += ' ';
            text += detail;
        }
    } else if (conditions.areaMode == kAreaModeNearLandmark) {
        text += FieldText(conditions.landmarkName);
        text += " から半径 ";
        text += std::to_string(conditions.radiusMetres);
        text += "[m] のエリア";
    }
    return text;
}

std::string ComposeDate(const LocalDateTime& date) {
    return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::string ComposePeriod(const SearchConditions& conditions) {
    std::string text = ComposeDate(conditions.checkinDate);
    text += kRangeSeparator;
    text += ComposeDate(conditions.checkoutDate);
    return text;
}

std::string ComposeBudget(const SearchConditions& conditions) {
    if (conditions.minCharge == -1 || conditions.maxCharge == -1) {
        return std::string(kNotSpecified);
    }
    std::string text = FormatGroupedNumber(conditions.minCharge);
    text += kRangeSeparator;
    text += FormatGroupedNumber(conditions.maxCharge);
    return text;
}

std::string ComposePersons(const SearchConditions& conditions) {
    std::string text;
    for (const PersonLabel& label : kPersonLabels) {
        const std::int32_t count = conditions.*label.count;
        if (count > 0) {
            text += label.prefix;
            text += std::to_string(count);
            text += "] ";
        }
    }
    return text;
}

std::string ComposeFacilities(const SearchConditions& conditions) {
    std::string text;
    for (const FacilityLabel& label : kFacilityLabels) {
        if (conditions.*label.flag != 0) {
            text += label.text;
        }
    }
    if (text.empty()) {
        return std::string(kNotSpecified);
    }
    return text;
}

}  // namespace

std::string FormatGroupedNumber(std::int32_t value) {
    // Unsigned arithmetic makes the magnitude of INT32_MIN representable.
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        magnitude = 0u - magnitude;
    }
    char digits[kGroupedNumberMaxLength];
    std::size_t start = sizeof digits;
    int written = 0;
    do {
        if (written > 0 && written % 3 == 0) {
            digits[--start] = ',';
        }
        digits[--start] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
        ++written;
    } while (magnitude != 0);
    if (value < 0) {
        digits[--start] = '-';
    }
    return std::string(digits + start, sizeof digits - start);
}

ConditionSummary ComposeConditionSummary(const SearchConditions& conditions) {
    ConditionSummary summary;
    summary.area = CutToSummaryLength(ComposeArea(conditions));
    summary.period = CutToSummaryLength(ComposePeriod(conditions));
    summary.budget = CutToSummaryLength(ComposeBudget(conditions));
    summary.persons = CutToSummaryLength(ComposePersons(conditions));
    summary.rooms = CutToSummaryLength(std::to_string(conditions.roomNum));
    summary.facilities = CutToSummaryLength(ComposeFacilities(conditions));
    return summary;
}

}  // namespace qx
