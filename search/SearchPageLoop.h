// Reads every page of one hotel search. Given each page's reply, or the news
// that its fetch failed, it answers which page to fetch next, or that the
// search is over, whole or in part; it keeps every hotel and plan read, each
// hotel once. The conditions dialog only fetches the pages and shows the end.
#pragma once

#include "parse/HotelSearchReply.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace qx {

// Why a search ended before its last page.
enum class PageFailure {
    None,
    NoReply,      // no reply: an HTTP status other than 200, the time limit, a broken connection
    NotFound,     // the reply's status: nothing found
    ServerError,  // the reply's status: the server failed
    NotThePage,   // not the page asked for: no search reply, another page, or fewer hotels than it announces
};

struct PageStep {
    enum class Action {
        FetchPage,  // fetch `page` next
        Done,       // every page read, or as many as the page cap allows
        Failed,     // the first page failed: nothing was read
        Partial,    // a later page failed: the pages before it were read
    };
    Action action = Action::FetchPage;
    // The page to fetch, the last page read (Done) or the page that failed.
    std::int32_t page = 1;
    PageFailure failure = PageFailure::None;
};

class SearchPageLoop {
public:
    // A search reads at most this many pages.
    static constexpr std::int32_t kMaxPages = 20;

    explicit SearchPageLoop(std::string firstPageUrl);

    // Fetch page 1.
    PageStep FirstStep() const { return PageStep{}; }
    // Page 1's request unchanged; page n's with "&page=n" added.
    std::string PageUrl(std::int32_t page) const;

    // The reply (code page 932) to the page last asked for, or the failure
    // of its fetch. After the end, both repeat the last step.
    PageStep TakeReply(std::string replyText);
    PageStep TakeFetchFailure();

    // For the progress shown: the pages read, and the pages there are to
    // read as the latest reply announced them, at most kMaxPages.
    std::int32_t PagesRead() const { return pagesRead_; }
    std::int32_t PagesToRead() const;

    // After Done or Partial: every hotel and plan read go to reply, with the
    // paging of the whole (the latest record count; records 1 to the hotels
    // listed). The reply's text stays as it was: the pages were read here.
    void MoveResultInto(HotelSearchReply& reply);

private:
    PageStep TakeLaterPage();
    void TakeFirstPage();
    void ReserveForEveryPage();
    void Merge();
    bool HoldsEveryAnnouncedHotel() const;
    PageStep AfterPage();
    PageStep End(PageStep::Action action, std::int32_t page, PageFailure failure);

    const std::string firstPageUrl_;
    std::int32_t pagesRead_ = 0;
    bool ended_ = false;
    PageStep last_;
    // Each page is read here, then merged.
    HotelSearchReply page_;
    PagingInfo latest_;
    std::vector<HotelRecord> hotels_;
    std::vector<PlanRecord> plans_;
    // Hotel numbers of the pages merged so far.
    std::unordered_set<std::int32_t> seen_;
};

}  // namespace qx
