// The web service's requests: GetAreaClass, and VacantHotelSearch composed
// from the validated search conditions.
//
// Window-free: instead of showing a message box the builder returns the text,
// caption and icon kind, and the conditions dialog shows them.
#pragma once

#include "net/ServiceHost.h"
#include "parse/AreaCatalogue.h"
#include "search/LocalDateTime.h"
#include "search/SearchConditions.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qx {

// The web service's developer identifier, sent with every request.
inline constexpr char kDeveloperId[] = "5c0d3e7a91b24f68a0e7c1d2b3f49a86";

// The requests are fetched from fixed buffers of these many bytes with their
// zero; a longer composition is refused, never sent cut.
inline constexpr std::size_t kAreaClassUrlCapacity = 256;
inline constexpr std::size_t kSearchUrlCapacity = 1024;

// "<origin of serviceHost>/vws/1.4/rest?..." asking for the area hierarchy;
// empty when it does not fit in kAreaClassUrlCapacity.
std::string BuildAreaClassUrl(const ServiceHost& serviceHost);

enum class MessageIcon { Information, Warning };

struct SearchUrlResult {
    bool ok = false;
    std::string url;  // when ok: "<origin>/vws/1.4/rest?..."
    // When not ok: the message box to show, owned by the conditions dialog.
    const char* message = "";
    const char* caption = "";
    MessageIcon icon = MessageIcon::Information;
};

// The dialog's control texts and the moment of the search.
struct SearchFormInput {
    bool budgetTicked = false;
    std::string_view minChargeText;  // the budget edits; only the first 31 bytes are read
    std::string_view maxChargeText;
    std::string_view radiusText;  // the selected radius item, e.g. "1000 [m]"; 31 bytes read
    LocalDateTime now;            // local date and time
};

// Checks dates, budget and landmark in that order and stops at the first
// failure; on success composes the URL on serviceHost, with its scheme.
// Writes minCharge and maxCharge (-1 unless a valid budget is given) and, for a
// landmark search with a name, radiusMetres; what was written before a failure
// stays. The catalogue lists must be those the dialog shows.
SearchUrlResult BuildSearchUrl(SearchConditions& conditions, const AreaCatalogue& catalogue,
                               const SearchFormInput& form, const ServiceHost& serviceHost);

}  // namespace qx
