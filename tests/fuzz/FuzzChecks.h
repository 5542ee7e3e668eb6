// Checks shared by the fuzz targets. A failed check aborts, which libFuzzer
// reports as a crash with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qx::fuzz {

inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// A text field must hold its terminating zero inside its width.
template <std::size_t N>
void CheckTerminated(const char (&field)[N], const char* what) {
    Check(std::memchr(field, '\0', N) != nullptr, what);
}

}  // namespace qx::fuzz
