#include "net/ServiceHosts.h"

#include <BuildConfig.h>

namespace qx {
namespace {

static_assert(ReadServiceHost(build::kServiceHost), "QX_SERVICE_HOST is not [http://|https://]name[:port]");
static_assert(ReadServiceHost(build::kGeocodeHost), "QX_GEOCODE_HOST is not [http://|https://]name[:port]");
static_assert(ReadServiceHost(build::kMapHost), "QX_MAP_HOST is not [http://|https://]name[:port]");
static_assert(ReadServiceHost(build::kAffiliateHost), "QX_AFFILIATE_HOST is not [http://|https://]name[:port]");

// Only for texts the assertions above have accepted.
ServiceHost Compiled(std::string_view text) {
    const ServiceHostForm form = ReadServiceHost(text).value_or(ServiceHostForm{});
    return ServiceHost{form.scheme, std::string(form.authority)};
}

}  // namespace

ServiceHosts CompiledServiceHosts() {
    return ServiceHosts{Compiled(build::kServiceHost), Compiled(build::kGeocodeHost), Compiled(build::kMapHost),
                        Compiled(build::kAffiliateHost)};
}

}  // namespace qx
