// Opening web pages in the user's browser: the map around a hotel, the hotel's
// page and a plan's reservation page. Nothing waits for the browser and
// nothing is reported when the shell cannot open a page.
#pragma once

#include "net/ServiceHost.h"
#include "parse/HotelSearchReply.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// Opens url with the shell's default verb (under Wine a very long one through
// the program registered for http).
void OpenUrl(const std::string& url);

// The map around the hotel with that number, through the browser program
// beside the executable when there is one. False when no hotel has the number.
bool OpenHotelMap(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo, const ServiceHost& mapHost);

// The hotel's own page through the affiliate redirect. False when no hotel
// has the number.
bool OpenHotelPage(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo, const ServiceHost& affiliateHost);

// A plan's reservation page through the affiliate redirect.
void OpenReservationPage(std::string_view reserveUrl, const ServiceHost& affiliateHost);

}  // namespace qx
