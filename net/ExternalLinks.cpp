#include "net/ExternalLinks.h"

#include "net/LinkRoute.h"
#include "net/LinkUrls.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace qx {
namespace {

// The http program is asked for because the shell cannot take the URL (see
// ChooseLinkRoute); nothing opens when no program is registered.
void OpenThroughHttpProgram(const std::string& url) {
    char program[MAX_PATH];
    DWORD length = sizeof program;
    if (AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, "http", "open", program, &length) != S_OK) {
        return;
    }
    ShellExecuteA(nullptr, nullptr, program, url.c_str(), nullptr, SW_SHOWNORMAL);
}

// Wine's ntdll alone exports wine_get_version.
bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The browser program's path, or empty when it is not beside the executable.
std::string FindBrowserProgram() {
    char executable[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, executable, sizeof executable);
    if (length == 0 || length >= sizeof executable) {
        return std::string();
    }
    std::string program = BrowserProgramPath(std::string_view(executable, length));
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return std::string();
    }
    return program;
}

}  // namespace

void OpenUrl(const std::string& url) {
    if (ChooseLinkRoute(url.size(), RunsUnderWine()) == LinkRoute::HttpProgram) {
        OpenThroughHttpProgram(url);
        return;
    }
    ShellExecuteA(nullptr, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool OpenHotelMap(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo, const ServiceHost& mapHost) {
    const HotelRecord* hotel = FindHotelByNumber(hotels, hotelNo);
    if (!hotel) {
        return false;
    }
    const std::string url = HotelMapUrl(*hotel, mapHost);
    const std::string program = FindBrowserProgram();
    if (program.empty()) {
        OpenUrl(url);
    } else {
        ShellExecuteA(nullptr, nullptr, program.c_str(), url.c_str(), nullptr, SW_SHOWNORMAL);
    }
    return true;
}

bool OpenHotelPage(const std::vector<HotelRecord>& hotels, std::int32_t hotelNo, const ServiceHost& affiliateHost) {
    const HotelRecord* hotel = FindHotelByNumber(hotels, hotelNo);
    if (!hotel) {
        return false;
    }
    OpenUrl(AffiliateUrl(hotel->hotelInformationUrl, affiliateHost));
    return true;
}

void OpenReservationPage(std::string_view reserveUrl, const ServiceHost& affiliateHost) {
    OpenUrl(ReservationPageUrl(reserveUrl, affiliateHost));
}

}  // namespace qx
