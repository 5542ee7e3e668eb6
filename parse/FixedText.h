// Bounded copies into the fixed-width text fields of the records.
//
// Every record field is a char array whose width includes the terminating zero.
// Texts are code page 932: a cut never separates the two bytes of a double-byte
// character, so a cut text always ends on a whole character.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace qx {

// True when byte b starts a double-byte character in code page 932.
constexpr bool IsLeadByte932(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The length of the longest prefix of text that is at most maxBytes long and
// ends on a code page 932 character boundary.
std::size_t CharacterBoundaryPrefix(std::string_view text, std::size_t maxBytes);

// The zero-terminated content of a field; a field that lacks its zero counts
// whole, so reading never runs past the field.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, static_cast<std::size_t>(std::find(field, field + N, '\0') - field));
}

// Copies text into field (width bytes including the zero), cut on a character
// boundary when it is longer than width - 1. Returns true when nothing was cut.
bool CopyField(char* field, std::size_t width, std::string_view text);

template <std::size_t N>
bool CopyField(char (&field)[N], std::string_view text) {
    return CopyField(field, N, text);
}

// Appends text after the zero-terminated content of field, cut the same way.
bool AppendField(char* field, std::size_t width, std::string_view text);

template <std::size_t N>
bool AppendField(char (&field)[N], std::string_view text) {
    return AppendField(field, N, text);
}

}  // namespace qx
