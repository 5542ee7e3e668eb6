// Reads a saved GetAreaClass or VacantHotelSearch reply (code page 932) with
// the core's readers and prints what they found, one record per line, so that
// a script can compare it with what the local web service meant to send.
//
// Usage: localweb_reply_counts area|search <reply file>
// Text fields are printed as their length in bytes, which is what the fixed
// widths of the records decide.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"

namespace {

bool ReadFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void PrintAreas(qx::AreaCatalogue& catalogue) {
    const bool listed = catalogue.ListMiddleClasses();
    std::printf("middle %d %zu\n", listed ? 1 : 0, catalogue.middleClasses.size());
    const std::size_t middles = catalogue.middleClasses.size();
    for (std::size_t m = 0; m < middles; ++m) {
        catalogue.ListSmallClasses(static_cast<std::int32_t>(m));
        std::printf("small %zu %zu %zu\n", m, catalogue.smallClasses.size(),
                    catalogue.middleClasses[m].elementText.size());
        const std::size_t smalls = catalogue.smallClasses.size();
        for (std::size_t s = 0; s < smalls; ++s) {
            const bool divided = catalogue.ListDetailClasses(static_cast<std::int32_t>(s));
            std::printf("detail %zu %zu %d %zu\n", m, s, divided ? 1 : 0, catalogue.detailClasses.size());
        }
    }
}

void PrintHotel(const qx::HotelRecord& h) {
    std::printf("hotel %d %d %d %.2f %.2f %zu %zu %zu %zu %zu %zu %zu\n", h.hotelNo, h.lowestCharge,
                h.highestCharge, h.latitude, h.longitude, std::strlen(h.hotelName), std::strlen(h.address),
                std::strlen(h.hotelSpecial), std::strlen(h.access), std::strlen(h.faxNo),
                std::strlen(h.parkingInformation), std::strlen(h.hotelImageUrl));
}

void PrintPlan(const qx::PlanRecord& p) {
    std::printf("plan %d %d %d %d %d %d %zu %zu\n", p.hotelNo, p.vantoroCharge, p.withDinnerFlag,
                p.dinnerSelectFlag, p.withBreakfastFlag, p.breakfastSelectFlag, std::strlen(p.roomName),
                std::strlen(p.reserveUrl));
}

void PrintSearch(qx::HotelSearchReply& reply) {
    const qx::ReplyStatus status = reply.Parse();
    std::printf("status %d\n", static_cast<int>(status));
    std::printf("hotels %zu\nplans %zu\n", reply.hotels.size(), reply.plans.size());
    const qx::PagingInfo& p = reply.paging;
    std::printf("paging %d %d %d %d %d\n", p.recordCount, p.pageCount, p.page, p.first, p.last);
    for (const qx::HotelRecord& hotel : reply.hotels) {
        PrintHotel(hotel);
    }
    for (const qx::PlanRecord& plan : reply.plans) {
        PrintPlan(plan);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string text;
    if (argc != 3 || !ReadFile(argv[2], text)) {
        std::fprintf(stderr, "usage: localweb_reply_counts area|search <reply file>\n");
        return 2;
    }
    if (std::strcmp(argv[1], "area") == 0) {
        qx::AreaCatalogue catalogue;
        catalogue.SetReplyText(text);
        PrintAreas(catalogue);
        return 0;
    }
    if (std::strcmp(argv[1], "search") == 0) {
        qx::HotelSearchReply reply;
        reply.SetReplyText(text);
        PrintSearch(reply);
        return 0;
    }
    std::fprintf(stderr, "unknown reply kind %s\n", argv[1]);
    return 2;
}
