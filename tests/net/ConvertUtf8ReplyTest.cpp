#include "net/ConvertUtf8Reply.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class ConvertUtf8Reply : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 932) {
            GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
        }
    }
};

TEST_F(ConvertUtf8Reply, GivesCodePage932) {
    const struct {
        std::string utf8;
        std::string cp932;
    } cases[] = {
        // 東京 and the wave dash U+FF5E.
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\x93\x8C\x8B\x9E"},
        {"<a>\xEF\xBD\x9E</a>", "<a>\x81\x60</a>"},
        {"plain ascii <x/>\r\n", "plain ascii <x/>\r\n"},
        // A Thai letter has no code page 932 form: the default character.
        {"a\xE0\xB8\x81z", "a?z"},
        // Half-width katakana shrink from three bytes to one.
        {"\xEF\xBD\xB1", "\xB1"},
    };
    for (const auto& c : cases) {
        std::string reply = c.utf8;
        EXPECT_TRUE(qx::ConvertUtf8Reply(reply)) << c.utf8;
        EXPECT_EQ(reply, c.cp932) << c.utf8;
    }
}

TEST_F(ConvertUtf8Reply, EmptyReplyStaysEmpty) {
    std::string reply;
    EXPECT_FALSE(qx::ConvertUtf8Reply(reply));
    EXPECT_EQ(reply, "");
}

TEST_F(ConvertUtf8Reply, StopsAtAZeroByte) {
    std::string reply("ab\0\xE6\x9D\xB1", 6);
    EXPECT_TRUE(qx::ConvertUtf8Reply(reply));
    EXPECT_EQ(reply, "ab");
    std::string leadingZero("\0ab", 3);
    EXPECT_FALSE(qx::ConvertUtf8Reply(leadingZero));
    EXPECT_EQ(leadingZero, std::string("\0ab", 3));
}

TEST_F(ConvertUtf8Reply, MalformedUtf8NeverGrowsTheReply) {
    const std::string cases[] = {
        "\x80", "\xFF\xFE", "abc\xE6\x9D", "\xC0\xAF", "\xED\xA0\x80", std::string(300, '\xBF'),
    };
    for (const std::string& utf8 : cases) {
        std::string reply = utf8;
        qx::ConvertUtf8Reply(reply);
        EXPECT_LE(reply.size(), utf8.size()) << utf8.size();
        EXPECT_EQ(reply.find('\0'), std::string::npos);
    }
}

}  // namespace
