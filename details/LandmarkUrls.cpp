#include "details/LandmarkUrls.h"

#include "net/LinkUrls.h"
#include "net/PercentEncode.h"
#include "parse/FixedText.h"

namespace qx {

std::string GeocodeRequestPath(std::string_view typedText) {
    const std::string_view content = typedText.substr(0, typedText.find('\0'));
    const std::string_view sent = content.substr(0, CharacterBoundaryPrefix(content, kLandmarkQueryMaxLength));
    return "/php/geoscan.php?q=" + PercentEncode(sent);
}

std::string GeocodeRequestUrl(std::string_view typedText, const ServiceHost& geocodeHost) {
    return Origin(geocodeHost) + GeocodeRequestPath(typedText);
}

std::string LandmarkMapUrl(const LandmarkRecord& place, const ServiceHost& mapHost) {
    GeoPoint point;
    point.latitude = LandmarkCoordinate(place.latitude);
    point.longitude = LandmarkCoordinate(place.longitude);
    return MapUrl(point, mapHost);
}

}  // namespace qx
