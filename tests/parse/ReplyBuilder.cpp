#include "ReplyBuilder.h"

namespace qx::test {

const std::string kHotelWord = "\x83\x7A\x83\x65\x83\x8B";
const std::string kTokyoWord = "\x93\x8C\x8B\x9E\x93\x73";
const std::string kShinjukuWord = "\x90\x56\x8F\x68\x8B\xE6";
const std::string kSpaWord = "\x89\xB7\x90\xF2";
const std::string kBreakfastWord = "\x92\xA9\x90\x48\x95\x74\x82\xAB";
const std::string kPlanWord = "\x83\x76\x83\x89\x83\x93";
const std::string kHyouWord = "\x95\x5C";
const std::string kPrefectureWord = "\x8C\xA7";

namespace {

std::string Number(int n) {
    return std::to_string(n);
}

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + Number(n);
}

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text.append(piece);
    }
    return text;
}

std::string GeneratedRoom(int hotel, int room) {
    const std::string no = Number(GeneratedHotelNo(hotel));
    std::string charges;
    for (int night = 0; night < kNights; ++night) {
        charges += Element("dailyCharge", Element("stayDate", "2024-04-" + TwoDigits(night + 1)) +
                                              Element("vantoroCharge", Number(GeneratedNightCharge(hotel, room))));
    }
    return Element("room",
                   Element("hotelNo", no) + Element("roomName", kPlanWord + " " + Number(room)) +
                       Element("planContents", kBreakfastWord + kPlanWord + Repeat(kSpaWord, 40)) +
                       Element("withDinnerFlag", Number(room % 2)) + Element("dinnerSelectFlag", "0") +
                       Element("withBreakfastFlag", "1") + Element("breakfastSelectFlag", "0") +
                       Element("dailyCharges", charges) +
                       Element("reserveUrl", "http://127.0.0.1:48230/reserve?hotelNo=" + no + "&amp;plan=" +
                                                 Number(room) + "&amp;nights=" + Number(kNights)));
}

std::string GeneratedHotel(int hotel, int roomsPerHotel) {
    const std::string no = Number(GeneratedHotelNo(hotel));
    std::string rooms;
    for (int room = 0; room < roomsPerHotel; ++room) {
        rooms += GeneratedRoom(hotel, room);
    }
    return Element("hotel",
                   Element("hotelNo", no) + Element("hotelName", kShinjukuWord + kHotelWord + " " + no) +
                       Element("hotelSpecial", Repeat(kSpaWord + kBreakfastWord, 20)) +
                       Element("checkinTime", "15:00") + Element("checkoutTime", "10:00") +
                       Element("latitude", "128" + Number(100 + hotel % 800) + ".25") +
                       Element("longitude", "503" + Number(100 + hotel % 800) + ".75") +
                       Element("postalCode", "160-0023") + Element("address1", kTokyoWord + kShinjukuWord) +
                       Element("address2", "1-" + Number(hotel + 1)) + Element("telephoneNo", "03-0000-" + no) +
                       Element("faxNo", "03-1111-" + no) + Element("access", Repeat(kTokyoWord, 30)) +
                       Element("parkingInformation", Repeat(kHyouWord, 20)) +
                       Element("lowestCharge", Number(GeneratedNightCharge(hotel, 0))) +
                       Element("highestCharge", Number(GeneratedNightCharge(hotel, roomsPerHotel))) +
                       Element("hotelImageUrl", "http://127.0.0.1:48230/img/" + no + ".jpg") +
                       Element("hotelInformationUrl", "http://127.0.0.1:48230/hotel?no=" + no + "&amp;f=1") +
                       Element("rooms", rooms));
}

}  // namespace

std::string Element(std::string_view name, std::string_view content) {
    std::string text;
    text.reserve(content.size() + 2 * name.size() + 5);
    text.append("<").append(name).append(">").append(content).append("</").append(name).append(">");
    return text;
}

std::string HotelReplyText(std::string_view status, std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Response>" +
           Element("Header", Element("Status", status) + Element("StatusMsg", "")) + Element("Body", body) +
           "</Response>\n";
}

std::string PagingInfoText(std::string_view recordCount, std::string_view pageCount, std::string_view page,
                           std::string_view first, std::string_view last) {
    return Element("pagingInfo", Element("recordCount", recordCount) + Element("pageCount", pageCount) +
                                     Element("page", page) + Element("first", first) + Element("last", last));
}

std::string AreaReplyText(std::string_view largeCode, std::string_view middles) {
    const std::string large = Element("largeClassCode", largeCode) + Element("largeClassName", "\x93\xFA\x96\x7B") +
                              std::string(middles);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Response>" + Element("Header", Element("Status", "Success")) +
           Element("Body", Element("areaClasses", Element("largeClass", large))) + "</Response>\n";
}

std::int32_t GeneratedHotelNo(int hotel) {
    return 10001 + hotel;
}

std::int32_t GeneratedNightCharge(int hotel, int room) {
    return 6000 + (hotel % 50) * 100 + room * 1500;
}

std::string GeneratedHotelReply(int hotelCount, int roomsPerHotel) {
    std::string hotels;
    for (int hotel = 0; hotel < hotelCount; ++hotel) {
        hotels += GeneratedHotel(hotel, roomsPerHotel);
    }
    return HotelReplyText("Success", Element("hotelCount", Number(hotelCount)) + Element("hotels", hotels));
}

int GeneratedSmallCount(int middle) {
    return middle == kLargeMiddle ? 120 : 3 + middle % 6;
}

int GeneratedDetailCount(int middle, int small) {
    return (middle + small) % 4 == 0 ? 1 + small % 5 : 0;
}

std::string GeneratedMiddleCode(int middle) {
    return "m" + TwoDigits(middle + 1);
}

std::string GeneratedSmallCode(int middle, int small) {
    return GeneratedMiddleCode(middle) + "s" + TwoDigits(small + 1);
}

std::string GeneratedDetailCode(int middle, int small, int detail) {
    return GeneratedSmallCode(middle, small) + "d" + Number(detail + 1);
}

std::string GeneratedAreaReply(int middleCount) {
    std::string middles;
    for (int middle = 0; middle < middleCount; ++middle) {
        std::string smalls;
        for (int small = 0; small < GeneratedSmallCount(middle); ++small) {
            std::string details;
            for (int detail = 0; detail < GeneratedDetailCount(middle, small); ++detail) {
                details += Element("detailClass", Element("detailClassCode", GeneratedDetailCode(middle, small, detail)) +
                                                      Element("detailClassName", kHyouWord + Number(detail)));
            }
            smalls += Element("smallClass", Element("smallClassCode", GeneratedSmallCode(middle, small)) +
                                                Element("smallClassName", kSpaWord + Number(small)) + details);
        }
        middles += Element("middleClass", Element("middleClassCode", GeneratedMiddleCode(middle)) +
                                              Element("middleClassName", kPrefectureWord + Number(middle + 1)) +
                                              smalls);
    }
    return AreaReplyText("japan", middles);
}

}  // namespace qx::test
