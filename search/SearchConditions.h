// What the user searches for: where, when, for whom, at what price and with
// which facilities. One record lives as long as the main dialog; the conditions
// dialog, the landmark dialog and the request builder write into it.
#pragma once

#include "search/LocalDateTime.h"

#include <cstdint>

namespace qx {

// Values of SearchConditions::areaMode; 0 until conditions were first stored.
inline constexpr std::uint32_t kAreaModeByClass = 100;     // middle/small/detail class codes
inline constexpr std::uint32_t kAreaModeNearLandmark = 200;  // landmark position and radius

// Every field starts at zero, as the record is created.
struct SearchConditions {
    std::uint32_t areaMode = 0;
    char middleClassName[256] = {};
    char smallClassName[256] = {};
    char detailClassName[256] = {};  // empty when the small class has no detail classes
    std::int32_t middleClassIndex = 0;
    std::int32_t smallClassIndex = 0;
    std::int32_t detailClassIndex = 0;  // -1 when the detail list is empty
    char landmarkName[256] = {};
    double latitude = 0.0;   // decimal degrees, WGS 84
    double longitude = 0.0;
    std::int32_t radiusMetres = 0;
    LocalDateTime checkinDate;
    LocalDateTime checkoutDate;
    std::int32_t adultNum = 0;
    std::int32_t upClassNum = 0;       // children
    std::int32_t infantWithMBNum = 0;  // infants
    std::int32_t roomNum = 0;
    std::int32_t minCharge = 0;  // yen; -1 in either charge means no budget
    std::int32_t maxCharge = 0;
    std::uint8_t kinen = 0;
    std::uint8_t internet = 0;
    std::uint8_t daiyoku = 0;
    std::uint8_t onsen = 0;
    std::uint8_t breakfast = 0;
    std::uint8_t dinner = 0;
};

// The six facility flags in their fixed order, with the value each sends as a
// squeezeCondition. The option list, the request and the summary all use it.
struct FacilityCondition {
    std::uint8_t SearchConditions::*flag;
    const char* squeezeCondition;
};

inline constexpr FacilityCondition kFacilityConditions[] = {
    {&SearchConditions::kinen, "kinen"},         {&SearchConditions::internet, "internet"},
    {&SearchConditions::daiyoku, "daiyoku"},     {&SearchConditions::onsen, "onsen"},
    {&SearchConditions::breakfast, "breakfast"}, {&SearchConditions::dinner, "dinner"},
};

}  // namespace qx
