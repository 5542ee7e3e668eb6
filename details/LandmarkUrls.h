// The addresses the landmark dialog uses: the geocoding request for the typed
// text and the web map around a listed place.
#pragma once

#include "details/LandmarkTable.h"
#include "net/ServiceHost.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qx {

// Longest typed text sent to the geocoding page, as the edit is read.
inline constexpr std::size_t kLandmarkQueryMaxLength = 255;

// "/php/geoscan.php?q=" and the typed text with every byte percent-encoded;
// of the text at most kLandmarkQueryMaxLength bytes up to its first zero byte
// are sent, cut on a code page 932 character boundary so that the page never
// receives half a character.
std::string GeocodeRequestPath(std::string_view typedText);

// The geocoding host's origin followed by GeocodeRequestPath(typedText).
std::string GeocodeRequestUrl(std::string_view typedText, const ServiceHost& geocodeHost);

// The web map around a listed place. Its coordinates are WGS 84 already, so
// unlike a hotel's they are not shifted; they are read as the dialog reads them
// back from the list (LandmarkCoordinate).
std::string LandmarkMapUrl(const LandmarkRecord& place, const ServiceHost& mapHost);

}  // namespace qx
