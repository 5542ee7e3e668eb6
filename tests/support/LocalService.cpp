#include "LocalService.h"

#include "BrowserLog.h"
#include "TestFiles.h"

#include <BuildConfig.h>

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <wininet.h>

#include <cstdlib>
#include <sstream>

namespace qx::test {
namespace {

// The value of a JSON string field of a log line: "null" when null, empty when absent.
std::string JsonString(const std::string& line, const std::string& key) {
    const std::string start = "\"" + key + "\": ";
    const std::size_t at = line.find(start);
    if (at == std::string::npos) {
        return std::string();
    }
    const std::size_t first = at + start.size();
    if (line.compare(first, 4, "null") == 0) {
        return "null";
    }
    std::string value;
    for (std::size_t i = first + 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        value += line[i];
    }
    return value;
}

// The value of a JSON number field, or 0 when absent.
int JsonNumber(const std::string& text, const std::string& key) {
    const std::string start = "\"" + key + "\": ";
    const std::size_t at = text.find(start);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + start.size());
}

bool Armed(const std::string& controlPathAndQuery) {
    return Fetch(controlPathAndQuery).find("\"armed\"") != std::string::npos;
}

}  // namespace

long OpenConnectionsToService() {
    const std::string host = ServiceHost();
    const auto port = static_cast<u_short>(std::strtoul(host.substr(host.find(':') + 1).c_str(), nullptr, 10));
    ULONG size = 0;
    GetTcpTable(nullptr, &size, FALSE);
    std::vector<char> buffer(size);
    auto* table = reinterpret_cast<MIB_TCPTABLE*>(buffer.data());
    if (size == 0 || GetTcpTable(table, &size, FALSE) != NO_ERROR) {
        return -1;
    }
    long open = 0;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW& row = table->table[i];
        open += row.dwState == MIB_TCP_STATE_ESTAB && ntohs(static_cast<u_short>(row.dwRemotePort)) == port ? 1 : 0;
    }
    return open;
}

bool ServiceStartedAroundTest() {
    const char* port = std::getenv("QX_LOCALWEB_PORT");
    return port != nullptr && port[0] != '\0';
}

std::string ServiceHost() {
    return ServiceStartedAroundTest() ? std::string("127.0.0.1:") + std::getenv("QX_LOCALWEB_PORT")
                                      : std::string(build::kServiceHost);
}

std::string ServiceUrl(const std::string& pathAndQuery) {
    return "http://" + ServiceHost() + pathAndQuery;
}

std::string Fetch(const std::string& pathAndQuery) {
    std::string body;
    HINTERNET session = InternetOpenA("qx-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (session == nullptr) {
        return body;
    }
    const std::string url = ServiceUrl(pathAndQuery);
    HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request != nullptr) {
        char buffer[8192];
        DWORD read = 0;
        while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
            body.append(buffer, read);
        }
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
    return body;
}

const char kAreaTarget[] =
    "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86&operation=GetAreaClass&version=2007-02-28";

std::string FetchAreaReply() {
    return ToCodePage932(Fetch(kAreaTarget));
}

std::vector<LoggedRequest> RequestLog() {
    std::vector<LoggedRequest> requests;
    for (const std::string& line : FileLines(WindowsPathOf("QX_LOCALWEB_LOG"))) {
        LoggedRequest request;
        request.target = JsonString(line, "target");
        request.userAgent = JsonString(line, "userAgent");
        request.scheme = JsonString(line, "scheme");
        request.control = line.find("\"control\": true") != std::string::npos;
        requests.push_back(request);
    }
    return requests;
}

std::vector<LoggedRequest> RequestsSince(std::size_t skip) {
    std::vector<LoggedRequest> all = RequestLog();
    std::vector<LoggedRequest> requests;
    for (std::size_t i = skip; i < all.size(); ++i) {
        if (!all[i].control) {
            requests.push_back(all[i]);
        }
    }
    return requests;
}

std::vector<LoggedRequest> LoggedRequests(const std::string& marker) {
    std::vector<LoggedRequest> found;
    for (const LoggedRequest& request : RequestLog()) {
        if (request.target.find(marker) != std::string::npos) {
            found.push_back(request);
        }
    }
    return found;
}

std::string UniqueMarker() {
    static unsigned counter = 0;
    std::ostringstream marker;
    marker << "m" << GetCurrentProcessId() << "x" << GetTickCount() << "x" << ++counter;
    return marker.str();
}

bool ArmFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters, int count) {
    return Armed("/_control/fault?path=" + PercentEncodeAll(pathPrefix) + "&kind=" + kind +
                 "&count=" + std::to_string(count) + parameters);
}

bool ArmPage(const std::string& pathPrefix, const std::string& body) {
    return Armed("/_control/page?path=" + PercentEncodeAll(pathPrefix) + "&body=" + PercentEncodeAll(body));
}

void ClearFaults() {
    Fetch("/_control/clear");
}

TlsListener TlsState() {
    const std::string answer = Fetch("/_control/tls");
    TlsListener state;
    state.port = JsonNumber(answer, "port");
    state.certificate = JsonString(answer, "certificate");
    state.connections = JsonNumber(answer, "connections");
    state.handshakes = JsonNumber(answer, "handshakes");
    state.failedHandshakes = JsonNumber(answer, "failedHandshakes");
    return state;
}

bool PresentCertificate(const std::string& name) {
    return JsonString(Fetch("/_control/tls?certificate=" + name), "certificate") == name;
}

long ServiceBusy() {
    const std::string answer = Fetch("/_control/busy");
    const std::size_t at = answer.find("\"busy\": ");
    return at == std::string::npos ? -1 : std::strtol(answer.c_str() + at + 9, nullptr, 10);
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

std::string ToCodePage932(const std::string& utf8) {
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

std::vector<std::string> Elements(const std::string& text, const std::string& name) {
    std::vector<std::string> found;
    const std::string open = "<" + name + ">";
    const std::string close = "</" + name + ">";
    std::size_t at = 0;
    while ((at = text.find(open, at)) != std::string::npos) {
        const std::size_t start = at + open.size();
        const std::size_t end = text.find(close, start);
        if (end == std::string::npos) {
            break;
        }
        found.push_back(text.substr(start, end - start));
        at = end + close.size();
    }
    return found;
}

std::string Element(const std::string& text, const std::string& name) {
    const std::vector<std::string> found = Elements(text, name);
    return found.empty() ? std::string() : found.front();
}

}  // namespace qx::test
