#include "parse/FixedText.h"

#include <cstring>

namespace qx {

std::size_t CharacterBoundaryPrefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    std::size_t i = 0;
    while (i < maxBytes) {
        const std::size_t step = IsLeadByte932(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > maxBytes) {
            break;
        }
        i += step;
    }
    return i;
}

bool CopyField(char* field, std::size_t width, std::string_view text) {
    if (width == 0) {
        return text.empty();
    }
    const std::size_t n = CharacterBoundaryPrefix(text, width - 1);
    // An empty view may carry a null pointer, which memcpy must never see.
    if (n != 0) {
        std::memcpy(field, text.data(), n);
    }
    field[n] = '\0';
    return n == text.size();
}

bool AppendField(char* field, std::size_t width, std::string_view text) {
    if (width == 0) {
        return text.empty();
    }
    const std::size_t used = strnlen(field, width - 1);
    return CopyField(field + used, width - used, text);
}

}  // namespace qx
