// The URLs handed to the browser, as the Wine browser stand-in
// (tools/capture-browser.sh) logs them, one a line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qx::test {

// QX_BROWSER_LOG, else the log in the Wine prefix; empty when not under Wine.
std::string BrowserLogPath();
// Every line logged so far.
std::vector<std::string> BrowserLog();
// The lines after the first `skip`, once at least one has come (empty after 10 s).
std::vector<std::string> BrowserLinesAfter(std::size_t skip);
// The lines after the first `skip` as they stand, each WithoutUnreservedEscapes.
std::vector<std::string> BrowserUrlsSince(std::size_t skip);

// The shell may write an escaped letter, digit or "-._~" as the character
// itself (both mean the same); every other escape is kept as it is.
std::string WithoutUnreservedEscapes(const std::string& url);
// Every byte as a %XX escape.
std::string PercentEncodeAll(const std::string& text);

}  // namespace qx::test
