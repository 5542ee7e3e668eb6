// The one text operation every reply reader is built from: the bytes between an
// element's opening tag "<name>" and the next closing tag "</name>" after it.
//
// No attributes, nesting, comments or entities: "<hotel id=1>" is not found,
// "&amp;" is returned unchanged. A failed search gives the empty string and a
// cursor of -1, after which nothing more is found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

class TagScanner {
public:
    // Longest element name whose tags fit the 256-byte tag buffers ("</" + name
    // + ">" + zero). A longer name is never found.
    static constexpr std::size_t kMaxNameLength = 252;

    // The content of the first element called name whose opening tag starts at
    // or after cursor; cursor then points one byte past the '<' of its closing
    // tag. An element with empty content ("<faxNo></faxNo>") yields "" with a
    // valid cursor. On failure: "" and cursor -1.
    static std::string ExtractElement(std::string_view text, const char* name, std::int32_t& cursor);

    // The content of the first element called name in the whole text.
    static std::string ExtractElement(std::string_view text, const char* name);

    // The same searches as ExtractElement, returning a view into text instead
    // of a copy; the readers use these to walk large replies without copying
    // every element. The view is valid as long as text is.
    static std::string_view FindElement(std::string_view text, const char* name, std::int32_t& cursor);
    static std::string_view FindElement(std::string_view text, const char* name);
};

}  // namespace qx
