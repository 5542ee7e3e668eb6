#include "net/LinkUrls.h"

#include "net/PathText.h"
#include "net/PercentEncode.h"
#include "parse/FixedText.h"

#include <cstdio>

namespace qx {

GeoPoint TokyoSecondsToWgs84(double latitudeSeconds, double longitudeSeconds) {
    const double lat = latitudeSeconds / 3600.0;
    const double lon = longitudeSeconds / 3600.0;
    GeoPoint converted;
    converted.latitude = lat - lat * 0.00010695 + lon * 0.000017464 + 0.0046017;
    converted.longitude = lon - lat * 0.000046038 - lon * 0.000083043 + 0.01004;
    return converted;
}

std::string MapUrl(GeoPoint point, const ServiceHost& mapHost) {
    static constexpr char kFormat[] = "/maps?spn=0.01,0.01&z=18&ll=%.06f,%.06f";
    // Sized first: a hostile coordinate such as 1e300 prints hundreds of digits.
    const int length = std::snprintf(nullptr, 0, kFormat, point.latitude, point.longitude);
    if (length < 0) {
        return std::string();
    }
    std::string pathAndQuery(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(pathAndQuery.data(), pathAndQuery.size(), kFormat, point.latitude, point.longitude);
    pathAndQuery.resize(static_cast<std::size_t>(length));
    return Origin(mapHost) + pathAndQuery;
}

std::string HotelMapUrl(const HotelRecord& hotel, const ServiceHost& mapHost) {
    return MapUrl(TokyoSecondsToWgs84(hotel.latitude, hotel.longitude), mapHost);
}

std::string AffiliateUrl(std::string_view target, const ServiceHost& affiliateHost) {
    return Origin(affiliateHost) + "/hgc/" + kAffiliateId + "/?pc=" + PercentEncode(target);
}

std::string ReservationPageUrl(std::string_view reserveUrl, const ServiceHost& affiliateHost) {
    char field[kReservationUrlWidth];
    CopyField(field, reserveUrl.substr(0, reserveUrl.find('\0')));
    return AffiliateUrl(field, affiliateHost);
}

const HotelRecord* FindHotelByNumber(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo) {
    for (const HotelRecord& hotel : hotels) {
        if (hotel.hotelNo == hotelNo) {
            return &hotel;
        }
    }
    return nullptr;
}

std::string BrowserProgramPath(std::string_view executablePath) {
    return std::string(DirectoryOf(executablePath)) + kBrowserProgramName;
}

}  // namespace qx
