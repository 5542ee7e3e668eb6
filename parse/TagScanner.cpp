#include "parse/TagScanner.h"

#include <cstring>
#include <limits>

namespace qx {
namespace {

// "<name>" or "</name>" in a fixed buffer; empty when the name is too long.
class Tag {
public:
    Tag(const char* name, bool closing) {
        if (name == nullptr) {
            return;
        }
        const std::size_t nameLength = strnlen(name, TagScanner::kMaxNameLength + 1);
        if (nameLength > TagScanner::kMaxNameLength) {
            return;
        }
        buffer_[length_++] = '<';
        if (closing) {
            buffer_[length_++] = '/';
        }
        std::memcpy(buffer_ + length_, name, nameLength);
        length_ += nameLength;
        buffer_[length_++] = '>';
    }

    bool IsValid() const { return length_ != 0; }
    std::string_view View() const { return std::string_view(buffer_, length_); }

private:
    char buffer_[TagScanner::kMaxNameLength + 4];
    std::size_t length_ = 0;
};

// The offset of the first occurrence of tag at or after from, or npos. Each
// '<' is found with memchr and the tag's second and last bytes are checked
// before the whole tag is compared: in markup nearly every other tag starts
// with '<', so most candidates fail on those two bytes.
std::size_t FindTag(std::string_view text, std::string_view tag, std::size_t from) {
    const std::size_t size = tag.size();  // at least 2: "<" and ">"
    const char* const data = text.data();
    std::size_t at = from;
    while (at < text.size() && text.size() - at >= size) {
        const void* lt = std::memchr(data + at, '<', text.size() - at - size + 1);
        if (lt == nullptr) {
            return std::string_view::npos;
        }
        at = static_cast<std::size_t>(static_cast<const char*>(lt) - data);
        if (data[at + 1] == tag[1] && data[at + size - 2] == tag[size - 2] &&
            std::memcmp(data + at, tag.data(), size) == 0) {
            return at;
        }
        ++at;
    }
    return std::string_view::npos;
}

std::string_view Fail(std::int32_t& cursor) {
    cursor = -1;
    return std::string_view();
}

}  // namespace

std::string_view TagScanner::FindElement(std::string_view text, const char* name, std::int32_t& cursor) {
    const Tag opening(name, false);
    const Tag closing(name, true);
    if (!opening.IsValid() || cursor < 0 || static_cast<std::size_t>(cursor) > text.size()) {
        return Fail(cursor);
    }
    // A byte-wise search finds exactly the tags a search stepping over whole
    // code page 932 characters would: a tag starts with '<' (0x3C), which is
    // never the second byte of a double-byte character, so every '<' byte in
    // the text starts a character of its own.
    const std::size_t openAt = FindTag(text, opening.View(), static_cast<std::size_t>(cursor));
    if (openAt == std::string_view::npos) {
        return Fail(cursor);
    }
    const std::size_t start = openAt + opening.View().size();
    // Searching from the first content byte lets "<faxNo></faxNo>" read as an
    // empty element instead of running on to a later element's closing tag.
    const std::size_t end = FindTag(text, closing.View(), start);
    if (end == std::string_view::npos ||
        end >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return Fail(cursor);
    }
    cursor = static_cast<std::int32_t>(end + 1);
    return text.substr(start, end - start);
}

std::string_view TagScanner::FindElement(std::string_view text, const char* name) {
    std::int32_t cursor = 0;
    return FindElement(text, name, cursor);
}

std::string TagScanner::ExtractElement(std::string_view text, const char* name, std::int32_t& cursor) {
    return std::string(FindElement(text, name, cursor));
}

std::string TagScanner::ExtractElement(std::string_view text, const char* name) {
    return std::string(FindElement(text, name));
}

}  // namespace qx
