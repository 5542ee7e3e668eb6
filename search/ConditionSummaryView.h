// The main window's view of the last successful search: the six summary
// edits, the month calendar showing the check-in date, and the hotel list;
// and the main window's search command that refreshes them.
#pragma once

#include <windows.h>

#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"
#include "net/ServiceHosts.h"
#include "search/LandmarkPicker.h"
#include "search/SearchConditions.h"

namespace qx {

// Writes the six summary edits of mainWindow and sets the calendar's today
// mark, then its selection, to the check-in date.
void ShowConditionSummary(HWND mainWindow, const SearchConditions& conditions);

// Replaces every row of the hotel list with one row per hotel, in reply order:
// texts only, no image and no item data.
void FillHotelList(HWND hotelList, const HotelSearchReply& reply);

// Writes how many hotels the search found and how many the list holds into
// the count text of mainWindow.
void ShowHotelCount(HWND mainWindow, const HotelSearchReply& reply);

// Opens the search conditions dialog on the main window's records, owned by
// the active window; the held conditions are shown once some were stored.
// After a successful search the summary and the list (unsorted) are renewed.
// Returns the dialog's result: 0 after a search, -1 when cancelled. The
// dialog searches on hosts and picks landmarks with pickLandmark.
INT_PTR RunSearchFromMainWindow(HWND mainWindow, HWND hotelList, AreaCatalogue& catalogue, HotelSearchReply& reply,
                                SearchConditions& conditions, const ServiceHosts& hosts,
                                const LandmarkPicker& pickLandmark);

}  // namespace qx
