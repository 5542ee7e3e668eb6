#include "PugiReplyReader.h"

#include "parse/AsciiCase.h"
#include "parse/DecimalText.h"
#include "parse/FixedText.h"

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

namespace qx::bench {
namespace {

// What a walk does after visiting an element.
enum class Walk { Descend, Skip, Stop };

// Visits every element below root in document order, the order in which the
// program's tag scanner meets their opening tags.
template <typename Visit>
void WalkElements(pugi::xml_node root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        const Walk step = node.type() == pugi::node_element ? visit(node) : Walk::Skip;
        if (step == Walk::Stop) {
            return;
        }
        if (step == Walk::Descend && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) {
            node = node.parent();
        }
        if (node == root) {
            return;
        }
        node = node.next_sibling();
    }
}

// The first element of that name below root, or an empty node.
pugi::xml_node FirstElement(pugi::xml_node root, const char* name) {
    pugi::xml_node found;
    WalkElements(root, [&](pugi::xml_node element) {
        if (std::strcmp(element.name(), name) != 0) {
            return Walk::Descend;
        }
        found = element;
        return Walk::Stop;
    });
    return found;
}

// The first occurrence of each named element below root, read in one walk
// that ends once all are found; a missing one stays empty, as the scanner
// gives the empty string for it.
template <std::size_t N>
std::array<std::string_view, N> FirstTexts(pugi::xml_node root, const std::array<const char*, N>& names) {
    std::array<std::string_view, N> texts{};
    std::array<bool, N> seen{};
    std::size_t found = 0;
    WalkElements(root, [&](pugi::xml_node element) {
        for (std::size_t i = 0; i < N; ++i) {
            if (!seen[i] && std::strcmp(element.name(), names[i]) == 0) {
                seen[i] = true;
                texts[i] = element.child_value();
                ++found;
                break;
            }
        }
        return found == N ? Walk::Stop : Walk::Descend;
    });
    return texts;
}

// The same field rules as the program's reader, restated here because that
// reader keeps them to itself.
template <std::size_t N>
void CopyWholeOrNothing(char (&field)[N], std::string_view text) {
    qx::CopyField(field, text.size() < N ? text : std::string_view());
}

std::string DecodeAmpersands(std::string_view text) {
    constexpr std::string_view kEscaped = "&amp;";
    std::string decoded;
    decoded.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(kEscaped, from)) != std::string_view::npos; from = at + kEscaped.size()) {
        decoded.append(text, from, at - from);
        decoded.push_back('&');
    }
    decoded.append(text, from, std::string_view::npos);
    return decoded;
}

std::int32_t SumCharges(pugi::xml_node room) {
    std::int64_t sum = 0;
    WalkElements(room, [&](pugi::xml_node element) {
        if (std::strcmp(element.name(), "vantoroCharge") == 0) {
            sum += qx::DecimalToInt(element.child_value());
        }
        return Walk::Descend;
    });
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sum < kMin ? kMin : (sum > kMax ? kMax : sum));
}

constexpr std::array<const char*, 17> kHotelElements = {
    "hotelNo",     "hotelName", "hotelSpecial", "checkinTime",        "checkoutTime", "latitude",
    "longitude",   "address1",  "address2",     "telephoneNo",        "faxNo",        "access",
    "parkingInformation", "lowestCharge", "highestCharge", "hotelImageUrl", "hotelInformationUrl"};

void ReadHotel(pugi::xml_node hotel, qx::HotelRecord& record) {
    const auto texts = FirstTexts(hotel, kHotelElements);
    record.hotelNo = qx::DecimalToInt(texts[0]);
    qx::CopyField(record.hotelName, texts[1]);
    CopyWholeOrNothing(record.hotelSpecial, texts[2]);
    qx::CopyField(record.checkinTime, texts[3]);
    qx::CopyField(record.checkoutTime, texts[4]);
    record.latitude = qx::DecimalToDouble(texts[5]);
    record.longitude = qx::DecimalToDouble(texts[6]);
    std::string address(texts[7]);
    address.append(texts[8]);
    qx::CopyField(record.address, address);
    qx::CopyField(record.telephoneNo, texts[9]);
    qx::CopyField(record.faxNo, texts[10]);
    CopyWholeOrNothing(record.access, texts[11]);
    qx::CopyField(record.parkingInformation, texts[12]);
    record.lowestCharge = qx::DecimalToInt(texts[13]);
    record.highestCharge = qx::DecimalToInt(texts[14]);
    qx::CopyField(record.hotelImageUrl, texts[15]);
    qx::CopyField(record.hotelInformationUrl, texts[16]);
}

constexpr std::array<const char*, 8> kRoomElements = {
    "hotelNo",          "roomName",          "planContents",      "reserveUrl",
    "withDinnerFlag",   "dinnerSelectFlag",  "withBreakfastFlag", "breakfastSelectFlag"};

void ReadPlan(pugi::xml_node room, qx::PlanRecord& record) {
    const auto texts = FirstTexts(room, kRoomElements);
    record.hotelNo = qx::DecimalToInt(texts[0]);
    qx::CopyField(record.roomName, texts[1]);
    qx::CopyField(record.planContents, texts[2]);
    record.vantoroCharge = SumCharges(room);
    qx::CopyField(record.reserveUrl, DecodeAmpersands(texts[3]));
    record.withDinnerFlag = qx::DecimalToInt(texts[4]);
    record.dinnerSelectFlag = qx::DecimalToInt(texts[5]);
    record.withBreakfastFlag = qx::DecimalToInt(texts[6]);
    record.breakfastSelectFlag = qx::DecimalToInt(texts[7]);
}

// Elements of that name anywhere in the document, not looking inside one for
// another: the scanner's cursor moves past each element it returns.
template <typename Read>
void ForEachOutermost(const pugi::xml_document& document, const char* name, Read read) {
    WalkElements(document, [&](pugi::xml_node element) {
        if (std::strcmp(element.name(), name) != 0) {
            return Walk::Descend;
        }
        read(element);
        return Walk::Skip;
    });
}

}  // namespace

qx::ReplyStatus PugiReplyReader::Parse(const std::string& replyText) {
    // No entity decoding ("&amp;" must stay as the scanner returns it) and the
    // bytes are taken as they are: code page 932 needs no conversion here.
    pugi::xml_document document;
    document.load_buffer(replyText.data(), replyText.size(), pugi::parse_minimal, pugi::encoding_utf8);
    const std::string_view status = FirstElement(FirstElement(document, "Header"), "Status").child_value();
    if (qx::EqualsIgnoringAsciiCase(status, "NotFound")) {
        return qx::ReplyStatus::NotFound;
    }
    if (qx::EqualsIgnoringAsciiCase(status, "ServerError")) {
        return qx::ReplyStatus::ServerError;
    }
    hotels.clear();
    ForEachOutermost(document, "hotel", [&](pugi::xml_node hotel) { ReadHotel(hotel, hotels.emplace_back()); });
    plans.clear();
    ForEachOutermost(document, "room", [&](pugi::xml_node room) { ReadPlan(room, plans.emplace_back()); });
    return qx::ReplyStatus::Parsed;
}

}  // namespace qx::bench
