// The main window's text of how many hotels the last search found and how
// many of them the list holds.
#pragma once

#include "parse/HotelSearchReply.h"

#include <string>

namespace qx {

// "167 件" when the list holds every hotel found; "2,345 件中 1,000 件を表示"
// when it holds fewer. A reply without paging information found what it
// holds, and a record count below the hotels held counts as that many.
std::string ComposeHotelCountText(const HotelSearchReply& reply);

}  // namespace qx
