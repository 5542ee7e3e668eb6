// Where each remote service lives, as "name[:port]": the hotel web service,
// the geocoding page, the web map and the affiliate redirect.
//
// The program takes the hosts compiled into it once, at its entry, and hands
// the record down by reference to every window and link that talks to a
// service; tests hand down their own (the local web service on its test port).
#pragma once

#include <string>

namespace qx {

struct ServiceHosts {
    std::string service;
    std::string geocode;
    std::string map;
    std::string affiliate;
};

// The hosts the build compiled in.
ServiceHosts CompiledServiceHosts();

}  // namespace qx
