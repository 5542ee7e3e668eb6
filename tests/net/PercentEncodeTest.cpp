#include "net/PercentEncode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PercentEncode, EscapesEveryByte) {
    const struct {
        std::string text;
        const char* encoded;
    } cases[] = {
        {"", ""},
        {"ab", "%61%62"},
        {"A", "%41"},
        {"a b", "%61%20%62"},
        {"?&=%/", "%3F%26%3D%25%2F"},
        {"0-9_.~", "%30%2D%39%5F%2E%7E"},
        // 東 in code page 932 is 0x93 0x8C; 表 ends in 0x5C, the backslash.
        {"\x93\x8C\x95\x5C", "%93%8C%95%5C"},
        {"\x01\x7F\x80\xFF", "%01%7F%80%FF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qx::PercentEncode(c.text), c.encoded) << c.text;
    }
}

TEST(PercentEncode, StopsAtTheFirstZeroByte) {
    EXPECT_EQ(qx::PercentEncode(std::string("a\0b", 3)), "%61");
    EXPECT_EQ(qx::PercentEncode(std::string("\0b", 2)), "");
}

TEST(PercentEncode, IsThreeTimesAsLongForALongText) {
    const std::string text(4096, '\xFF');
    const std::string encoded = qx::PercentEncode(text);
    ASSERT_EQ(encoded.size(), 3 * text.size());
    EXPECT_EQ(encoded.substr(encoded.size() - 3), "%FF");
}

}  // namespace
