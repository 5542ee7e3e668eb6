#include "net/ServiceHosts.h"

#include <BuildConfig.h>

namespace qx {

ServiceHosts CompiledServiceHosts() {
    return ServiceHosts{build::kServiceHost, build::kGeocodeHost, build::kMapHost, build::kAffiliateHost};
}

}  // namespace qx
