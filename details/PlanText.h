// The texts of the plan information dialog: one row of its plan list and its
// window title, composed without windows so the dialog only shows them.
#pragma once

#include "parse/HotelSearchReply.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qx {

// Columns of the plan list. The hidden first column holds the reservation
// address that the reservation link reads back from the selected row.
enum class PlanListColumn : std::size_t {
    ReserveUrl,
    RoomName,
    PlanContents,
    VantoroCharge,
    Meals,
    Count,
};

using PlanListRow = std::array<std::string, static_cast<std::size_t>(PlanListColumn::Count)>;

// reserveUrl, roomName, planContents, vantoroCharge grouped, the meal text.
PlanListRow ComposePlanListRow(const PlanRecord& plan);

// A bracketed label and a blank for each set meal flag, in the order breakfast
// included, breakfast to choose, dinner included, dinner to choose; empty when
// no flag is set.
std::string ComposeMealText(const PlanRecord& plan);

inline const std::string& ColumnText(const PlanListRow& row, PlanListColumn column) {
    return row[static_cast<std::size_t>(column)];
}

// Longest window title the dialog sets.
inline constexpr std::size_t kPlanWindowTitleMaxLength = 255;

// "<hotelName> - <dialogCaption>", at most kPlanWindowTitleMaxLength bytes. The
// caption is the template's own title, so the dialog's name is written in one
// place only. A long hotel name is cut on a code page 932 character boundary
// and the " - <caption>" suffix is kept whole; only a caption too long to fit
// by itself is cut, after the name has been dropped.
std::string ComposePlanWindowTitle(std::string_view hotelName, std::string_view dialogCaption);

}  // namespace qx
