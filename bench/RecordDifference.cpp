#include "RecordDifference.h"

#include "parse/FixedText.h"

#include <cstring>
#include <string_view>

namespace qx::bench {
namespace {

// Collects the names of the fields that differ in one pair of records.
class FieldCheck {
public:
    template <typename Number>
    void Same(const char* name, Number a, Number b) {
        // Doubles are compared bit for bit: both readers use the same conversion.
        if (std::memcmp(&a, &b, sizeof a) != 0) {
            Add(name);
        }
    }

    template <std::size_t N>
    void Same(const char* name, const char (&a)[N], const char (&b)[N]) {
        if (qx::FieldText(a) != qx::FieldText(b)) {
            Add(name);
        }
    }

    const std::string& Differing() const { return names_; }

private:
    void Add(const char* name) { names_.append(names_.empty() ? "" : ", ").append(name); }

    std::string names_;
};

std::string HotelDifference(const qx::HotelRecord& a, const qx::HotelRecord& b) {
    FieldCheck check;
    check.Same("hotelNo", a.hotelNo, b.hotelNo);
    check.Same("hotelName", a.hotelName, b.hotelName);
    check.Same("hotelSpecial", a.hotelSpecial, b.hotelSpecial);
    check.Same("checkinTime", a.checkinTime, b.checkinTime);
    check.Same("checkoutTime", a.checkoutTime, b.checkoutTime);
    check.Same("latitude", a.latitude, b.latitude);
    check.Same("longitude", a.longitude, b.longitude);
    check.Same("address", a.address, b.address);
    check.Same("telephoneNo", a.telephoneNo, b.telephoneNo);
    check.Same("faxNo", a.faxNo, b.faxNo);
    check.Same("access", a.access, b.access);
    check.Same("parkingInformation", a.parkingInformation, b.parkingInformation);
    check.Same("lowestCharge", a.lowestCharge, b.lowestCharge);
    check.Same("highestCharge", a.highestCharge, b.highestCharge);
    check.Same("hotelImageUrl", a.hotelImageUrl, b.hotelImageUrl);
    check.Same("hotelInformationUrl", a.hotelInformationUrl, b.hotelInformationUrl);
    return check.Differing();
}

std::string PlanDifference(const qx::PlanRecord& a, const qx::PlanRecord& b) {
    FieldCheck check;
    check.Same("hotelNo", a.hotelNo, b.hotelNo);
    check.Same("roomName", a.roomName, b.roomName);
    check.Same("planContents", a.planContents, b.planContents);
    check.Same("vantoroCharge", a.vantoroCharge, b.vantoroCharge);
    check.Same("reserveUrl", a.reserveUrl, b.reserveUrl);
    check.Same("withDinnerFlag", a.withDinnerFlag, b.withDinnerFlag);
    check.Same("dinnerSelectFlag", a.dinnerSelectFlag, b.dinnerSelectFlag);
    check.Same("withBreakfastFlag", a.withBreakfastFlag, b.withBreakfastFlag);
    check.Same("breakfastSelectFlag", a.breakfastSelectFlag, b.breakfastSelectFlag);
    return check.Differing();
}

template <typename Record, typename Compare>
std::string ListDifference(const char* what, const std::vector<Record>& a, const std::vector<Record>& b,
                           Compare compare) {
    if (a.size() != b.size()) {
        return std::string(what) + " count " + std::to_string(a.size()) + " against " + std::to_string(b.size());
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::string fields = compare(a[i], b[i]);
        if (!fields.empty()) {
            return std::string(what) + " " + std::to_string(i) + ": " + fields;
        }
    }
    return std::string();
}

}  // namespace

std::string RecordDifference(const std::vector<qx::HotelRecord>& hotelsA, const std::vector<qx::PlanRecord>& plansA,
                             const std::vector<qx::HotelRecord>& hotelsB, const std::vector<qx::PlanRecord>& plansB) {
    const std::string hotels = ListDifference("hotel", hotelsA, hotelsB, HotelDifference);
    return hotels.empty() ? ListDifference("plan", plansA, plansB, PlanDifference) : hotels;
}

}  // namespace qx::bench
