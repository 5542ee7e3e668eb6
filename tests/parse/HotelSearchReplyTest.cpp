#include "parse/HotelSearchReply.h"

#include "ReplyBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

using qx::HotelRecord;
using qx::HotelSearchReply;
using qx::PlanRecord;
using qx::ReplyStatus;
using qx::test::Element;

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

std::string Hotel(const std::string& fields) {
    return Element("hotel", fields);
}

std::string Room(const std::string& fields) {
    return Element("room", fields);
}

HotelSearchReply Parsed(const std::string& reply) {
    HotelSearchReply parsed;
    parsed.SetReplyText(reply);
    EXPECT_EQ(parsed.Parse(), ReplyStatus::Parsed);
    return parsed;
}

HotelRecord OneHotel(const std::string& fields) {
    const HotelSearchReply parsed = Parsed(qx::test::HotelReplyText("Success", Hotel(fields)));
    EXPECT_EQ(parsed.hotels.size(), 1u);
    return parsed.hotels.empty() ? HotelRecord() : parsed.hotels[0];
}

PlanRecord OnePlan(const std::string& fields) {
    const HotelSearchReply parsed = Parsed(qx::test::HotelReplyText("Success", Room(fields)));
    EXPECT_EQ(parsed.plans.size(), 1u);
    return parsed.plans.empty() ? PlanRecord() : parsed.plans[0];
}

TEST(HotelSearchReply, StatusDecidesWhetherTheListsAreRebuilt) {
    const struct {
        const char* label;
        std::string reply;
        ReplyStatus status;
    } cases[] = {
        {"not found", qx::test::HotelReplyText("NotFound", ""), ReplyStatus::NotFound},
        {"not found, small letters", qx::test::HotelReplyText("notfound", ""), ReplyStatus::NotFound},
        {"server error", qx::test::HotelReplyText("ServerError", ""), ReplyStatus::ServerError},
        {"server error, capitals", qx::test::HotelReplyText("SERVERERROR", ""), ReplyStatus::ServerError},
        {"padded status", qx::test::HotelReplyText(" NotFound", ""), ReplyStatus::Parsed},
        {"longer status", qx::test::HotelReplyText("NotFoundAtAll", ""), ReplyStatus::Parsed},
        {"last letter differs", qx::test::HotelReplyText("NotFounX", ""), ReplyStatus::Parsed},
        {"last letter differs, server error", qx::test::HotelReplyText("servererrox", ""), ReplyStatus::Parsed},
        {"full-width letters", qx::test::HotelReplyText("\x82\x6D\x82\x8F\x82\x94", ""), ReplyStatus::Parsed},
        {"success", qx::test::HotelReplyText("Success", ""), ReplyStatus::Parsed},
        {"empty status", qx::test::HotelReplyText("", ""), ReplyStatus::Parsed},
        {"status outside the header", "<Status>NotFound</Status>", ReplyStatus::Parsed},
        {"unterminated header", "<Header><Status>NotFound</Status>", ReplyStatus::Parsed},
        {"not XML at all", "\x95\x5C\x00\xFF<<>>&amp;", ReplyStatus::Parsed},
    };
    const std::string previous = qx::test::GeneratedHotelReply(2, 3);
    for (const auto& c : cases) {
        HotelSearchReply reply = Parsed(previous);
        reply.SetReplyText(c.reply);
        EXPECT_EQ(reply.Parse(), c.status) << c.label;
        const std::size_t kept = c.status == ReplyStatus::Parsed ? 0 : 2;
        EXPECT_EQ(reply.hotels.size(), kept) << c.label;
        EXPECT_EQ(reply.plans.size(), kept * 3) << c.label;
        EXPECT_EQ(reply.paging.recordCount, static_cast<std::int32_t>(kept)) << c.label;
        EXPECT_EQ(reply.ReplyText(), c.reply) << c.label;
    }
}

TEST(HotelSearchReply, ReadsEveryHotelField) {
    const HotelRecord hotel = OneHotel(
        Element("hotelNo", "12345") + Element("hotelName", qx::test::kHotelWord) +
        Element("hotelSpecial", qx::test::kSpaWord) + Element("checkinTime", "15:00") +
        Element("checkoutTime", "10:00") + Element("latitude", "128520.75") + Element("longitude", "-503180.5") +
        Element("address1", qx::test::kTokyoWord) + Element("address2", qx::test::kShinjukuWord + "1-2") +
        Element("telephoneNo", "03-0000-0000") + Element("faxNo", "03-0000-0001") + Element("access", "5 min") +
        Element("parkingInformation", "none") + Element("lowestCharge", "7800") +
        Element("highestCharge", "12000") + Element("hotelImageUrl", "http://h/i.jpg?a=1&amp;b=2") +
        Element("hotelInformationUrl", "http://h/p?a=1&amp;b=2"));
    EXPECT_EQ(hotel.hotelNo, 12345);
    EXPECT_EQ(std::string(hotel.hotelName), qx::test::kHotelWord);
    EXPECT_EQ(std::string(hotel.hotelSpecial), qx::test::kSpaWord);
    EXPECT_STREQ(hotel.checkinTime, "15:00");
    EXPECT_STREQ(hotel.checkoutTime, "10:00");
    EXPECT_DOUBLE_EQ(hotel.latitude, 128520.75);
    EXPECT_DOUBLE_EQ(hotel.longitude, -503180.5);
    EXPECT_EQ(std::string(hotel.address), qx::test::kTokyoWord + qx::test::kShinjukuWord + "1-2");
    EXPECT_STREQ(hotel.telephoneNo, "03-0000-0000");
    EXPECT_STREQ(hotel.faxNo, "03-0000-0001");
    EXPECT_STREQ(hotel.access, "5 min");
    EXPECT_STREQ(hotel.parkingInformation, "none");
    EXPECT_EQ(hotel.lowestCharge, 7800);
    EXPECT_EQ(hotel.highestCharge, 12000);
    EXPECT_STREQ(hotel.hotelImageUrl, "http://h/i.jpg?a=1&amp;b=2");
    EXPECT_STREQ(hotel.hotelInformationUrl, "http://h/p?a=1&amp;b=2");
}

TEST(HotelSearchReply, MissingOrMalformedFieldsGiveZeroOrEmpty) {
    const HotelRecord hotel = OneHotel(Element("hotelNo", "7") + "<latitude >1</latitude>" +
                                       "<LOWESTCHARGE>9</LOWESTCHARGE>" + Element("faxNo", "") +
                                       Element("highestCharge", "abc") + "<hotelName>unterminated");
    EXPECT_EQ(hotel.hotelNo, 7);
    EXPECT_EQ(hotel.latitude, 0.0);
    EXPECT_EQ(hotel.longitude, 0.0);
    EXPECT_EQ(hotel.lowestCharge, 0);
    EXPECT_EQ(hotel.highestCharge, 0);
    EXPECT_STREQ(hotel.faxNo, "");
    EXPECT_STREQ(hotel.hotelName, "");
    EXPECT_STREQ(hotel.address, "");
}

TEST(HotelSearchReply, NumbersSaturateInsteadOfOverflowing) {
    const HotelRecord hotel = OneHotel(Element("hotelNo", "99999999999") + Element("lowestCharge", "-99999999999") +
                                       Element("latitude", "1e999"));
    EXPECT_EQ(hotel.hotelNo, kIntMax);
    EXPECT_EQ(hotel.lowestCharge, kIntMin);
    EXPECT_GT(hotel.latitude, 1e300);
}

TEST(HotelSearchReply, LongDescriptionsAreStoredWholeOrNotAtAll) {
    for (const std::size_t length : {std::size_t{1023}, std::size_t{1024}, std::size_t{50000}}) {
        const std::string text(length, 's');
        const HotelRecord hotel =
            OneHotel(Element("hotelSpecial", text) + Element("access", text) + Element("hotelNo", "3"));
        const std::string expected = length < 1024 ? text : "";
        EXPECT_EQ(std::string(hotel.hotelSpecial), expected) << length;
        EXPECT_EQ(std::string(hotel.access), expected) << length;
        EXPECT_EQ(hotel.hotelNo, 3) << length;
    }
}

TEST(HotelSearchReply, OverlongTextsAreCutOnACharacterBoundary) {
    // Each text is one byte short of the width in single bytes, then one
    // double-byte character: it cannot fit, and cutting between its two
    // bytes would leave a lone lead byte at the end of the field.
    const struct {
        const char* element;
        char* (*hotelField)(HotelRecord&);
        char* (*planField)(PlanRecord&);
        std::size_t width;
    } cases[] = {
        {"hotelName", [](HotelRecord& h) { return h.hotelName; }, nullptr, sizeof HotelRecord::hotelName},
        {"checkinTime", [](HotelRecord& h) { return h.checkinTime; }, nullptr, sizeof HotelRecord::checkinTime},
        {"telephoneNo", [](HotelRecord& h) { return h.telephoneNo; }, nullptr, sizeof HotelRecord::telephoneNo},
        {"parkingInformation", [](HotelRecord& h) { return h.parkingInformation; }, nullptr,
         sizeof HotelRecord::parkingInformation},
        {"hotelImageUrl", [](HotelRecord& h) { return h.hotelImageUrl; }, nullptr,
         sizeof HotelRecord::hotelImageUrl},
        {"roomName", nullptr, [](PlanRecord& p) { return p.roomName; }, sizeof PlanRecord::roomName},
        {"planContents", nullptr, [](PlanRecord& p) { return p.planContents; }, sizeof PlanRecord::planContents},
        {"reserveUrl", nullptr, [](PlanRecord& p) { return p.reserveUrl; }, sizeof PlanRecord::reserveUrl},
    };
    for (const auto& c : cases) {
        const std::string kept(c.width - 2, 'x');
        const std::string text = Element(c.element, kept + qx::test::kHyouWord + "tail");
        HotelRecord hotel = c.hotelField ? OneHotel(text) : HotelRecord();
        PlanRecord plan = c.planField ? OnePlan(text) : PlanRecord();
        const char* field = c.hotelField ? c.hotelField(hotel) : c.planField(plan);
        EXPECT_EQ(strnlen(field, c.width), kept.size()) << c.element;
        EXPECT_EQ(std::string(field), kept) << c.element;
    }
}

TEST(HotelSearchReply, AddressJoinsBothPartsAndIsCutOnlyAtTheEnd) {
    EXPECT_EQ(std::string(OneHotel(Element("address2", "2-3")).address), "2-3");
    const std::string first(200, 'a');
    const std::string second = std::string(53, 'b') + qx::test::kTokyoWord;
    const HotelRecord hotel = OneHotel(Element("address1", first) + Element("address2", second));
    EXPECT_EQ(std::string(hotel.address), first + std::string(53, 'b') + qx::test::kTokyoWord.substr(0, 2));
}

TEST(HotelSearchReply, ReadsEveryPlanField) {
    const PlanRecord plan = OnePlan(Element("hotelNo", " 42") + Element("roomName", qx::test::kPlanWord) +
                                    Element("planContents", qx::test::kBreakfastWord) +
                                    Element("withDinnerFlag", "1") + Element("dinnerSelectFlag", "0") +
                                    Element("withBreakfastFlag", "1") + Element("breakfastSelectFlag", "2") +
                                    Element("reserveUrl", "http://r/?a=1&amp;b=2&amp;c=3"));
    EXPECT_EQ(plan.hotelNo, 42);
    EXPECT_EQ(std::string(plan.roomName), qx::test::kPlanWord);
    EXPECT_EQ(std::string(plan.planContents), qx::test::kBreakfastWord);
    EXPECT_EQ(plan.vantoroCharge, 0);
    EXPECT_EQ(plan.withDinnerFlag, 1);
    EXPECT_EQ(plan.dinnerSelectFlag, 0);
    EXPECT_EQ(plan.withBreakfastFlag, 1);
    EXPECT_EQ(plan.breakfastSelectFlag, 2);
    EXPECT_STREQ(plan.reserveUrl, "http://r/?a=1&b=2&c=3");
}

TEST(HotelSearchReply, ChargesOfTheRoomAreSummedAtAnyDepth) {
    const struct {
        const char* label;
        std::string charges;
        std::int32_t sum;
    } cases[] = {
        {"none", "", 0},
        {"three at different depths",
         Element("vantoroCharge", "100") + Element("d", Element("vantoroCharge", "200")) +
             Element("d", Element("e", Element("vantoroCharge", "300"))),
         600},
        {"empty and junk count as zero", Element("vantoroCharge", "") + Element("vantoroCharge", "x9") +
                                             Element("vantoroCharge", "5"), 5},
        {"negative", Element("vantoroCharge", "-700") + Element("vantoroCharge", "200"), -500},
        {"sum above the limit", Element("vantoroCharge", "2147483647") + Element("vantoroCharge", "1"), kIntMax},
        {"sum below the limit", Element("vantoroCharge", "-2147483648") + Element("vantoroCharge", "-1"), kIntMin},
        {"limit reached and left again", Element("vantoroCharge", "2147483647") +
                                             Element("vantoroCharge", "2147483647") +
                                             Element("vantoroCharge", "-2147483647"), kIntMax},
        {"unterminated last", Element("vantoroCharge", "10") + "<vantoroCharge>20", 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OnePlan(Element("hotelNo", "1") + c.charges).vantoroCharge, c.sum) << c.label;
    }
}

TEST(HotelSearchReply, OnlyTheReserveUrlIsUnescapedOnce) {
    const struct {
        std::string raw;
        std::string stored;
    } cases[] = {
        {"a&amp;b", "a&b"},
        {"&amp;amp;", "&amp;"},
        {"&amp&amp;;", "&amp&;"},
        {"&amp;&amp;&amp;", "&&&"},
        {"no escapes", "no escapes"},
        {"&am", "&am"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(OnePlan(Element("reserveUrl", c.raw)).reserveUrl), c.stored) << c.raw;
    }
    // Unescaped before the cut: 1100 bytes of text become 500 and fit whole.
    std::string raw;
    for (int i = 0; i < 220; ++i) {
        raw += "&amp;";
    }
    EXPECT_EQ(std::string(OnePlan(Element("reserveUrl", raw)).reserveUrl), std::string(220, '&'));
}

TEST(HotelSearchReply, HotelsAndPlansKeepReplyOrderAndFirstMatchWins) {
    const std::string body =
        Element("hotels", Hotel(Element("hotelNo", "1") + Element("hotelName", "first") +
                                Element("rooms", Room(Element("hotelNo", "1") + Element("roomName", "a")))) +
                              Hotel(Element("hotelNo", "2") + Element("hotelName", "other")) +
                              Hotel(Element("hotelNo", "1") + Element("hotelName", "second") +
                                    Element("hotelName", "ignored"))) +
        Room(Element("hotelNo", "2") + Element("roomName", "b")) +
        Room(Element("hotelNo", "1") + Element("roomName", "c")) +
        Room(Element("hotelNo", "99") + Element("roomName", "orphan"));
    const HotelSearchReply reply = Parsed(qx::test::HotelReplyText("Success", body));
    ASSERT_EQ(reply.hotels.size(), 3u);
    EXPECT_STREQ(reply.hotels[2].hotelName, "second");
    ASSERT_NE(reply.FindHotel(1), nullptr);
    EXPECT_STREQ(reply.FindHotel(1)->hotelName, "first");
    EXPECT_EQ(reply.FindHotel(99), nullptr);
    ASSERT_EQ(reply.plans.size(), 4u);
    const char* order[] = {"a", "b", "c", "orphan"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(reply.plans[i].roomName, order[i]);
    }
}

TEST(HotelSearchReply, MalformedHotelElements) {
    const struct {
        const char* label;
        std::string body;
        std::size_t hotels;
    } cases[] = {
        {"no header, hotels only", Hotel(Element("hotelNo", "5")), 1},
        {"unterminated last hotel", Hotel(Element("hotelNo", "5")) + "<hotel><hotelNo>6</hotelNo>", 1},
        {"hotel with an attribute", "<hotel id=\"1\"><hotelNo>5</hotelNo></hotel>", 0},
        {"capital letters", "<HOTEL><hotelNo>5</hotelNo></HOTEL>", 0},
        {"nested hotel ends at the inner close",
         Hotel(Element("hotelNo", "5") + Hotel(Element("hotelNo", "6"))), 1},
        {"empty hotel", "<hotel></hotel>", 1},
        {"hotelNo only", Element("hotelNo", "5"), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parsed(c.body).hotels.size(), c.hotels) << c.label;
    }
}

TEST(HotelSearchReply, PagingInformationFollowsTheWholeNumberRules) {
    using qx::test::PagingInfoText;
    const std::string threeHotels = Hotel(Element("hotelNo", "1")) + Hotel(Element("hotelNo", "2")) +
                                    Hotel(Element("hotelNo", "3"));
    const struct {
        const char* label;
        std::string body;
        qx::PagingInfo paging;
    } cases[] = {
        {"present", PagingInfoText("167", "4", "2", "51", "100") + threeHotels, {167, 4, 2, 51, 100}},
        {"after the hotels, padded", threeHotels + PagingInfoText(" 7", "1", "1", "1", "3"), {7, 1, 1, 1, 3}},
        {"absent: one page of the hotels read", threeHotels, {3, 1, 1, 1, 3}},
        {"absent, no hotels", "", {0, 1, 1, 0, 0}},
        {"empty element", Element("pagingInfo", "") + threeHotels, {0, 0, 0, 0, 0}},
        {"garbled numbers", PagingInfoText("x12", "", "2nd", "-", "1e3") + threeHotels, {0, 0, 2, 0, 1}},
        {"negative numbers", PagingInfoText("-5", "-1", "-2147483648", "0", "-0") + threeHotels, {0, 0, 0, 0, 0}},
        {"huge numbers", PagingInfoText("99999999999", "2147483648", "2147483647", "1", "9") + threeHotels,
         {kIntMax, kIntMax, kIntMax, 1, 9}},
        {"unterminated element counts as absent", "<pagingInfo><recordCount>9</recordCount>" + threeHotels,
         {3, 1, 1, 1, 3}},
        {"fields outside the element are not read", Element("recordCount", "9") + Element("pagingInfo", "") +
                                                        threeHotels, {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const HotelSearchReply reply = Parsed(qx::test::HotelReplyText("Success", c.body));
        const qx::PagingInfo& p = reply.paging;
        EXPECT_EQ(p.recordCount, c.paging.recordCount) << c.label;
        EXPECT_EQ(p.pageCount, c.paging.pageCount) << c.label;
        EXPECT_EQ(p.page, c.paging.page) << c.label;
        EXPECT_EQ(p.first, c.paging.first) << c.label;
        EXPECT_EQ(p.last, c.paging.last) << c.label;
    }
}

TEST(HotelSearchReply, GeneratedReplyReadsCompletely) {
    const HotelSearchReply reply = Parsed(qx::test::GeneratedHotelReply(30, 3));
    ASSERT_EQ(reply.hotels.size(), 30u);
    ASSERT_EQ(reply.plans.size(), 90u);
    for (int h = 0; h < 30; ++h) {
        EXPECT_EQ(reply.hotels[h].hotelNo, qx::test::GeneratedHotelNo(h));
        EXPECT_NE(reply.hotels[h].hotelSpecial[0], '\0');
        EXPECT_NE(reply.hotels[h].access[0], '\0');
        for (int r = 0; r < 3; ++r) {
            const PlanRecord& plan = reply.plans[h * 3 + r];
            EXPECT_EQ(plan.hotelNo, qx::test::GeneratedHotelNo(h));
            EXPECT_EQ(plan.vantoroCharge, qx::test::kNights * qx::test::GeneratedNightCharge(h, r));
            EXPECT_EQ(std::strstr(plan.reserveUrl, "&amp;"), nullptr);
        }
    }
}

}  // namespace
