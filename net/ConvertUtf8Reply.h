// Web-service replies arrive in UTF-8; everything the program shows and parses
// is code page 932. Each reply is converted once, right after its fetch.
#pragma once

#include <string>

namespace qx {

// Replaces reply (read up to its first zero byte) with its code page 932 form
// and returns true. Characters that code page 932 lacks become its default
// character. An empty reply, text that does not convert, or a working buffer
// that cannot be had leaves reply unchanged and returns false.
bool ConvertUtf8Reply(std::string& reply);

}  // namespace qx
