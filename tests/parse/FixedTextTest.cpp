#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
