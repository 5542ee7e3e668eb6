#include "net/PathText.h"

#include "parse/FixedText.h"

#include <cstring>

namespace qx {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The index just past the last separator of path, or 0 when it has none.
std::size_t EndOfLastSeparator(std::string_view path) {
    std::size_t end = 0;
    std::size_t i = 0;
    while (i < path.size()) {
        if (IsLeadByte932(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (IsSeparator(path[i])) {
            end = i + 1;
        }
        ++i;
    }
    return end;
}

}  // namespace

bool JoinPathInto(char* field, std::size_t width, std::string_view directory, std::string_view name) {
    if (width == 0) {
        return false;
    }
    field[0] = '\0';
    const bool needsSeparator = !directory.empty() && EndOfLastSeparator(directory) != directory.size();
    const std::size_t length = directory.size() + (needsSeparator ? 1 : 0) + name.size();
    if (length >= width) {
        return false;
    }
    char* out = field;
    std::memcpy(out, directory.data(), directory.size());
    out += directory.size();
    if (needsSeparator) {
        *out++ = '\\';
    }
    std::memcpy(out, name.data(), name.size());
    out[name.size()] = '\0';
    return true;
}

std::string_view DirectoryOf(std::string_view path) {
    const std::size_t end = EndOfLastSeparator(path);
    if (end == 0 && path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2);
    }
    return path.substr(0, end);
}

}  // namespace qx
