// What the end-to-end tests see outside the program's windows: the local web
// service (its request log, its fault control, its replies fetched directly),
// the URLs handed to the browser and the temporary files.
#pragma once

#include <string>
#include <vector>

namespace qx::e2e {

// A Unix path given through the environment, as a Windows path (drive Z:).
std::string WindowsPathOf(const char* variable);

// The service the program talks to: the compiled-in host.
std::string ServiceUrl(const std::string& pathAndQuery);

struct LoggedRequest {
    std::string target;
    std::string userAgent;
    bool control = false;
};
// Every request the service logged, in arrival order.
std::vector<LoggedRequest> RequestLog();
// Requests logged after the first `skip`, leaving out control requests.
std::vector<LoggedRequest> RequestsSince(std::size_t skip);

// GET of the service; the body, or empty on failure.
std::string Fetch(const std::string& pathAndQuery);
// Arms a fault: /_control/fault?path=...&kind=...&count=...
bool ArmFault(const std::string& pathPrefix, const std::string& kind, int count = 1, const std::string& extra = "");
void ClearFaults();

// UTF-8 to code page 932, as the program shows replies.
std::string ToCodePage932(const std::string& utf8);

// The text of each element named name inside text, in order; "&amp;" kept.
std::vector<std::string> Elements(const std::string& text, const std::string& name);
std::string Element(const std::string& text, const std::string& name);

// Lines appended to the browser capture log after the first `skip`; escapes of
// letters, digits and "-._~" (which the shell may undo) are written plainly.
std::vector<std::string> BrowserUrlsSince(std::size_t skip);
std::size_t BrowserUrlCount();
std::string WithoutUnreservedEscapes(const std::string& url);
std::string PercentEncodeAll(const std::string& text);

std::string TempFile(const char* name);
bool FileExists(const std::string& path);
// Names of the files in the temporary folder that match pattern ("qxp*.tmp").
std::vector<std::string> TempFilesMatching(const char* pattern);

}  // namespace qx::e2e
