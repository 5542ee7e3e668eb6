// How a browser link leaves the program: the choice depends only on the
// link's length and on whether the program runs under Wine, so it is made here,
// away from the shell calls.
#pragma once

#include <cstddef>

namespace qx {

enum class LinkRoute {
    // The URL itself opened with the shell's default verb.
    Shell,
    // The URL as the parameter string of the program registered for http.
    HttpProgram,
};

// The longest URL that Wine's shell opens as a file: it faults on a URL of
// about 1000 characters or more.
inline constexpr std::size_t kLongestUrlForWineShell = 900;

// The shell takes every link the program builds (at most about 1600
// characters, within the 2083 a URL may have); only under Wine does a longer
// URL go straight to the http program, around the shell fault above.
LinkRoute ChooseLinkRoute(std::size_t urlLength, bool underWine);

}  // namespace qx
