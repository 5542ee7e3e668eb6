#include "net/ServiceHost.h"

namespace qx {

std::string Origin(const ServiceHost& host) {
    return (host.scheme == UrlScheme::Https ? "https://" : "http://") + host.authority;
}

}  // namespace qx
