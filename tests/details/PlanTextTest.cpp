#include "details/PlanText.h"

#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using qx::ColumnText;
using qx::PlanListColumn;

// One double-byte character of code page 932 ("東"); a run of them makes every
// odd byte count fall inside a character.
const std::string kWide = "\x93\x8C";

std::string WideRun(std::size_t characters) {
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) {
        text += kWide;
    }
    return text;
}

qx::PlanRecord PlanWithMeals(std::int32_t withBreakfast, std::int32_t breakfastSelect, std::int32_t withDinner,
                             std::int32_t dinnerSelect) {
    qx::PlanRecord plan;
    plan.withBreakfastFlag = withBreakfast;
    plan.breakfastSelectFlag = breakfastSelect;
    plan.withDinnerFlag = withDinner;
    plan.dinnerSelectFlag = dinnerSelect;
    return plan;
}

TEST(MealText, ListsTheSetFlagsInFixedOrderEachWithOneBlank) {
    const struct {
        qx::PlanRecord plan;
        std::string text;
    } cases[] = {
        {PlanWithMeals(0, 0, 0, 0), ""},
        {PlanWithMeals(1, 0, 0, 0), "[朝食] "},
        {PlanWithMeals(0, 1, 0, 0), "[朝食選択] "},
        {PlanWithMeals(0, 0, 1, 0), "[夕食] "},
        {PlanWithMeals(0, 0, 0, 1), "[夕食選択] "},
        {PlanWithMeals(1, 0, 0, 1), "[朝食] [夕食選択] "},
        {PlanWithMeals(1, 1, 1, 1), "[朝食] [朝食選択] [夕食] [夕食選択] "},
        // Any value other than 0 counts as set, as the reply's flags are read
        // by a plain decimal conversion.
        {PlanWithMeals(-1, 0, 2147483647, 0), "[朝食] [夕食] "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::ComposeMealText(c.plan), c.text);
    }
}

TEST(PlanListRow, HoldsTheColumnsInListOrder) {
    qx::PlanRecord plan = PlanWithMeals(1, 0, 0, 1);
    qx::CopyField(plan.reserveUrl, "http://example.test/reserve?a=1&b=2");
    qx::CopyField(plan.roomName, "Twin " + kWide);
    qx::CopyField(plan.planContents, "Early booking");
    plan.vantoroCharge = 25000;

    const qx::PlanListRow row = qx::ComposePlanListRow(plan);

    EXPECT_EQ(ColumnText(row, PlanListColumn::ReserveUrl), "http://example.test/reserve?a=1&b=2");
    EXPECT_EQ(ColumnText(row, PlanListColumn::RoomName), "Twin " + kWide);
    EXPECT_EQ(ColumnText(row, PlanListColumn::PlanContents), "Early booking");
    EXPECT_EQ(ColumnText(row, PlanListColumn::VantoroCharge), "25,000");
    EXPECT_EQ(ColumnText(row, PlanListColumn::Meals), "[朝食] [夕食選択] ");
}

TEST(PlanWindowTitle, JoinsNameAndCaption) {
    EXPECT_EQ(qx::ComposePlanWindowTitle("Hotel A", "宿泊プラン情報"), "Hotel A - 宿泊プラン情報");
    EXPECT_EQ(qx::ComposePlanWindowTitle("", "Plan"), " - Plan");
}

TEST(PlanWindowTitle, LongNameStaysWithinTheLimitAndKeepsTheCaption) {
    const std::string caption = "宿泊プラン情報";
    const std::string suffix = " - " + caption;
    for (std::size_t length : {250u, 255u, 1000u}) {
        const std::string title = qx::ComposePlanWindowTitle(std::string(length, 'h'), caption);
        EXPECT_EQ(title.size(), qx::kPlanWindowTitleMaxLength) << length;
        EXPECT_EQ(title.substr(title.size() - suffix.size()), suffix) << length;
    }
}

TEST(PlanWindowTitle, NameIsCutOnACharacterBoundary) {
    // " - Plan" leaves 248 bytes for the name: 'x' and 123 double-byte
    // characters fill 247; the 124th would end at byte 249.
    const std::string name = "x" + WideRun(127);
    const std::string title = qx::ComposePlanWindowTitle(name, "Plan");
    EXPECT_EQ(title, "x" + WideRun(123) + " - Plan");
}

TEST(PlanWindowTitle, NameThatFitsExactlyIsNotCut) {
    const std::string name = WideRun(124);  // 248 bytes
    EXPECT_EQ(qx::ComposePlanWindowTitle(name, "Plan"), name + " - Plan");
}

TEST(PlanWindowTitle, CaptionTooLongForTheTitleIsCutAloneOnACharacterBoundary) {
    EXPECT_EQ(qx::ComposePlanWindowTitle("Hotel", std::string(400, 'c')), " - " + std::string(252, 'c'));
    // " - " and 126 double-byte characters fill the 255 bytes exactly; after
    // one more single byte the 126th would straddle the limit.
    EXPECT_EQ(qx::ComposePlanWindowTitle("Hotel", WideRun(200)), " - " + WideRun(126));
    EXPECT_EQ(qx::ComposePlanWindowTitle("Hotel", "c" + WideRun(200)), " - c" + WideRun(125));
}

}  // namespace
