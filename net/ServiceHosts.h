// Where each remote service lives: the hotel web service, the geocoding page,
// the web map and the affiliate redirect, each with its scheme.
//
// The program takes the hosts compiled into it once, at its entry, and hands
// the record down by reference to every window and link that talks to a
// service; tests hand down their own (the local web service on its test port).
#pragma once

#include "net/ServiceHost.h"

namespace qx {

struct ServiceHosts {
    ServiceHost service;
    ServiceHost geocode;
    ServiceHost map;
    ServiceHost affiliate;
};

// The hosts the build compiled in.
ServiceHosts CompiledServiceHosts();

}  // namespace qx
