#include "FaultPlan.h"

#include "tests/support/LocalService.h"

#include <vector>

namespace qx::test {
namespace {

const char* Prefix(FaultTarget target) {
    switch (target) {
    case FaultTarget::Search:
        return "/vws/1.4/rest";
    case FaultTarget::Geocode:
        return "/php/geoscan.php";
    case FaultTarget::Picture:
        return "/img/";
    }
    return "/";
}

std::vector<Fault> KindsFor(FaultTarget target) {
    std::vector<Fault> kinds = {Fault::Status404, Fault::Status500, Fault::Hang, Fault::Drip, Fault::Reset};
    if (target == FaultTarget::Search) {
        kinds.insert(kinds.end(), {Fault::ZeroByte, Fault::NotFound, Fault::ServerError});
    } else if (target == FaultTarget::Picture) {
        kinds.push_back(Fault::NotJpeg);
    }
    return kinds;
}

std::string Parameters(FaultTarget target, Fault fault) {
    const int stall = target == FaultTarget::Search ? FaultPlan::kSearchStallSeconds : FaultPlan::kShortStallSeconds;
    switch (fault) {
    case Fault::Hang:
    case Fault::Drip:
        return "&seconds=" + std::to_string(stall);
    case Fault::ZeroByte:
        return "&at=" + std::to_string(FaultPlan::kZeroByteOffset);
    default:
        return "";
    }
}

}  // namespace

Fault FaultPlan::Pick(FaultTarget target) {
    if (std::uniform_int_distribution<int>(0, 4)(random_) < 2) {
        return Fault::None;
    }
    const std::vector<Fault> kinds = KindsFor(target);
    return kinds[std::uniform_int_distribution<std::size_t>(0, kinds.size() - 1)(random_)];
}

bool FaultPlan::Arm(FaultTarget target, Fault fault) {
    return fault == Fault::None || ArmFault(Prefix(target), Name(fault), Parameters(target, fault));
}

std::string FaultPlan::Name(Fault fault) {
    // The service's names, in the order of the enumeration.
    static const char* const kNames[] = {"none",  "status404", "status500", "hang",     "drip",
                                         "reset", "zerobyte",  "notjpeg",   "notfound", "servererror"};
    return kNames[static_cast<int>(fault)];
}

bool FaultPlan::FailsTheFetch(Fault fault) {
    return fault == Fault::Status404 || fault == Fault::Status500 || fault == Fault::Hang || fault == Fault::Drip ||
           fault == Fault::Reset;
}

}  // namespace qx::test
