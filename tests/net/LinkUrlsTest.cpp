#include "net/LinkUrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kRedirect = "http://h:1/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=";
const qx::ServiceHost kAffiliateHost{qx::UrlScheme::Http, "h:1"};
const qx::ServiceHost kMapHost{qx::UrlScheme::Http, "m"};

qx::HotelRecord Hotel(std::int32_t hotelNo, double latitude, double longitude, const char* page) {
    qx::HotelRecord hotel;
    hotel.hotelNo = hotelNo;
    hotel.latitude = latitude;
    hotel.longitude = longitude;
    std::snprintf(hotel.hotelInformationUrl, sizeof hotel.hotelInformationUrl, "%s", page);
    return hotel;
}

TEST(HotelMapUrl, ShiftsTheTokyoDatumToWgs84) {
    const struct {
        double latitude;
        double longitude;
        const char* ll;
    } cases[] = {
        {128520, 503280, "ll=35.703225,139.796787"},
        // Zero coordinates still give a map, near the datum-shift offsets.
        {0, 0, "ll=0.004602,0.010040"},
        {-128520, -503280, "ll=-35.694022,-139.776707"},
    };
    for (const auto& c : cases) {
        const std::string url = qx::HotelMapUrl(Hotel(1, c.latitude, c.longitude, ""), {qx::UrlScheme::Http, "maps.test:8080"});
        EXPECT_EQ(url, std::string("http://maps.test:8080/maps?spn=0.01,0.01&z=18&") + c.ll);
    }
}

TEST(MapUrl, UsesThePointAsGivenWithSixDecimals) {
    EXPECT_EQ(qx::MapUrl({35.681, 139.767}, kMapHost), "http://m/maps?spn=0.01,0.01&z=18&ll=35.681000,139.767000");
}

TEST(MapUrl, PrintsAHostileCoordinateWhole) {
    const std::string url = qx::MapUrl({1e300, -1e300}, kMapHost);
    // 1e300 prints as 301 digits and six decimals; the minus sign adds one.
    const std::string prefix = "http://m/maps?spn=0.01,0.01&z=18&ll=";
    ASSERT_EQ(url.size(), prefix.size() + 308 + 1 + 309);
    EXPECT_EQ(url.substr(prefix.size(), 2), "10");
    EXPECT_EQ(url.substr(url.size() - 7), ".000000");
}

TEST(AffiliateUrl, EscapesTheTargetWhole) {
    EXPECT_EQ(qx::AffiliateUrl("http://x/a?b=1&c=2", kAffiliateHost),
              kRedirect + "%68%74%74%70%3A%2F%2F%78%2F%61%3F%62%3D%31%26%63%3D%32");
    EXPECT_EQ(qx::AffiliateUrl("", kAffiliateHost), kRedirect);
}

TEST(ReservationPageUrl, UsesAtMost511Bytes) {
    const std::string longUrl = "http://r/" + std::string(600, 'z');
    const std::string url = qx::ReservationPageUrl(longUrl, kAffiliateHost);
    ASSERT_EQ(url.size(), kRedirect.size() + 3 * 511);
    EXPECT_EQ(url.substr(url.size() - 3), "%7A");
    EXPECT_EQ(qx::ReservationPageUrl(std::string(511, 'q'), kAffiliateHost).size(), kRedirect.size() + 3 * 511);
    // The address ends at its zero byte before it is measured: 510 bytes and a
    // lead byte fit, although the lead byte and the zero would straddle the limit.
    const std::string ended = qx::ReservationPageUrl(std::string(510, 'a') + std::string("\x93\0zz", 4), kAffiliateHost);
    EXPECT_EQ(ended.size(), kRedirect.size() + 3 * 511);
    EXPECT_EQ(ended.substr(ended.size() - 3), "%93");
}

TEST(ReservationPageUrl, NeverCutsADoubleByteCharacterInHalf) {
    // 510 ASCII bytes and then a two-byte character straddling the limit.
    const std::string text = std::string(510, 'a') + "\x93\x8C";
    const std::string url = qx::ReservationPageUrl(text, kAffiliateHost);
    EXPECT_EQ(url.size(), kRedirect.size() + 3 * 510);
}

TEST(LinkUrls, WriteTheSchemeOfTheirOwnHost) {
    const qx::ServiceHost map{qx::UrlScheme::Https, "map.example:8443"};
    const qx::ServiceHost affiliate{qx::UrlScheme::Https, "aff.example"};
    const std::string redirect = "https://aff.example/hgc/0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d/?pc=";
    EXPECT_EQ(qx::MapUrl({35.681, 139.767}, map),
              "https://map.example:8443/maps?spn=0.01,0.01&z=18&ll=35.681000,139.767000");
    EXPECT_EQ(qx::HotelMapUrl(Hotel(1, 128520, 503280, ""), map),
              "https://map.example:8443/maps?spn=0.01,0.01&z=18&ll=35.703225,139.796787");
    EXPECT_EQ(qx::AffiliateUrl("ab", affiliate), redirect + "%61%62");
    EXPECT_EQ(qx::ReservationPageUrl("ab", affiliate), redirect + "%61%62");
    // The longer scheme leaves the cut of the reservation address where it was.
    EXPECT_EQ(qx::ReservationPageUrl(std::string(600, 'z'), affiliate).size(), redirect.size() + 3 * 511);
}

TEST(FindHotelByNumber, FindsTheFirstOfThatNumber) {
    const std::vector<qx::HotelRecord> hotels = {Hotel(7, 1, 1, "a"), Hotel(9, 2, 2, "b"), Hotel(9, 3, 3, "c")};
    ASSERT_NE(qx::FindHotelByNumber(hotels, 9), nullptr);
    EXPECT_STREQ(qx::FindHotelByNumber(hotels, 9)->hotelInformationUrl, "b");
    EXPECT_EQ(qx::FindHotelByNumber(hotels, 8), nullptr);
    EXPECT_EQ(qx::FindHotelByNumber({}, 0), nullptr);
}

TEST(BrowserProgramPath, LiesBesideTheExecutable) {
    EXPECT_EQ(qx::BrowserProgramPath("C:\\Program Files\\qx\\front.exe"), "C:\\Program Files\\qx\\diviravo.exe");
    EXPECT_EQ(qx::BrowserProgramPath("front.exe"), "diviravo.exe");
}

}  // namespace
