// Access to the local web service that CTest starts around the Windows tests
// (tools/with-localweb.sh): its address and its request log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qxtest {

// "127.0.0.1:<port>" from QX_LOCALWEB_PORT, or empty when the service is not up.
std::string LocalWebHost();

// "http://<host><pathAndQuery>".
std::string LocalWebUrl(std::string_view pathAndQuery);

// A text no other request of this run carries, for finding a request in the log.
std::string UniqueMarker();

// The request log lines whose target contains marker.
std::vector<std::string> LoggedRequests(std::string_view marker);

// The logged value of a JSON string field ("key": "value"), or "null".
std::string LoggedField(const std::string& line, std::string_view key);

// Has the service answer the next request under pathPrefix with status 200
// and exactly these bytes. False when the service refused.
bool ArmPage(const std::string& pathPrefix, const std::string& body);

// Arms one fault of kind, with its parameters ("&seconds=3"), for the next
// request under pathPrefix. False when the service refused.
bool ArmFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters = "");

// The service's test body: its 64-byte pattern line repeated and cut to length.
std::string PatternBytes(std::size_t length);

// The whole content of a file, or empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace qxtest
