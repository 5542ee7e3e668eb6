#include "BrowserLog.h"

#include "TestFiles.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace qx::test {

std::string BrowserLogPath() {
    const std::string log = WindowsPathOf("QX_BROWSER_LOG");
    if (!log.empty()) {
        return log;
    }
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix ? WindowsPath(std::string(prefix) + "/browser-urls.log") : "";
}

std::vector<std::string> BrowserLog() {
    return FileLines(BrowserLogPath());
}

std::vector<std::string> BrowserLinesAfter(std::size_t skip) {
    for (int i = 0; i < 400; ++i) {
        const std::vector<std::string> lines = BrowserLog();
        if (lines.size() > skip) {
            return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(skip), lines.end());
        }
        Sleep(25);
    }
    return {};
}

std::vector<std::string> BrowserUrlsSince(std::size_t skip) {
    const std::vector<std::string> lines = BrowserLog();
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

}  // namespace qx::test
