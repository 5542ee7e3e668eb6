#include "LocalWeb.h"

#include "net/HttpFetchJob.h"
#include "net/PercentEncode.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace qxtest {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The log is a path of the machine the service runs on; Wine sees it on drive Z.
std::string LogPath() {
    const std::string path = Environment("QX_LOCALWEB_LOG");
    return path.empty() || path[0] != '/' ? path : "Z:" + path;
}

}  // namespace

std::string LocalWebHost() {
    const std::string port = Environment("QX_LOCALWEB_PORT");
    return port.empty() ? "" : "127.0.0.1:" + port;
}

std::string LocalWebUrl(std::string_view pathAndQuery) {
    return "http://" + LocalWebHost() + std::string(pathAndQuery);
}

std::string UniqueMarker() {
    static unsigned counter = 0;
    std::ostringstream marker;
    marker << "m" << GetCurrentProcessId() << "x" << GetTickCount() << "x" << ++counter;
    return marker.str();
}

std::vector<std::string> LoggedRequests(std::string_view marker) {
    std::vector<std::string> lines;
    std::ifstream log(LogPath());
    std::string line;
    while (std::getline(log, line)) {
        const std::string target = LoggedField(line, "target");
        if (target.find(marker) != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string LoggedField(const std::string& line, std::string_view key) {
    const std::string prefix = "\"" + std::string(key) + "\": ";
    const std::size_t at = line.find(prefix);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t start = at + prefix.size();
    if (line.compare(start, 4, "null") == 0) {
        return "null";
    }
    if (start >= line.size() || line[start] != '"') {
        return "";
    }
    const std::size_t end = line.find('"', start + 1);
    return end == std::string::npos ? "" : line.substr(start + 1, end - start - 1);
}

namespace {

bool Control(const std::string& pathAndQuery) {
    std::string answer;
    auto job = qx::HttpFetchJob::Create(LocalWebUrl(pathAndQuery), &answer);
    return qx::WaitForFetch(*job, qx::FetchTextWorker, 10000) == qx::kFetchOk;
}

}  // namespace

// The prefix is escaped too, so that the control request's own log line never
// matches a search for the armed path.
bool ArmPage(const std::string& pathPrefix, const std::string& body) {
    return Control("/_control/page?path=" + qx::PercentEncode(pathPrefix) + "&body=" + qx::PercentEncode(body));
}

bool ArmFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters) {
    return Control("/_control/fault?path=" + qx::PercentEncode(pathPrefix) + "&kind=" + kind + parameters);
}

std::string PatternBytes(std::size_t length) {
    static const std::string kLine = "localweb test body: 0123456789 abcdefghijklmnopqrstuvwxyz ABCDE\n";
    std::string bytes;
    while (bytes.size() < length) {
        bytes += kLine;
    }
    bytes.resize(length);
    return bytes;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace qxtest
