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

// Hotels with one plan each, in order.
std::string Hotels(const std::vector<std::int32_t>& numbers) {
    std::string body;
    for (const std::int32_t no : numbers) {
        const std::string hotelNo = Element("hotelNo", std::to_string(no));
        body += Element("hotel", hotelNo + Element("rooms", Element("room", hotelNo)));
    }
    return body;
}

std::vector<std::int32_t> Range(std::int32_t from, std::int32_t to) {
    std::vector<std::int32_t> numbers;
    for (std::int32_t no = from; no <= to; ++no) {
        numbers.push_back(no);
    }
    return numbers;
}

// One page of a search reply: the paging information, then the hotels.
std::string Page(std::int32_t records, std::int32_t pages, std::int32_t page, const std::vector<std::int32_t>& hotels) {
    const std::int32_t first = hotels.empty() ? 0 : hotels.front();
    const std::int32_t last = hotels.empty() ? 0 : hotels.back();
    return test::HotelReplyText("Success", test::PagingInfoText(std::to_string(records), std::to_string(pages),
                                                                 std::to_string(page), std::to_string(first),
                                                                 std::to_string(last)) +
                                               Hotels(hotels));
}

// Pages of `size` hotels numbered 1 to records, from `from` to `to`.
std::vector<std::string> Pages(std::int32_t records, std::int32_t size, std::int32_t from, std::int32_t to) {
    const std::int32_t pages = (records + size - 1) / size;
    std::vector<std::string> texts;
    for (std::int32_t page = from; page <= to; ++page) {
        const std::int32_t first = (page - 1) * size + 1;
        texts.push_back(Page(records, pages, page, Range(first, std::min(records, first + size - 1))));
    }
    return texts;
}

const std::string kFetchFails = "(fetch fails)";
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

std::vector<std::string> Then(std::vector<std::string> events, const std::vector<std::string>& more) {
    events.insert(events.end(), more.begin(), more.end());
    return events;
}

std::string Describe(const PageStep& step) {
    static const char* const kActions[] = {"fetch", "done", "failed", "partial"};
    static const char* const kFailures[] = {"", " no reply", " not found", " server error", " not the page"};
    return std::string(kActions[static_cast<int>(step.action)]) + " " + std::to_string(step.page) +
           kFailures[static_cast<int>(step.failure)];
}

std::vector<std::int32_t> HotelNumbers(const HotelSearchReply& reply) {
    std::vector<std::int32_t> numbers;
    for (const HotelRecord& hotel : reply.hotels) {
        numbers.push_back(hotel.hotelNo);
    }
    return numbers;
}

std::vector<std::int32_t> PlanNumbers(const HotelSearchReply& reply) {
    std::vector<std::int32_t> numbers;
    for (const PlanRecord& plan : reply.plans) {
        numbers.push_back(plan.hotelNo);
    }
    return numbers;
}

TEST(SearchPageLoop, RequestOfALaterPageIsTheFirstWithThePageAdded) {
    const SearchPageLoop loop("http://h/vws?operation=VacantHotelSearch&roomNum=1");
    EXPECT_EQ(Describe(loop.FirstStep()), "fetch 1");
    EXPECT_EQ(loop.PageUrl(1), "http://h/vws?operation=VacantHotelSearch&roomNum=1");
    EXPECT_EQ(loop.PageUrl(2), "http://h/vws?operation=VacantHotelSearch&roomNum=1&page=2");
    EXPECT_EQ(loop.PageUrl(20), "http://h/vws?operation=VacantHotelSearch&roomNum=1&page=20");
}

// Each case hands the loop its events in order and checks every step it
// answers, then the hotels (each with one plan) and record count it leaves.
TEST(SearchPageLoop, DecidesAfterEveryPage) {
    const std::string notFound = test::HotelReplyText("NotFound", "");
    const std::string serverError = test::HotelReplyText("ServerError", "");
    const std::string htmlPage = "<html><body><table><tr><td>x</td></tr></table></body></html>";
    const std::vector<std::string> twoPages = Pages(10, 3, 1, 2);
    const std::vector<std::string> partialSteps = {"fetch 2", "fetch 3"};
    const struct {
        const char* label;
        std::vector<std::string> events;
        std::vector<std::string> steps;
        std::vector<std::int32_t> hotels;
        std::int32_t recordCount;
        std::int32_t pagesToRead;
    } cases[] = {
        {"a reply without paging information is one page", {test::HotelReplyText("Success", Hotels({4, 2, 9}))},
         {"done 1"}, {4, 2, 9}, 3, 1},
        {"every page in order", Pages(10, 3, 1, 4), {"fetch 2", "fetch 3", "fetch 4", "done 4"}, Range(1, 10), 10, 4},
        {"the cap ends the search", Pages(100, 4, 1, 20),
         Then(std::vector<std::string>{"fetch 2", "fetch 3", "fetch 4", "fetch 5", "fetch 6", "fetch 7", "fetch 8",
                                       "fetch 9", "fetch 10", "fetch 11", "fetch 12", "fetch 13", "fetch 14",
                                       "fetch 15", "fetch 16", "fetch 17", "fetch 18", "fetch 19", "fetch 20"},
              {"done 20"}),
         Range(1, 80), 100, 20},
        {"page 3 not fetched", Then(twoPages, {kFetchFails}), Then(partialSteps, {"partial 3 no reply"}), Range(1, 6),
         10, 4},
        {"page 3 finds nothing", Then(twoPages, {notFound}), Then(partialSteps, {"partial 3 not found"}), Range(1, 6),
         10, 4},
        {"page 3 a server error", Then(twoPages, {serverError}), Then(partialSteps, {"partial 3 server error"}),
         Range(1, 6), 10, 4},
        {"page 3 no search reply", Then(twoPages, {htmlPage}), Then(partialSteps, {"partial 3 not the page"}),
         Range(1, 6), 10, 4},
        {"page 3 is page 2 again", Then(twoPages, {twoPages[1]}), Then(partialSteps, {"partial 3 not the page"}),
         Range(1, 6), 10, 4},
        {"page 3 cut short keeps what it holds",
         Then(twoPages, {test::HotelReplyText("Success", test::PagingInfoText("10", "4", "3", "7", "9") +
                                                             Hotels({7}) + "<hotel><hotelNo>8</hotelNo>")}),
         Then(partialSteps, {"partial 3 not the page"}), Range(1, 7), 10, 4},
        {"a hotel pushed onto the next page is listed once",
         {Page(7, 3, 1, {1, 2, 3}), Page(8, 3, 2, {3, 4, 5}), Page(8, 3, 3, {6, 7})},
         {"fetch 2", "fetch 3", "done 3"}, Range(1, 7), 8, 3},
        {"a hotel seen twice on one page stays twice", {Page(3, 1, 1, {5, 5, 6})}, {"done 1"}, {5, 5, 6}, 3, 1},
        {"a count that drops ends at the new last page",
         {Page(10, 4, 1, {1, 2, 3}), Page(7, 3, 2, {4, 5, 6}), Page(7, 3, 3, {7})},
         {"fetch 2", "fetch 3", "done 3"}, Range(1, 7), 7, 3},
        {"a count that grows is followed", {Page(6, 2, 1, {1, 2, 3}), Page(9, 3, 2, {4, 5, 6}), Page(9, 3, 3, {7, 8, 9})},
         {"fetch 2", "fetch 3", "done 3"}, Range(1, 9), 9, 3},
        {"a later page counting fewer pages ends there", {Page(6, 2, 1, {1, 2, 3}), Page(4, 1, 2, {4})},
         {"fetch 2", "done 2"}, Range(1, 4), 4, 2},
        {"first page not fetched", {kFetchFails}, {"failed 1 no reply"}, {}, 0, 0},
        {"first page finds nothing", {notFound}, {"failed 1 not found"}, {}, 0, 0},
        {"first page a server error", {serverError}, {"failed 1 server error"}, {}, 0, 0},
        {"first page without a search reply lists nothing", {htmlPage}, {"done 1"}, {}, 0, 1},
        {"first page announcing no pages", {Page(3, 0, 0, {1, 2, 3})}, {"done 1"}, {1, 2, 3}, 3, 1},
        {"first page announcing huge counts", {Page(kIntMax, kIntMax, 1, {1, 2, 3})}, {"fetch 2"}, {1, 2, 3}, kIntMax,
         SearchPageLoop::kMaxPages},
        {"events after the end repeat it", Then(Pages(10, 5, 1, 2), {Pages(10, 5, 1, 1)[0], kFetchFails}),
         {"fetch 2", "done 2", "done 2", "done 2"}, Range(1, 10), 10, 2},
        {"events after a partial end repeat it", Then(twoPages, {kFetchFails, Pages(10, 3, 3, 3)[0], twoPages[0]}),
         Then(partialSteps, {"partial 3 no reply", "partial 3 no reply", "partial 3 no reply"}), Range(1, 6), 10, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SearchPageLoop loop("http://h/s?x=1");
        std::vector<std::string> steps;
        for (const std::string& event : c.events) {
            const PageStep step = event == kFetchFails ? loop.TakeFetchFailure() : loop.TakeReply(event);
            steps.push_back(Describe(step));
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(loop.PagesToRead(), c.pagesToRead);
        HotelSearchReply result;
        loop.MoveResultInto(result);
        EXPECT_EQ(HotelNumbers(result), c.hotels);
        EXPECT_EQ(PlanNumbers(result), c.hotels) << "plans of a hotel listed once come once";
        EXPECT_EQ(result.paging.recordCount, c.recordCount);
        EXPECT_EQ(result.paging.last, static_cast<std::int32_t>(c.hotels.size()));
    }
}

// The plans kept for a hotel that a later page repeats are those of the page
// that listed it; plans of hotels on no page stay, as in a single reply.
TEST(SearchPageLoop, PlansFollowTheHotelsListed) {
    SearchPageLoop loop("u");
    const std::string roomOf1 = Element("room", Element("hotelNo", "1") + Element("roomName", "first"));
    const std::string again1 = Element("room", Element("hotelNo", "1") + Element("roomName", "again"));
    const std::string orphan = Element("room", Element("hotelNo", "77") + Element("roomName", "orphan"));
    loop.TakeReply(test::HotelReplyText(
        "Success", test::PagingInfoText("3", "2", "1", "1", "2") + Hotels({2}) +
                       Element("hotel", Element("hotelNo", "1") + Element("hotelRooms", roomOf1 + roomOf1))));
    loop.TakeReply(test::HotelReplyText(
        "Success", test::PagingInfoText("3", "2", "2", "3", "3") + Hotels({3}) + again1 + orphan));
    HotelSearchReply result;
    loop.MoveResultInto(result);
    ASSERT_EQ(result.plans.size(), 5u);
    EXPECT_STREQ(result.plans[1].roomName, "first");
    EXPECT_STREQ(result.plans[2].roomName, "first");
    EXPECT_STREQ(result.plans[4].roomName, "orphan");
    EXPECT_EQ(result.paging.page, 2);
}

}  // namespace
}  // namespace qx
