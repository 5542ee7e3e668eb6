#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// "東京" in code page 932, written as bytes so the test means the same in every build.
const std::string kTokyo = "\x93\x8C\x8B\x9E";

TEST(CopyField, ShortTextIsCopiedWhole) {
    char field[8];
    EXPECT_TRUE(qx::CopyField(field, "abc"));
    EXPECT_STREQ(field, "abc");
}

TEST(CopyField, CutsAtWidthMinusOne) {
    char field[4];
    EXPECT_FALSE(qx::CopyField(field, "abcdef"));
    EXPECT_STREQ(field, "abc");
}

TEST(CopyField, NeverSplitsADoubleByteCharacter) {
    // width 4 leaves 3 bytes: the second character would be cut in half.
    char field[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(qx::CopyField(field, kTokyo));
    EXPECT_EQ(std::string(field), kTokyo.substr(0, 2));
}

TEST(CopyField, LeadBytesAreExactlyTheTwoRangesOfCodePage932) {
    // A field with room for two bytes takes "a" and the byte, unless the byte
    // starts a double-byte character, whose trail would not fit.
    const struct {
        unsigned char byte;
        bool lead;
    } cases[] = {
        {0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false},
        {0xDF, false}, {0xE0, true}, {0xFC, true}, {0xFD, false},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("a") + static_cast<char>(c.byte) + "b";
        char field[3];
        qx::CopyField(field, text);
        EXPECT_EQ(std::string(field), c.lead ? "a" : text.substr(0, 2)) << std::hex << int{c.byte};
    }
}

TEST(CopyField, EveryWidthCutsOnAWholeCharacter) {
    // Single-byte and double-byte characters mixed (lead bytes from both ends
    // of both ranges), so that a double-byte character straddles many widths.
    const std::vector<std::string> characters = {"a", "\x81\x40", "b", "\x9F\xFC", "\xE0\x40", "c", "\xFC\xFC"};
    std::string text;
    for (const std::string& character : characters) {
        text += character;
    }
    for (std::size_t width = 1; width <= text.size() + 1; ++width) {
        std::string whole;
        for (const std::string& character : characters) {
            if (whole.size() + character.size() > width - 1) {
                break;
            }
            whole += character;
        }
        char field[16];
        EXPECT_EQ(qx::CopyField(field, width, text), whole == text) << "width " << width;
        EXPECT_EQ(std::string(field), whole) << "width " << width;
    }
}

TEST(CopyField, SecondByteThatLooksLikeALeadByteIsStillATrailByte) {
    // 0x95 0x5C: trail byte 0x5C is a backslash; 0x81 0x81 pairs lead+lead-looking.
    const std::string text = "a\x81\x81\x81\x81";
    char field[5];
    qx::CopyField(field, text);
    EXPECT_EQ(std::string(field), "a\x81\x81");
}

TEST(CopyField, NeverWritesPastTheField) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    qx::CopyField(buffer, 8, std::string(100, 'z'));
    EXPECT_EQ(std::string(buffer, 7), std::string(7, 'z'));
    EXPECT_EQ(buffer[7], '\0');
    EXPECT_EQ(buffer[8], '#');
}

TEST(CopyField, EmptyViewWithoutStorageClearsTheField) {
    char field[4] = {'x', 'x', 'x', 'x'};
    EXPECT_TRUE(qx::CopyField(field, std::string_view()));
    EXPECT_STREQ(field, "");
}

TEST(AppendField, JoinsAndCutsOnABoundary) {
    char field[8];
    qx::CopyField(field, "ab");
    EXPECT_FALSE(qx::AppendField(field, "c" + kTokyo + kTokyo));
    EXPECT_EQ(std::string(field), "abc" + kTokyo);
}

}  // namespace
