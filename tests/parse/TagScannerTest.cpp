#include "parse/TagScanner.h"

#include "ReplyBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using qx::TagScanner;

struct ScanCase {
    const char* label;
    std::string text;
    std::string name;
    std::int32_t cursorIn;
    std::string content;
    std::int32_t cursorOut;
};

TEST(TagScanner, CursorFormFindsContentAndMovesPastTheClosingTag) {
    const std::string header = "<Header><Status>NotFound</Status></Header>";
    const std::string longName(qx::TagScanner::kMaxNameLength, 'n');
    const std::string tooLongName(qx::TagScanner::kMaxNameLength + 1, 'n');
    const ScanCase cases[] = {
        {"status", header, "Status", 0, "NotFound", 25},
        {"cursor at the opening tag", header, "Status", 8, "NotFound", 25},
        {"cursor just past the opening tag", header, "Status", 9, "", -1},
        {"cursor at the end", header, "Status", static_cast<std::int32_t>(header.size()), "", -1},
        {"cursor past the end", header, "Status", static_cast<std::int32_t>(header.size()) + 1, "", -1},
        {"cursor -1", header, "Status", -1, "", -1},
        {"cursor far below zero", header, "Status", INT32_MIN, "", -1},
        {"empty text", "", "Status", 0, "", -1},
        {"no closing tag", "<hotel><hotelNo>1</hotelNo>", "hotel", 0, "", -1},
        {"closing tag only before", "</hotel><hotel>x", "hotel", 0, "", -1},
        {"longer name is not the name", "<hotelNo>12</hotelNo>", "hotel", 0, "", -1},
        {"room is not roomName", "<roomName>a</roomName><room>b</room>", "room", 0, "b", 30},
        {"nested same name ends at the inner close", "<a>x<a>y</a>z</a>", "a", 0, "x<a>y", 9},
        {"attribute", "<hotel id=\"1\">x</hotel>", "hotel", 0, "", -1},
        {"white space before the bracket", "<hotel >x</hotel>", "hotel", 0, "", -1},
        {"capitals", "<HOTEL>x</HOTEL>", "hotel", 0, "", -1},
        {"self-closing", "<faxNo/>", "faxNo", 0, "", -1},
        {"empty element stays empty", "<faxNo></faxNo><faxNo>x</faxNo>", "faxNo", 0, "", 8},
        {"entities and white space kept", "<u> a&amp;b\n</u>", "u", 0, " a&amp;b\n", 13},
        {"double-byte content kept",
         "<n>" + qx::test::kHyouWord + qx::test::kTokyoWord + "</n>", "n", 0,
         qx::test::kHyouWord + qx::test::kTokyoWord, 12},
        {"stray lead byte before a tag", "\x81<a>x</a>", "a", 0, "x", 6},
        {"longest name", "<" + longName + ">v</" + longName + ">", longName, 0, "v",
         static_cast<std::int32_t>(longName.size()) + 4},
        {"name too long", "<" + tooLongName + ">v</" + tooLongName + ">", tooLongName, 0, "", -1},
        {"name too long is refused, not cut to the longest", "<" + longName + ">v</" + longName + ">",
         longName + "x", 0, "", -1},
        {"empty name", "<>v</>", "", 0, "v", 4},
    };
    for (const ScanCase& c : cases) {
        std::int32_t cursor = c.cursorIn;
        EXPECT_EQ(TagScanner::ExtractElement(c.text, c.name.c_str(), cursor), c.content) << c.label;
        EXPECT_EQ(cursor, c.cursorOut) << c.label;
    }
}

TEST(TagScanner, WalksRepeatedElementsInOrderThenStops) {
    const std::string text = "<hotels><hotel>1</hotel><hotel></hotel><hotel>3</hotel></hotels>";
    std::int32_t cursor = 0;
    EXPECT_EQ(TagScanner::ExtractElement(text, "hotel", cursor), "1");
    EXPECT_EQ(TagScanner::ExtractElement(text, "hotel", cursor), "");
    EXPECT_NE(cursor, -1);
    EXPECT_EQ(TagScanner::ExtractElement(text, "hotel", cursor), "3");
    EXPECT_EQ(TagScanner::ExtractElement(text, "hotel", cursor), "");
    EXPECT_EQ(cursor, -1);
    EXPECT_EQ(TagScanner::ExtractElement(text, "hotel", cursor), "");
    EXPECT_EQ(cursor, -1);
}

TEST(TagScanner, SharedCursorFindsLaterElementsOnlyAfterEarlierOnes) {
    const std::string text = "<name>N</name><code>C</code>";
    std::int32_t cursor = 0;
    EXPECT_EQ(TagScanner::ExtractElement(text, "code", cursor), "C");
    EXPECT_EQ(TagScanner::ExtractElement(text, "name", cursor), "");
    EXPECT_EQ(cursor, -1);
}

TEST(TagScanner, WholeTextFormReadsTheFirstElement) {
    const std::string text = "<a>first</a><a>second</a>";
    EXPECT_EQ(TagScanner::ExtractElement(text, "a"), "first");
    EXPECT_EQ(TagScanner::ExtractElement(text, "b"), "");
    EXPECT_EQ(TagScanner::ExtractElement(text, nullptr), "");
}

TEST(TagScanner, ContentHasNoLengthLimit) {
    const std::string content(3 * 1024 * 1024, 'x');
    EXPECT_EQ(TagScanner::ExtractElement("<big>" + content + "</big>", "big"), content);
}

TEST(TagScanner, EveryStartingCursorGivesAConsistentResult) {
    // From every cursor, a success leaves the cursor inside the text on the
    // '/' of a closing tag and the content just before it.
    const std::string text = "<r><v>1</v><v></v>" + qx::test::kHyouWord + "<v>3</v><v>4</r>";
    for (std::int32_t start = -2; start <= static_cast<std::int32_t>(text.size()) + 2; ++start) {
        std::int32_t cursor = start;
        const std::string content = TagScanner::ExtractElement(text, "v", cursor);
        if (cursor == -1) {
            EXPECT_EQ(content, "") << start;
            continue;
        }
        ASSERT_GT(cursor, start) << start;
        ASSERT_LT(static_cast<std::size_t>(cursor), text.size()) << start;
        EXPECT_EQ(text.compare(static_cast<std::size_t>(cursor) - 1, 4, "</v>"), 0) << start;
        EXPECT_EQ(text.compare(static_cast<std::size_t>(cursor) - 1 - content.size(), content.size(), content), 0);
    }
}

}  // namespace
