// Reply texts for the parse tests, the benchmark and the fuzz seeds: small
// pieces to build one case by hand, and generators of realistic large replies.
//
// Japanese texts are written as code page 932 bytes so that they mean the same
// in the native build (UTF-8 literals) and the Windows build (CP932 literals).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qx::test {

// Code page 932 words used in the replies.
extern const std::string kHotelWord;     // "ホテル"
extern const std::string kTokyoWord;     // "東京都"
extern const std::string kShinjukuWord;  // "新宿区"
extern const std::string kSpaWord;       // "温泉"
extern const std::string kBreakfastWord; // "朝食付き"
extern const std::string kPlanWord;      // "プラン"
extern const std::string kHyouWord;      // "表", second byte 0x5C ('\')
extern const std::string kPrefectureWord;// "県"

// "<name>content</name>".
std::string Element(std::string_view name, std::string_view content);

// A VacantHotelSearch reply: a Header with that Status, then body.
std::string HotelReplyText(std::string_view status, std::string_view body);

// "<pagingInfo>" holding the five paging elements with these texts.
std::string PagingInfoText(std::string_view recordCount, std::string_view pageCount, std::string_view page,
                           std::string_view first, std::string_view last);

// A GetAreaClass reply whose large class has that code and holds middles.
std::string AreaReplyText(std::string_view largeCode, std::string_view middles);

// Generated VacantHotelSearch reply: hotelCount hotels, each holding
// roomsPerHotel rooms; every room charges kNights nights.
constexpr int kNights = 2;
std::string GeneratedHotelReply(int hotelCount, int roomsPerHotel);
std::int32_t GeneratedHotelNo(int hotel);
std::int32_t GeneratedNightCharge(int hotel, int room);

// Generated GetAreaClass reply of middleCount middle classes (47 for the
// prefectures). The counts below describe it; one middle class is large
// enough that its element exceeds 10240 bytes.
std::string GeneratedAreaReply(int middleCount);
int GeneratedSmallCount(int middle);
int GeneratedDetailCount(int middle, int small);
std::string GeneratedMiddleCode(int middle);
std::string GeneratedSmallCode(int middle, int small);
std::string GeneratedDetailCode(int middle, int small, int detail);
constexpr int kLargeMiddle = 12;

}  // namespace qx::test
