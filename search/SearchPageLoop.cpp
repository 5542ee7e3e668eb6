#include "search/SearchPageLoop.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace qx {
namespace {

constexpr std::size_t kMostHotelsReserved = 1000;

std::int32_t CountOf(std::size_t size) {
    constexpr std::size_t kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::min(size, kMax));
}

}  // namespace

SearchPageLoop::SearchPageLoop(std::string firstPageUrl) : firstPageUrl_(std::move(firstPageUrl)) {}

std::string SearchPageLoop::PageUrl(std::int32_t page) const {
    if (page <= 1) {
        return firstPageUrl_;
    }
    return firstPageUrl_ + "&page=" + std::to_string(page);
}

std::int32_t SearchPageLoop::PagesToRead() const {
    return std::min(std::max(latest_.pageCount, pagesRead_), kMaxPages);
}

PageStep SearchPageLoop::TakeReply(std::string replyText) {
    if (ended_) {
        return last_;
    }
    page_.SetReplyText(std::move(replyText));
    const ReplyStatus status = page_.Parse();
    const bool firstPage = pagesRead_ == 0;
    if (status != ReplyStatus::Parsed) {
        const PageFailure failure = status == ReplyStatus::NotFound ? PageFailure::NotFound : PageFailure::ServerError;
        return End(firstPage ? PageStep::Action::Failed : PageStep::Action::Partial, pagesRead_ + 1, failure);
    }
    if (firstPage) {
        TakeFirstPage();
        return AfterPage();
    }
    return TakeLaterPage();
}

PageStep SearchPageLoop::TakeFetchFailure() {
    if (ended_) {
        return last_;
    }
    return End(pagesRead_ == 0 ? PageStep::Action::Failed : PageStep::Action::Partial, pagesRead_ + 1,
               PageFailure::NoReply);
}

// A later page must be the one asked for; one cut short is kept as far as it
// was read, and ends the search.
PageStep SearchPageLoop::TakeLaterPage() {
    const std::int32_t asked = pagesRead_ + 1;
    if (page_.paging.page != asked) {
        return End(PageStep::Action::Partial, asked, PageFailure::NotThePage);
    }
    const bool whole = HoldsEveryAnnouncedHotel();
    Merge();
    if (!whole) {
        return End(PageStep::Action::Partial, asked, PageFailure::NotThePage);
    }
    return AfterPage();
}

bool SearchPageLoop::HoldsEveryAnnouncedHotel() const {
    const std::int64_t announced =
        static_cast<std::int64_t>(page_.paging.last) - static_cast<std::int64_t>(page_.paging.first) + 1;
    return static_cast<std::int64_t>(page_.hotels.size()) >= announced;
}

// The first page is taken whole, as the service sent it (its paging only says
// how many pages follow), and its lists are taken over rather than copied: a
// single page of thousands of hotels is the common long search.
void SearchPageLoop::TakeFirstPage() {
    hotels_ = std::move(page_.hotels);
    plans_ = std::move(page_.plans);
    page_.hotels.clear();
    page_.plans.clear();
    for (const HotelRecord& hotel : hotels_) {
        seen_.insert(hotel.hotelNo);
    }
    latest_ = page_.paging;
    pagesRead_ = 1;
    ReserveForEveryPage();
}

// Room for as many pages like the first as the search will read, so that the
// records are not moved again and again as the lists grow: at a thousand
// hotels with their plans, the copies a doubling list holds at once would
// weigh tens of megabytes. A reply that announces more than it will hold
// reserves no more than kMostHotelsReserved hotels with their plans.
void SearchPageLoop::ReserveForEveryPage() {
    const std::size_t onPage = hotels_.size();
    if (onPage == 0 || latest_.pageCount <= 1) {
        return;
    }
    const auto pages = static_cast<std::size_t>(std::min(latest_.pageCount, kMaxPages));
    const auto announced = static_cast<std::size_t>(latest_.recordCount);
    const std::size_t hotels = std::min({onPage * pages, std::max(announced, onPage), kMostHotelsReserved});
    hotels_.reserve(hotels);
    plans_.reserve(plans_.size() * hotels / onPage);
}

// A hotel that an earlier page listed is not listed again, nor are its plans
// on this page: the list shows it once, with the plans it was listed with.
// Repeats within one page stay, as a single reply keeps them.
void SearchPageLoop::Merge() {
    std::vector<std::int32_t> added;
    for (HotelRecord& hotel : page_.hotels) {
        if (seen_.count(hotel.hotelNo) == 0) {
            added.push_back(hotel.hotelNo);
            hotels_.push_back(std::move(hotel));
        }
    }
    for (PlanRecord& plan : page_.plans) {
        if (seen_.count(plan.hotelNo) == 0) {
            plans_.push_back(std::move(plan));
        }
    }
    seen_.insert(added.begin(), added.end());
    latest_ = page_.paging;
    ++pagesRead_;
}

PageStep SearchPageLoop::AfterPage() {
    if (pagesRead_ >= std::min(latest_.pageCount, kMaxPages)) {
        return End(PageStep::Action::Done, pagesRead_, PageFailure::None);
    }
    last_ = PageStep{PageStep::Action::FetchPage, pagesRead_ + 1, PageFailure::None};
    return last_;
}

PageStep SearchPageLoop::End(PageStep::Action action, std::int32_t page, PageFailure failure) {
    ended_ = true;
    last_ = PageStep{action, page, failure};
    return last_;
}

void SearchPageLoop::MoveResultInto(HotelSearchReply& reply) {
    const std::int32_t listed = CountOf(hotels_.size());
    reply.hotels = std::move(hotels_);
    reply.plans = std::move(plans_);
    reply.paging = PagingInfo{latest_.recordCount, latest_.pageCount, pagesRead_, listed > 0 ? 1 : 0, listed};
    hotels_.clear();
    plans_.clear();
}

}  // namespace qx
