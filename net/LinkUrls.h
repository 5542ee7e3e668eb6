// The addresses opened in the browser: the web map around a point and the
// affiliate redirect to a hotel page or a reservation page.
//
// Each takes the host it links to, with its scheme, from the caller's ServiceHosts.
#pragma once

#include "net/ServiceHost.h"
#include "parse/HotelSearchReply.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// The identifier the affiliate redirect credits for every page opened through it.
inline constexpr char kAffiliateId[] = "0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d";

// A browser program of this name beside the executable gets the map links.
inline constexpr char kBrowserProgramName[] = "diviravo.exe";

// Width of the buffer a reservation address is read into, zero included.
inline constexpr std::size_t kReservationUrlWidth = 512;

// A position in decimal degrees.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// Hotel positions arrive in seconds of arc on the Tokyo datum; the web map
// expects WGS 84. A linear approximation, good to a few metres over Japan.
GeoPoint TokyoSecondsToWgs84(double latitudeSeconds, double longitudeSeconds);

// "<origin>/maps?spn=0.01,0.01&z=18&ll=<lat>,<lon>", six decimals each.
std::string MapUrl(GeoPoint point, const ServiceHost& mapHost);

// The map around a hotel, its position converted to WGS 84.
std::string HotelMapUrl(const HotelRecord& hotel, const ServiceHost& mapHost);

// "<origin>/hgc/<affiliate id>/?pc=<target percent-encoded>". The target is
// read up to its first zero byte.
std::string AffiliateUrl(std::string_view target, const ServiceHost& affiliateHost);

// The affiliate link to a reservation address, of which at most the first 511
// bytes are used (cut on a character boundary).
std::string ReservationPageUrl(std::string_view reserveUrl, const ServiceHost& affiliateHost);

// The first hotel with that number, or nullptr.
const HotelRecord* FindHotelByNumber(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo);

// Where the optional browser program would be, given the running executable's path.
std::string BrowserProgramPath(std::string_view executablePath);

}  // namespace qx
