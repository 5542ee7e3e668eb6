#include "search/SearchPageLoop.h"

#include "ReplyBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace qx {
namespace {

using test::Element;
using Numbers = std::vector<std::int32_t>;

Numbers Range(std::int32_t from, std::int32_t to) {
    Numbers numbers;
    for (std::int32_t no = from; no <= to; ++no) {
        numbers.push_back(no);
    }
    return numbers;
}

// A hotel with one plan.
std::string Hotel(std::int32_t no) {
    const std::string hotelNo = Element("hotelNo", std::to_string(no));
    return Element("hotel", hotelNo + Element("rooms", Element("room", hotelNo)));
}

// One page of a search reply: the paging information, then the hotels.
std::string Page(std::int32_t records, std::int32_t pages, std::int32_t page, const Numbers& hotels) {
    std::string body = test::PagingInfoText(std::to_string(records), std::to_string(pages), std::to_string(page),
                                            std::to_string(hotels.empty() ? 0 : hotels.front()),
                                            std::to_string(hotels.empty() ? 0 : hotels.back()));
    for (const std::int32_t no : hotels) {
        body += Hotel(no);
    }
    return test::HotelReplyText("Success", body);
}

// Pages `from` to `to` of `records` hotels numbered from 1, `size` a page.
std::vector<std::string> Pages(std::int32_t records, std::int32_t size, std::int32_t from, std::int32_t to,
                               const std::vector<std::string>& then = {}) {
    std::vector<std::string> texts;
    for (std::int32_t page = from; page <= to; ++page) {
        const std::int32_t first = (page - 1) * size + 1;
        const Numbers hotels = Range(first, std::min(records, first + size - 1));
        texts.push_back(Page(records, (records + size - 1) / size, page, hotels));
    }
    texts.insert(texts.end(), then.begin(), then.end());
    return texts;
}

const std::string kFetchFails = "(fetch fails)";

std::string Describe(const PageStep& step) {
    static const char* const kActions[] = {"fetch", "done", "failed", "partial"};
    static const char* const kFailures[] = {"", " no reply", " not found", " server error", " not the page"};
    return std::string(kActions[static_cast<int>(step.action)]) + " " + std::to_string(step.page) +
           kFailures[static_cast<int>(step.failure)];
}

std::string Fetches(std::int32_t from, std::int32_t to) {
    std::string steps;
    for (std::int32_t page = from; page <= to; ++page) {
        steps += "fetch " + std::to_string(page) + ", ";
    }
    return steps;
}

TEST(SearchPageLoop, RequestOfALaterPageIsTheFirstWithThePageAdded) {
    const SearchPageLoop loop("http://h/vws?operation=VacantHotelSearch&roomNum=1");
    EXPECT_EQ(Describe(loop.FirstStep()), "fetch 1");
    EXPECT_EQ(loop.PageUrl(1), "http://h/vws?operation=VacantHotelSearch&roomNum=1");
    EXPECT_EQ(loop.PageUrl(20), "http://h/vws?operation=VacantHotelSearch&roomNum=1&page=20");
}

// Each case hands the loop its events in order and checks the steps it
// answers, then the hotels (each with its one plan) and record count it leaves.
TEST(SearchPageLoop, DecidesAfterEveryPage) {
    constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
    const std::string notFound = test::HotelReplyText("NotFound", "");
    const std::string serverError = test::HotelReplyText("ServerError", "");
    const std::string html = "<html><body><table><tr><td>x</td></tr></table></body></html>";
    const std::string cutShort = test::HotelReplyText(
        "Success", test::PagingInfoText("10", "4", "3", "7", "9") + Hotel(7) + "<hotel><hotelNo>8</hotelNo>");
    const std::string twoOfFour = Fetches(2, 3);
    const struct {
        const char* label;
        std::vector<std::string> events;
        std::string steps;
        Numbers hotels;
        std::int32_t recordCount;
        std::int32_t pagesToRead;
    } cases[] = {
        {"a reply without paging information is one page", {test::HotelReplyText("Success", Hotel(4) + Hotel(9))},
         "done 1", {4, 9}, 2, 1},
        {"every page in order", Pages(10, 3, 1, 4), Fetches(2, 4) + "done 4", Range(1, 10), 10, 4},
        {"the cap ends the search", Pages(100, 4, 1, 20), Fetches(2, 20) + "done 20", Range(1, 80), 100, 20},
        {"page 3 not fetched", Pages(10, 3, 1, 2, {kFetchFails}), twoOfFour + "partial 3 no reply", Range(1, 6), 10, 4},
        {"page 3 finds nothing", Pages(10, 3, 1, 2, {notFound}), twoOfFour + "partial 3 not found", Range(1, 6), 10, 4},
        {"page 3 a server error", Pages(10, 3, 1, 2, {serverError}), twoOfFour + "partial 3 server error", Range(1, 6),
         10, 4},
        {"page 3 no search reply", Pages(10, 3, 1, 2, {html}), twoOfFour + "partial 3 not the page", Range(1, 6), 10, 4},
        {"page 3 is page 2 again", Pages(10, 3, 1, 2, Pages(10, 3, 2, 2)), twoOfFour + "partial 3 not the page",
         Range(1, 6), 10, 4},
        {"page 3 cut short keeps what it holds", Pages(10, 3, 1, 2, {cutShort}), twoOfFour + "partial 3 not the page",
         Range(1, 7), 10, 4},
        {"a hotel pushed onto the next page is listed once",
         {Page(7, 3, 1, {1, 2, 3}), Page(8, 3, 2, {3, 4, 5}), Page(8, 3, 3, {6, 7})}, Fetches(2, 3) + "done 3",
         Range(1, 7), 8, 3},
        {"a hotel twice on one page stays twice", {Page(3, 1, 1, {5, 5, 6})}, "done 1", {5, 5, 6}, 3, 1},
        {"a count that drops ends at the new last page",
         {Page(10, 4, 1, {1, 2, 3}), Page(7, 3, 2, {4, 5, 6}), Page(7, 3, 3, {7})}, Fetches(2, 3) + "done 3",
         Range(1, 7), 7, 3},
        {"a count that grows is followed", {Page(6, 2, 1, {1, 2, 3}), Page(9, 3, 2, {4, 5, 6}), Page(9, 3, 3, {7, 8, 9})},
         Fetches(2, 3) + "done 3", Range(1, 9), 9, 3},
        {"a later page counting fewer pages ends there", {Page(6, 2, 1, {1, 2, 3}), Page(4, 1, 2, {4})},
         "fetch 2, done 2", Range(1, 4), 4, 2},
        {"first page not fetched", {kFetchFails}, "failed 1 no reply", {}, 0, 0},
        {"first page finds nothing", {notFound}, "failed 1 not found", {}, 0, 0},
        {"first page a server error", {serverError}, "failed 1 server error", {}, 0, 0},
        {"first page without a search reply lists nothing", {html}, "done 1", {}, 0, 1},
        {"first page announcing no pages", {Page(3, 0, 0, {1, 2, 3})}, "done 1", {1, 2, 3}, 3, 1},
        {"first page announcing huge counts", {Page(kIntMax, kIntMax, 1, {1, 2, 3})}, "fetch 2", {1, 2, 3}, kIntMax,
         SearchPageLoop::kMaxPages},
        {"events after the end repeat it", Pages(10, 5, 1, 2, {Pages(10, 5, 1, 1)[0], kFetchFails}),
         "fetch 2, done 2, done 2, done 2", Range(1, 10), 10, 2},
        {"events after a partial end repeat it", Pages(10, 3, 1, 2, {kFetchFails, Pages(10, 3, 3, 3)[0]}),
         twoOfFour + "partial 3 no reply, partial 3 no reply", Range(1, 6), 10, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SearchPageLoop loop("http://h/s?x=1");
        std::string steps;
        for (const std::string& event : c.events) {
            const PageStep step = event == kFetchFails ? loop.TakeFetchFailure() : loop.TakeReply(event);
            steps += (steps.empty() ? "" : ", ") + Describe(step);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(loop.PagesToRead(), c.pagesToRead);
        HotelSearchReply result;
        loop.MoveResultInto(result);
        Numbers hotels, plans;
        for (const HotelRecord& hotel : result.hotels) {
            hotels.push_back(hotel.hotelNo);
        }
        for (const PlanRecord& plan : result.plans) {
            plans.push_back(plan.hotelNo);
        }
        EXPECT_EQ(hotels, c.hotels);
        EXPECT_EQ(plans, c.hotels) << "the plans of a hotel listed once come once";
        EXPECT_EQ(result.paging.recordCount, c.recordCount);
        EXPECT_EQ(result.paging.last, static_cast<std::int32_t>(c.hotels.size()));
    }
}

}  // namespace
}  // namespace qx
