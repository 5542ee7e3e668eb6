#include "parse/AreaCatalogue.h"

#include "ReplyBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using qx::AreaCatalogue;
using qx::AreaClass;
using qx::test::Element;

std::string Middle(const std::string& code, const std::string& name, const std::string& smalls) {
    return Element("middleClass", Element("middleClassCode", code) + Element("middleClassName", name) + smalls);
}

std::string Small(const std::string& code, const std::string& name, const std::string& details = "") {
    return Element("smallClass", Element("smallClassCode", code) + Element("smallClassName", name) + details);
}

std::string Detail(const std::string& code, const std::string& name) {
    return Element("detailClass", Element("detailClassCode", code) + Element("detailClassName", name));
}

AreaCatalogue CatalogueOf(const std::string& reply) {
    AreaCatalogue catalogue;
    catalogue.SetReplyText(reply);
    return catalogue;
}

std::vector<std::string> Codes(const std::vector<AreaClass>& list) {
    std::vector<std::string> codes;
    for (const AreaClass& entry : list) {
        codes.push_back(entry.code);
    }
    return codes;
}

class GeneratedCatalogue : public ::testing::Test {
protected:
    AreaCatalogue catalogue = CatalogueOf(qx::test::GeneratedAreaReply(47));
};

TEST_F(GeneratedCatalogue, ListsFortySevenMiddleClassesInReplyOrderEveryTime) {
    std::vector<std::string> shown;
    for (int pass = 0; pass < 2; ++pass) {
        shown.clear();
        ASSERT_TRUE(catalogue.ListMiddleClasses([&](const AreaClass& entry) { shown.push_back(entry.name); }));
        ASSERT_EQ(catalogue.middleClasses.size(), 47u);
        for (int i = 0; i < 47; ++i) {
            const AreaClass& entry = catalogue.middleClasses[i];
            EXPECT_EQ(entry.index, i);
            EXPECT_EQ(entry.code, qx::test::GeneratedMiddleCode(i));
            EXPECT_EQ(entry.name, qx::test::kPrefectureWord + std::to_string(i + 1));
            EXPECT_EQ(shown[i], entry.name);
        }
    }
}

TEST_F(GeneratedCatalogue, ReadsEveryLevelOfEveryClass) {
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    for (int m = 0; m < 47; ++m) {
        ASSERT_TRUE(catalogue.ListSmallClasses(m));
        ASSERT_EQ(catalogue.smallClasses.size(), static_cast<std::size_t>(qx::test::GeneratedSmallCount(m)));
        for (int s = 0; s < qx::test::GeneratedSmallCount(m); ++s) {
            EXPECT_EQ(catalogue.smallClasses[s].code, qx::test::GeneratedSmallCode(m, s));
            const int details = qx::test::GeneratedDetailCount(m, s);
            EXPECT_EQ(catalogue.ListDetailClasses(s), details > 0);
            ASSERT_EQ(catalogue.detailClasses.size(), static_cast<std::size_t>(details));
            for (int d = 0; d < details; ++d) {
                EXPECT_EQ(catalogue.detailClasses[d].index, d);
                EXPECT_EQ(catalogue.detailClasses[d].code, qx::test::GeneratedDetailCode(m, s, d));
                EXPECT_EQ(catalogue.detailClasses[d].name, qx::test::kHyouWord + std::to_string(d));
                EXPECT_TRUE(catalogue.detailClasses[d].elementText.empty());
            }
        }
    }
}

TEST_F(GeneratedCatalogue, MiddleClassLargerThanTenKilobytesKeepsAllItsSmallClasses) {
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    const AreaClass* large = qx::FindClass(catalogue.middleClasses, qx::test::kLargeMiddle);
    ASSERT_NE(large, nullptr);
    EXPECT_GT(large->elementText.size(), 10240u);
    ASSERT_TRUE(catalogue.ListSmallClasses(qx::test::kLargeMiddle));
    EXPECT_EQ(catalogue.smallClasses.size(),
              static_cast<std::size_t>(qx::test::GeneratedSmallCount(qx::test::kLargeMiddle)));
}

TEST_F(GeneratedCatalogue, UnknownIndexLeavesTheLowerListsAsTheyWere) {
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    ASSERT_TRUE(catalogue.ListSmallClasses(0));
    ASSERT_TRUE(catalogue.ListDetailClasses(0));
    const auto smalls = Codes(catalogue.smallClasses);
    const auto details = Codes(catalogue.detailClasses);
    ASSERT_FALSE(details.empty());
    int calls = 0;
    const auto count = [&](const AreaClass&) { ++calls; };
    for (const std::int32_t index : {-1, 47, 1000, INT32_MIN}) {
        EXPECT_FALSE(catalogue.ListSmallClasses(index, count)) << index;
        EXPECT_FALSE(catalogue.ListDetailClasses(index, count)) << index;
    }
    EXPECT_EQ(Codes(catalogue.smallClasses), smalls);
    EXPECT_EQ(Codes(catalogue.detailClasses), details);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(qx::FindClass(catalogue.detailClasses, -1), nullptr);
}

TEST(AreaCatalogue, AcceptsOnlyTheJapanLargeClass) {
    const std::string middles = Middle("m1", "a", "");
    const struct {
        const char* label;
        std::string reply;
        bool listed;
    } cases[] = {
        {"small letters", qx::test::AreaReplyText("japan", middles), true},
        {"capitals", qx::test::AreaReplyText("JAPAN", middles), true},
        {"mixed", qx::test::AreaReplyText("JaPaN", middles), true},
        {"padded", qx::test::AreaReplyText(" japan", middles), false},
        {"last letter differs", qx::test::AreaReplyText("japax", middles), false},
        {"other country", qx::test::AreaReplyText("korea", middles), false},
        {"empty code", qx::test::AreaReplyText("", middles), false},
        {"no code", Element("largeClass", middles), false},
        {"no large class", middles, false},
        {"unterminated large class", "<largeClass><largeClassCode>japan</largeClassCode>" + middles, false},
        {"large class with an attribute",
         "<largeClass id=\"1\"><largeClassCode>japan</largeClassCode>" + middles + "</largeClass>", false},
        {"empty reply", "", false},
    };
    for (const auto& c : cases) {
        AreaCatalogue catalogue = CatalogueOf(c.reply);
        EXPECT_EQ(catalogue.ListMiddleClasses(), c.listed) << c.label;
        EXPECT_EQ(catalogue.middleClasses.size(), c.listed ? 1u : 0u) << c.label;
    }
}

TEST(AreaCatalogue, FailedMiddleListingEmptiesThePreviousList) {
    AreaCatalogue catalogue = CatalogueOf(qx::test::GeneratedAreaReply(3));
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    catalogue.SetReplyText(qx::test::AreaReplyText("usa", Middle("m1", "a", "")));
    EXPECT_FALSE(catalogue.ListMiddleClasses());
    EXPECT_TRUE(catalogue.middleClasses.empty());
}

// No detail class may outlive the small-class list it was read from, or it
// could be found by index for a middle class it is no part of.
TEST(AreaCatalogue, ListingSmallClassesDropsTheEarlierDetailClasses) {
    AreaCatalogue catalogue = CatalogueOf(qx::test::AreaReplyText(
        "japan", Middle("m1", "a", Small("s1", "b", Detail("d1", "c"))) + Middle("m2", "bare", "")));
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    ASSERT_TRUE(catalogue.ListSmallClasses(0));
    ASSERT_TRUE(catalogue.ListDetailClasses(0));
    ASSERT_TRUE(catalogue.ListSmallClasses(1));
    EXPECT_TRUE(catalogue.smallClasses.empty());
    EXPECT_TRUE(catalogue.detailClasses.empty());
    EXPECT_FALSE(catalogue.ListDetailClasses(0));
    EXPECT_EQ(qx::FindClass(catalogue.detailClasses, 0), nullptr);
}

TEST(AreaCatalogue, NameIsReadOnlyAfterTheCode) {
    const std::string reply = qx::test::AreaReplyText(
        "japan", Element("middleClass", Element("middleClassName", "late") + Element("middleClassCode", "m1")) +
                     Element("middleClass", Element("middleClassName", "no code")) + Middle("m3", "ok", ""));
    AreaCatalogue catalogue = CatalogueOf(reply);
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    ASSERT_EQ(catalogue.middleClasses.size(), 3u);
    EXPECT_STREQ(catalogue.middleClasses[0].code, "m1");
    EXPECT_STREQ(catalogue.middleClasses[0].name, "");
    EXPECT_STREQ(catalogue.middleClasses[1].code, "");
    EXPECT_STREQ(catalogue.middleClasses[1].name, "");
    EXPECT_EQ(catalogue.middleClasses[2].index, 2);
    EXPECT_STREQ(catalogue.middleClasses[2].name, "ok");
}

TEST(AreaCatalogue, DetailListingDependsOnTheDetailClassTag) {
    const struct {
        const char* label;
        std::string details;
        bool hasDetails;
        std::size_t count;
    } cases[] = {
        {"none", "", false, 0},
        {"tag with an attribute only", "<detailClass id=\"x\"></detailClass>", false, 0},
        {"tag but no complete element", "<detailClass><detailClassCode>d1</detailClassCode>", true, 0},
        {"empty element", "<detailClass></detailClass>", true, 1},
        {"two", Detail("d1", "one") + Detail("d2", "two"), true, 2},
    };
    for (const auto& c : cases) {
        AreaCatalogue catalogue = CatalogueOf(qx::test::AreaReplyText("japan", Middle("m1", "a", Small("s1", "b", c.details))));
        ASSERT_TRUE(catalogue.ListMiddleClasses()) << c.label;
        ASSERT_TRUE(catalogue.ListSmallClasses(0)) << c.label;
        EXPECT_EQ(catalogue.ListDetailClasses(0), c.hasDetails) << c.label;
        EXPECT_EQ(catalogue.detailClasses.size(), c.count) << c.label;
    }
}

TEST(AreaCatalogue, OverlongNameAndCodeAreCutOnACharacterBoundary) {
    // 254 bytes then a double-byte character: the 255 bytes the field holds
    // would end halfway through it, so the cut keeps 254.
    const std::string name = std::string(254, 'n') + qx::test::kHyouWord;
    const std::string code(5000, 'c');
    AreaCatalogue catalogue = CatalogueOf(qx::test::AreaReplyText("japan", Middle(code, name, "")));
    ASSERT_TRUE(catalogue.ListMiddleClasses());
    const AreaClass& entry = catalogue.middleClasses.at(0);
    EXPECT_EQ(std::string(entry.name), std::string(254, 'n'));
    EXPECT_EQ(std::string(entry.code), std::string(255, 'c'));
}

}  // namespace
