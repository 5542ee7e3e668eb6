#include "LocalService.h"

#include <BuildConfig.h>

#include <windows.h>
#include <wininet.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace qx::e2e {
namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The value of a JSON string field of a log line; empty when null or absent.
std::string JsonString(const std::string& line, const std::string& key) {
    const std::string start = "\"" + key + "\": \"";
    const std::size_t at = line.find(start);
    if (at == std::string::npos) {
        return std::string();
    }
    std::string value;
    for (std::size_t i = at + start.size(); i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        value += line[i];
    }
    return value;
}

}  // namespace

std::string WindowsPathOf(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || value[0] == '\0') {
        return std::string();
    }
    std::string path = value;
    if (path[0] != '/') {
        return path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return "Z:" + path;
}

std::string ServiceUrl(const std::string& pathAndQuery) {
    return std::string("http://") + build::kServiceHost + pathAndQuery;
}

std::vector<LoggedRequest> RequestLog() {
    std::vector<LoggedRequest> requests;
    for (const std::string& line : Lines(WindowsPathOf("QX_LOCALWEB_LOG"))) {
        LoggedRequest request;
        request.target = JsonString(line, "target");
        request.userAgent = JsonString(line, "userAgent");
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

std::string Fetch(const std::string& pathAndQuery) {
    std::string body;
    HINTERNET session = InternetOpenA("qx-e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
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

bool ArmFault(const std::string& pathPrefix, const std::string& kind, int count, const std::string& extra) {
    const std::string reply = Fetch("/_control/fault?path=" + pathPrefix + "&kind=" + kind +
                                    "&count=" + std::to_string(count) + extra);
    return reply.find("\"armed\"") != std::string::npos;
}

void ClearFaults() {
    Fetch("/_control/clear");
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

std::size_t BrowserUrlCount() {
    return Lines(WindowsPathOf("QX_BROWSER_LOG")).size();
}

std::vector<std::string> BrowserUrlsSince(std::size_t skip) {
    const std::vector<std::string> lines = Lines(WindowsPathOf("QX_BROWSER_LOG"));
    std::vector<std::string> urls;
    for (std::size_t i = skip; i < lines.size(); ++i) {
        urls.push_back(WithoutUnreservedEscapes(lines[i]));
    }
    return urls;
}

std::string WithoutUnreservedEscapes(const std::string& url) {
    std::string normal;
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(url[i + 2]))) {
            const char c = static_cast<char>(std::strtol(url.substr(i + 1, 2).c_str(), nullptr, 16));
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_' || c == '~') {
                normal += c;
                i += 2;
                continue;
            }
        }
        normal += url[i];
    }
    return normal;
}

std::string PercentEncodeAll(const std::string& text) {
    std::string encoded;
    for (unsigned char byte : text) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%%%02X", byte);
        encoded += piece;
    }
    return encoded;
}

std::string TempFile(const char* name) {
    char directory[MAX_PATH + 1] = {};
    GetTempPathA(sizeof directory, directory);
    return std::string(directory) + name;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempFilesMatching(const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(TempFile(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace qx::e2e
