#include "details/PlanText.h"

#include "parse/FixedText.h"
#include "search/ConditionSummary.h"

#include <cstdint>
#include <utility>

namespace qx {
namespace {

struct MealLabel {
    std::int32_t PlanRecord::*flag;
    const char* text;
};

// The order in which the meal pieces appear in the list.
constexpr MealLabel kMealLabels[] = {
    {&PlanRecord::withBreakfastFlag, "[朝食] "},
    {&PlanRecord::breakfastSelectFlag, "[朝食選択] "},
    {&PlanRecord::withDinnerFlag, "[夕食] "},
    {&PlanRecord::dinnerSelectFlag, "[夕食選択] "},
};

constexpr std::string_view kTitleSeparator = " - ";

}  // namespace

std::string ComposeMealText(const PlanRecord& plan) {
    std::string text;
    for (const MealLabel& label : kMealLabels) {
        if (plan.*label.flag != 0) {
            text += label.text;
        }
    }
    return text;
}

PlanListRow ComposePlanListRow(const PlanRecord& plan) {
    PlanListRow row;
    const auto set = [&row](PlanListColumn column, std::string text) {
        row[static_cast<std::size_t>(column)] = std::move(text);
    };
    set(PlanListColumn::ReserveUrl, std::string(FieldText(plan.reserveUrl)));
    set(PlanListColumn::RoomName, std::string(FieldText(plan.roomName)));
    set(PlanListColumn::PlanContents, std::string(FieldText(plan.planContents)));
    set(PlanListColumn::VantoroCharge, FormatGroupedNumber(plan.vantoroCharge));
    set(PlanListColumn::Meals, ComposeMealText(plan));
    return row;
}

std::string ComposePlanWindowTitle(std::string_view hotelName, std::string_view dialogCaption) {
    std::string suffix(kTitleSeparator);
    suffix += dialogCaption;
    if (suffix.size() >= kPlanWindowTitleMaxLength) {
        suffix.resize(CharacterBoundaryPrefix(suffix, kPlanWindowTitleMaxLength));
        return suffix;
    }
    const std::size_t room = kPlanWindowTitleMaxLength - suffix.size();
    std::string title(hotelName.substr(0, CharacterBoundaryPrefix(hotelName, room)));
    title += suffix;
    return title;
}

}  // namespace qx
