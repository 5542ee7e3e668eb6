// Joining and splitting Windows path texts in code page 932.
//
// The second byte of a double-byte character may be 0x5C, the backslash, so a
// path is read character by character: only a whole single-byte "\" or "/" is
// a separator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qx {

// directory and name joined with exactly one separator between them (none is
// added when directory already ends with one, or is empty). The result is
// written into field (width bytes including the zero) only when it fits whole;
// otherwise field becomes empty and false is returned.
bool JoinPathInto(char* field, std::size_t width, std::string_view directory, std::string_view name);

template <std::size_t N>
bool JoinPathInto(char (&field)[N], std::string_view directory, std::string_view name) {
    return JoinPathInto(field, N, directory, name);
}

// The drive and directory part of path, its last separator included:
// "C:\\bin\\a.exe" gives "C:\\bin\\", "C:a.exe" gives "C:", "a.exe" gives "".
std::string_view DirectoryOf(std::string_view path);

}  // namespace qx
