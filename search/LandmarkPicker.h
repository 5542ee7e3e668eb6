// How the search conditions dialog lets the user pick a landmark: the picker
// opens its window owned by owner and, when the user chooses a place, writes
// landmarkName, latitude and longitude into the conditions and answers true;
// when the user cancels it leaves them unchanged and answers false.
//
// The conditions dialog knows only this; whoever opens the dialog hands it the
// landmark window that does the picking (LandmarkDialogPicker in details/).
#pragma once

#include <windows.h>

#include <functional>

#include "search/SearchConditions.h"

namespace qx {

using LandmarkPicker = std::function<bool(HWND owner, SearchConditions& conditions)>;

}  // namespace qx
