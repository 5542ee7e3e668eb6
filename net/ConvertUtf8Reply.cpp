#include "net/ConvertUtf8Reply.h"

#include "parse/FixedText.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

namespace qx {

bool ConvertUtf8Reply(std::string& reply) {
    const std::size_t length = std::strlen(reply.c_str());
    if (length == 0 || length > 0x7FFFFFFE) {
        return false;
    }
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, reply.c_str(), -1, nullptr, 0);
    if (wideLength == 0) {
        return false;
    }
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<std::size_t>(wideLength) + 1]);
    if (!wide || MultiByteToWideChar(CP_UTF8, 0, reply.c_str(), -1, wide.get(), wideLength) == 0) {
        return false;
    }
    wide[static_cast<std::size_t>(wideLength)] = L'\0';
    const int narrowLength = WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
    if (narrowLength == 0) {
        return false;
    }
    std::unique_ptr<char[]> narrow(new (std::nothrow) char[static_cast<std::size_t>(narrowLength) + 1]);
    if (!narrow || WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, narrow.get(), narrowLength, nullptr, nullptr) == 0) {
        return false;
    }
    narrow[static_cast<std::size_t>(narrowLength)] = '\0';
    // No character is longer in code page 932 than in UTF-8; the bound only
    // guards the reply's own length.
    const std::string_view converted(narrow.get());
    reply.assign(converted.data(), CharacterBoundaryPrefix(converted, length));
    return true;
}

}  // namespace qx
