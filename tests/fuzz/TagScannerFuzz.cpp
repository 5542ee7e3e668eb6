// Input: one byte of name length, four bytes of starting cursor, the name,
// then the text. Both forms must agree, a found element must sit between its
// tags, and walking with the cursor must always move forward.
#include "parse/TagScanner.h"

#include "FuzzChecks.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using qx::TagScanner;
using qx::fuzz::Check;

namespace {

void CheckFound(std::string_view text, const std::string& name, std::int32_t before, std::int32_t after,
                const std::string& content) {
    Check(after > before && static_cast<std::size_t>(after) <= text.size(), "cursor moves forward inside the text");
    const std::string closing = "</" + name + ">";
    const std::size_t closeAt = static_cast<std::size_t>(after) - 1;
    Check(text.compare(closeAt, closing.size(), closing) == 0, "cursor is one past the closing tag's '<'");
    Check(closeAt >= content.size() && text.compare(closeAt - content.size(), content.size(), content) == 0,
          "content stands right before the closing tag");
    const std::string opening = "<" + name + ">";
    const std::size_t openAt = closeAt - content.size() - opening.size();
    Check(closeAt >= content.size() + opening.size() && text.compare(openAt, opening.size(), opening) == 0,
          "opening tag stands right before the content");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const std::size_t nameLength = data[0];
    std::int32_t cursor = 0;
    std::memcpy(&cursor, data + 1, sizeof cursor);
    if (size - 5 < nameLength) {
        return 0;
    }
    const std::string name(reinterpret_cast<const char*>(data + 5), nameLength);
    if (name.find('\0') != std::string::npos) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 5 + nameLength), size - 5 - nameLength);

    const std::int32_t start = cursor;
    const std::string content = TagScanner::ExtractElement(text, name.c_str(), cursor);
    if (cursor == -1) {
        Check(content.empty(), "a failed search gives the empty string");
    } else {
        Check(name.size() <= TagScanner::kMaxNameLength, "an over-long name is never found");
        CheckFound(text, name, start, cursor, content);
    }

    std::int32_t walk = 0;
    const std::string first = TagScanner::ExtractElement(text, name.c_str(), walk);
    Check(first == TagScanner::ExtractElement(text, name.c_str()), "whole-text form equals a cursor from 0");
    while (walk != -1) {
        const std::int32_t before = walk;
        const std::string next = TagScanner::ExtractElement(text, name.c_str(), walk);
        if (walk != -1) {
            CheckFound(text, name, before, walk, next);
        }
    }
    return 0;
}
