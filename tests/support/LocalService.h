// The local web service as every Windows test sees it: its address, plain GETs,
// its request log and its control requests (faults and canned pages armed for
// the next request). In-process tests reach the service that the test command
// starts around them (QX_LOCALWEB_PORT); the end-to-end drivers, which start
// it on the program's compiled-in port, reach that one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qx::test {

// Whether the test command started a service around this run (QX_LOCALWEB_PORT).
bool ServiceStartedAroundTest();
// "127.0.0.1:<port>" of that service, else the program's compiled-in host.
std::string ServiceHost();
// "http://<host><pathAndQuery>".
std::string ServiceUrl(const std::string& pathAndQuery);

// GET of the service; the body, or empty on failure.
std::string Fetch(const std::string& pathAndQuery);

// The program's area request, and its reply in code page 932 (empty on failure).
extern const char kAreaTarget[];
std::string FetchAreaReply();

struct LoggedRequest {
    std::string target;
    std::string userAgent;  // "null" when the request sent none
    std::string scheme;     // of the listener it came in on: "http" or "https"
    bool control = false;
};
// Every request the service logged, in arrival order.
std::vector<LoggedRequest> RequestLog();
// Requests logged after the first `skip`, leaving out control requests.
std::vector<LoggedRequest> RequestsSince(std::size_t skip);
// Logged requests whose target contains marker.
std::vector<LoggedRequest> LoggedRequests(const std::string& marker);
// A text no other request of this run carries, for finding a request in the log.
std::string UniqueMarker();

// Arms one fault of kind, with its parameters ("&seconds=3"), for the next
// count requests whose path starts with pathPrefix; false when the service refused.
// The prefix goes escaped, so that the control request's own log line never
// matches a search for the armed path.
bool ArmFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters = "",
              int count = 1);
// Has the service answer the next request under pathPrefix with status 200
// and exactly these bytes.
bool ArmPage(const std::string& pathPrefix, const std::string& body);
void ClearFaults();
// Requests (control ones aside) the service is still answering; -1 when it did not say.
long ServiceBusy();

// Connections to the service still open from the client's end, from any
// process of this machine (the service's port is this test run's own); -1
// when the system's table of connections cannot be read.
long OpenConnectionsToService();

// The service's TLS listener (server.py --tls-port) as /_control/tls tells
// it: its port (0 when the service has none), the certificate it presents, and
// its connections so far, those whose handshake went through and those whose
// handshake failed.
struct TlsListener {
    int port = 0;
    std::string certificate;
    int connections = 0;
    int handshakes = 0;
    int failedHandshakes = 0;
};
TlsListener TlsState();
// Has the TLS listener present the certificate of that name ("localhost",
// "expired", ...) from the next connection on; false when it has none such.
bool PresentCertificate(const std::string& name);

// The service's test body: its 64-byte pattern line repeated and cut to length.
std::string PatternBytes(std::size_t length);

// UTF-8 to code page 932, as the program shows replies.
std::string ToCodePage932(const std::string& utf8);
// The text of each element named name inside text, in order; "&amp;" kept.
std::vector<std::string> Elements(const std::string& text, const std::string& name);
std::string Element(const std::string& text, const std::string& name);

}  // namespace qx::test
