// Writes the seed corpora of the fuzz targets from the test reply builders:
//   fuzz_seed_writer <corpus-dir>
// makes <corpus-dir>/{tag_scanner,area_catalogue,hotel_reply}/<name>. The
// committed seeds under tests/fuzz/corpus were made this way.
#include "ReplyBuilder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using qx::test::Element;

bool WriteSeed(const std::filesystem::path& dir, const char* name, const std::string& bytes) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", (dir / name).string().c_str());
        return false;
    }
    return true;
}

// The tag scanner's input: name length, starting cursor, name, text.
std::string ScannerSeed(const std::string& name, std::int32_t cursor, const std::string& text) {
    std::string seed(1, static_cast<char>(name.size()));
    for (int shift = 0; shift < 32; shift += 8) {
        seed.push_back(static_cast<char>((static_cast<std::uint32_t>(cursor) >> shift) & 0xFF));
    }
    return seed + name + text;
}

bool WriteScannerSeeds(const std::filesystem::path& dir) {
    const std::string rooms = Element("room", "1") + Element("room", "") + "<room>3";
    return WriteSeed(dir, "status", ScannerSeed("Status", 0, qx::test::HotelReplyText("NotFound", ""))) &&
           WriteSeed(dir, "repeated", ScannerSeed("room", 0, rooms)) &&
           WriteSeed(dir, "cursor_inside", ScannerSeed("room", 7, rooms)) &&
           WriteSeed(dir, "nested", ScannerSeed("a", 0, "<a>x<a>y</a>z</a>")) &&
           WriteSeed(dir, "attribute", ScannerSeed("hotel", 0, "<hotel id=\"1\">x</hotel><HOTEL>y</HOTEL>")) &&
           WriteSeed(dir, "double_byte",
                     ScannerSeed("n", 0, "<n>" + qx::test::kHyouWord + "&amp;" + qx::test::kTokyoWord + "</n>"));
}

bool WriteAreaSeeds(const std::filesystem::path& dir) {
    const std::string detail = Element("detailClass", Element("detailClassCode", "d") + Element("detailClassName", "D"));
    const std::string odd = Element("middleClass", Element("middleClassName", "late") + Element("middleClassCode", "m") +
                                                       Element("smallClass", "<detailClass>" + detail + "<smallClass>"));
    return WriteSeed(dir, "three_prefectures", qx::test::GeneratedAreaReply(3)) &&
           WriteSeed(dir, "capital_code", qx::test::AreaReplyText("JAPAN", odd)) &&
           WriteSeed(dir, "unterminated", "<largeClass><largeClassCode>japan</largeClassCode><middleClass>");
}

bool WriteHotelSeeds(const std::filesystem::path& dir) {
    const std::string oddRoom =
        Element("room", Element("hotelNo", "99999999999") + Element("vantoroCharge", "2147483647") +
                            Element("x", Element("vantoroCharge", "9")) + Element("reserveUrl", "a&amp;amp;b&amp;c"));
    return WriteSeed(dir, "two_hotels", qx::test::GeneratedHotelReply(2, 3)) &&
           WriteSeed(dir, "not_found", qx::test::HotelReplyText("notfound", "")) &&
           WriteSeed(dir, "second_page",
                     qx::test::HotelReplyText("Success", qx::test::PagingInfoText("167", "4", "2", "51", "100") +
                                                             Element("hotel", Element("hotelNo", "51")))) &&
           WriteSeed(dir, "garbled_paging",
                     qx::test::HotelReplyText("Success", qx::test::PagingInfoText("-3", "99999999999", "x", "", "1") +
                                                             "<pagingInfo><page>2")) &&
           WriteSeed(dir, "server_error", qx::test::HotelReplyText("ServerError", "")) &&
           WriteSeed(dir, "odd_room", qx::test::HotelReplyText("Success", oddRoom + "<hotel><hotelNo>1")) &&
           WriteSeed(dir, "long_special",
                     Element("hotel", Element("hotelSpecial", std::string(1024, 's')) +
                                          Element("hotelName", std::string(254, 'n') + qx::test::kHyouWord)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const bool written = WriteScannerSeeds(root / "tag_scanner") && WriteAreaSeeds(root / "area_catalogue") &&
                         WriteHotelSeeds(root / "hotel_reply");
    return written ? 0 : 1;
}
