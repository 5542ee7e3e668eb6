#include "details/LandmarkUrls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kPrefix = "/php/geoscan.php?q=";

std::string Repeat(const std::string& piece, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

TEST(GeocodeRequest, EveryByteIsEscaped) {
    const struct {
        std::string typed;
        std::string query;
    } cases[] = {
        {"A", "%41"},
        {"", ""},
        {"a 1&=?", "%61%20%31%26%3D%3F"},
        {"\x93\x8C\x8B\x9E", "%93%8C%8B%9E"},  // two double-byte characters, two escapes each
        {"%41", "%25%34%31"},
        {std::string("ab\0cd", 5), "%61%62"},  // the edit's text ends at its zero
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::GeocodeRequestPath(c.typed), kPrefix + c.query) << c.typed;
    }
}

TEST(GeocodeRequest, SendsAtMost255BytesAndNoHalfCharacter) {
    EXPECT_EQ(qx::GeocodeRequestPath(std::string(300, 'a')), kPrefix + Repeat("%61", 255));
    // 'x' and 127 double-byte characters are exactly 255 bytes; one more
    // character would be cut in half, so it is left out whole.
    const std::string wide = "\x93\x8C";
    EXPECT_EQ(qx::GeocodeRequestPath("x" + Repeat(wide, 130)), kPrefix + "%78" + Repeat("%93%8C", 127));
    EXPECT_EQ(qx::GeocodeRequestPath(Repeat(wide, 130)), kPrefix + Repeat("%93%8C", 127));
    // The text ends at its zero byte before it is measured: 254 bytes and a
    // lead byte fit, although the lead byte and the zero would straddle the limit.
    EXPECT_EQ(qx::GeocodeRequestPath(std::string(254, 'a') + std::string("\x93\0zz", 4)),
              kPrefix + Repeat("%61", 254) + "%93");
}

TEST(GeocodeRequest, UrlNamesTheGeocodingHostWithItsScheme) {
    EXPECT_EQ(qx::GeocodeRequestUrl("A", {qx::UrlScheme::Http, "geo.test:8080"}), "http://geo.test:8080" + kPrefix + "%41");
    EXPECT_EQ(qx::GeocodeRequestUrl("A", {qx::UrlScheme::Https, "geo.test"}), "https://geo.test" + kPrefix + "%41");
}

TEST(LandmarkMap, UsesTheListedCoordinatesWithoutShift) {
    const qx::LandmarkRecord place{"name", "address", "35.681", "139.767"};
    EXPECT_EQ(qx::LandmarkMapUrl(place, {qx::UrlScheme::Https, "map.test"}),
              "https://map.test/maps?spn=0.01,0.01&z=18&ll=35.681000,139.767000");
    const qx::LandmarkRecord unknown{"name", "address", "n/a", std::string(31, '0') + "9"};
    EXPECT_EQ(qx::LandmarkMapUrl(unknown, {qx::UrlScheme::Http, "map.test"}),
              "http://map.test/maps?spn=0.01,0.01&z=18&ll=0.000000,0.000000");
}

}  // namespace
