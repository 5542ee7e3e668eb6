// The local web service as the search tests use it: the area reply, faults
// armed for the next requests, and the searches it has received.
#pragma once

#include <string>
#include <vector>

#include "tests/net/LocalWeb.h"

namespace qx::test {

using qxtest::LocalWebHost;

// The GetAreaClass reply in code page 932, or empty when it could not be had.
std::string FetchAreaReply();
// The same, with the middle class of that code sent without small classes.
std::string FetchAreaReplyWithBareMiddleClass(const std::string& middleCode);

// Arms one fault of kind (a fault kind of the service), with its parameters
// ("&seconds=3"), for the next request whose path starts with pathPrefix.
bool ArmServiceFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters = "");
void ClearServiceFaults();

// The request targets of every VacantHotelSearch the service has logged, oldest first.
std::vector<std::string> LoggedSearchTargets();

}  // namespace qx::test
