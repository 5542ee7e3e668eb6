// Stands in for the build's generated BuildConfig.h in the test of
// CompiledServiceHosts: every host distinct, so that one taken for another shows.
#pragma once

namespace qx::build {
inline constexpr const char kServiceHost[] = "https://service.test:1";
inline constexpr const char kGeocodeHost[] = "geocode.test:2";
inline constexpr const char kMapHost[] = "http://map.test:3";
inline constexpr const char kAffiliateHost[] = "affiliate.test:4";
inline constexpr int kLocalWebPort = 5;
}  // namespace qx::build
