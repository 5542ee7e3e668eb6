#include "search/SearchRequest.h"

#include "parse/DecimalText.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace qx {
namespace {

// The messages of the conditions dialog's validation, each shown with an OK
// button: date errors with the warning icon, the others with the information icon.
constexpr char kDateCaption[] = "日付設定エラー";
constexpr char kEndDateMessage[] = "終了日は開始日の翌日以降に設定する必要があります。";
constexpr char kStartDateMessage[] = "開始日は本日以降に設定する必要があります。";
constexpr char kBudgetCaption[] = "予算設定エラー";
constexpr char kBudgetMessage[] = "予算の設定内容が正しくありません。";
constexpr char kAreaCaption[] = "エリア設定エラー";
constexpr char kNoLandmarkMessage[] = "施設名が設定されていません。";
constexpr char kAreaTooLongMessage[] = "エリアの設定内容が長すぎます。";

// The dialog reads its edits and the radius item into 32-byte buffers.
constexpr std::size_t kControlTextBytes = 31;

SearchUrlResult Refusal(const char* message, const char* caption, MessageIcon icon) {
    SearchUrlResult result;
    result.message = message;
    result.caption = caption;
    result.icon = icon;
    return result;
}

std::int32_t ControlNumber(std::string_view text) {
    return DecimalToInt(text.substr(0, kControlTextBytes));
}

// A fixed field up to its zero, never past its width.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

std::string FixedPoint(double value, int decimals) {
    // Room for the largest double written in full (309 digits) and a sign.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// Check-out must lie after check-in, and check-in not before the start of
// today. A date the platform cannot convert is refused with the message of its
// own field: check-out with the end-date text, check-in (or a current date that
// cannot be converted) with the start-date text.
const char* DateRefusal(const SearchConditions& conditions, const LocalDateTime& now) {
    const std::optional<std::int64_t> checkin = SecondsSince1970(conditions.checkinDate);
    const std::optional<std::int64_t> checkout = SecondsSince1970(conditions.checkoutDate);
    if (!checkout || (checkin && *checkin >= *checkout)) {
        return kEndDateMessage;
    }
    const std::optional<std::int64_t> today = SecondsSince1970(StartOfDay(now));
    if (!checkin || !today || *today > *checkin) {
        return kStartDateMessage;
    }
    return nullptr;
}

std::string DatePart(const LocalDateTime& checkin, const LocalDateTime& checkout) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "checkinDate=%04d-%02d-%02d&checkoutDate=%04d-%02d-%02d",
                  checkin.year, checkin.month, checkin.day, checkout.year, checkout.month,
                  checkout.day);
    return buffer;
}

// Sets both charges to -1, then to the edits' values when a budget is ticked
// and valid. A negative bound is refused as well: -1 in the record means "no
// budget", so a search sent with it would later be shown as one without.
bool ReadBudget(SearchConditions& conditions, const SearchFormInput& form, std::string& chargePart) {
    conditions.minCharge = -1;
    conditions.maxCharge = -1;
    if (!form.budgetTicked) {
        return true;
    }
    const std::int32_t lower = ControlNumber(form.minChargeText);
    const std::int32_t upper = ControlNumber(form.maxChargeText);
    if (lower < 0 || lower >= upper) {
        return false;
    }
    conditions.minCharge = lower;
    conditions.maxCharge = upper;
    chargePart = "&minCharge=" + std::to_string(lower) + "&maxCharge=" + std::to_string(upper);
    return true;
}

std::string ClassCode(const std::vector<AreaClass>& list, std::int32_t index) {
    const AreaClass* found = FindClass(list, index);
    return found ? std::string(FieldText(found->code)) : std::string();
}

std::string ClassCodePart(const SearchConditions& conditions, const AreaCatalogue& catalogue) {
    std::string part = "middleClassCode=" + ClassCode(catalogue.middleClasses, conditions.middleClassIndex) +
                       "&smallClassCode=" + ClassCode(catalogue.smallClasses, conditions.smallClassIndex);
    if (const AreaClass* detail = FindClass(catalogue.detailClasses, conditions.detailClassIndex)) {
        part += "&detailClassCode=";
        part += FieldText(detail->code);
    }
    return part;
}

// The service expects positions on the Tokyo datum in seconds of arc; the
// landmark comes in decimal degrees on WGS 84.
std::string LandmarkPart(const SearchConditions& conditions) {
    const double lat = conditions.latitude;
    const double lon = conditions.longitude;
    const double tokyoLat = lat + lat * 0.00010696 - lon * 0.000017467 - 0.004602;
    const double tokyoLon = lon + lat * 0.000046047 + lon * 0.000083049 - 0.010041;
    return "latitude=" + FixedPoint(tokyoLat * 3600, 2) + "&longitude=" + FixedPoint(tokyoLon * 3600, 2) +
           "&searchRadius=" + FixedPoint(conditions.radiusMetres / 1000.0, 1);
}

std::string PersonsPart(const SearchConditions& conditions) {
    return "adultNum=" + std::to_string(conditions.adultNum) +
           "&upClassNum=" + std::to_string(conditions.upClassNum) +
           "&infantWithMBNum=" + std::to_string(conditions.infantWithMBNum);
}

std::string FacilityPart(const SearchConditions& conditions) {
    std::string part;
    for (const FacilityCondition& facility : kFacilityConditions) {
        if (conditions.*facility.flag) {
            part += "&squeezeCondition=";
            part += facility.squeezeCondition;
        }
    }
    return part;
}

}  // namespace

std::string BuildAreaClassUrl(const ServiceHost& serviceHost) {
    std::string url = Origin(serviceHost);
    url += "/vws/1.4/rest?developerId=";
    url += kDeveloperId;
    url += "&operation=GetAreaClass&version=2007-02-28";
    if (url.size() >= kAreaClassUrlCapacity) {
        return std::string();
    }
    return url;
}

SearchUrlResult BuildSearchUrl(SearchConditions& conditions, const AreaCatalogue& catalogue,
                               const SearchFormInput& form, const ServiceHost& serviceHost) {
    if (const char* message = DateRefusal(conditions, form.now)) {
        return Refusal(message, kDateCaption, MessageIcon::Warning);
    }
    std::string chargePart;
    if (!ReadBudget(conditions, form, chargePart)) {
        return Refusal(kBudgetMessage, kBudgetCaption, MessageIcon::Information);
    }
    std::string areaPart;
    if (conditions.areaMode == kAreaModeNearLandmark) {
        if (conditions.landmarkName[0] == '\0') {
            return Refusal(kNoLandmarkMessage, kAreaCaption, MessageIcon::Information);
        }
        conditions.radiusMetres = ControlNumber(form.radiusText);
        areaPart = LandmarkPart(conditions);
    } else {
        areaPart = ClassCodePart(conditions, catalogue);
    }

    std::string url = Origin(serviceHost);
    url += "/vws/1.4/rest?developerId=";
    url += kDeveloperId;
    url += "&operation=VacantHotelSearch&version=2007-02-28&largeClassCode=japan&";
    url += areaPart + "&" + DatePart(conditions.checkinDate, conditions.checkoutDate) + "&" +
           PersonsPart(conditions) + "&roomNum=" + std::to_string(conditions.roomNum) +
           FacilityPart(conditions) + chargePart;
    if (url.size() >= kSearchUrlCapacity) {
        return Refusal(kAreaTooLongMessage, kAreaCaption, MessageIcon::Information);
    }
    SearchUrlResult result;
    result.ok = true;
    result.url = std::move(url);
    return result;
}

}  // namespace qx
