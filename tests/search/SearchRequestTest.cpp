#include "search/SearchRequest.h"

#include "parse/FixedText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>

namespace {

using qx::LocalDateTime;
using qx::MessageIcon;
using qx::SearchConditions;
using qx::SearchFormInput;
using qx::SearchUrlResult;

constexpr char kHost[] = "svc.test:8080";
constexpr char kFixedPath[] =
    "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86"
    "&operation=VacantHotelSearch&version=2007-02-28&largeClassCode=japan&";

// What the user reads in the message boxes.
constexpr char kEndDate[] = "終了日は開始日の翌日以降に設定する必要があります。";
constexpr char kStartDate[] = "開始日は本日以降に設定する必要があります。";
constexpr char kDateCaption[] = "日付設定エラー";
constexpr char kBudget[] = "予算の設定内容が正しくありません。";
constexpr char kBudgetCaption[] = "予算設定エラー";
constexpr char kNoLandmark[] = "施設名が設定されていません。";
constexpr char kAreaTooLong[] = "エリアの設定内容が長すぎます。";
constexpr char kAreaCaption[] = "エリア設定エラー";

// A date as the dialog's pickers carry it: with the time of day they were set at.
LocalDateTime Day(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    return {year, month, 0, day, 9, 15, 45, 250};
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

qx::AreaClass Entry(std::int32_t index, std::string_view code) {
    qx::AreaClass entry;
    entry.index = index;
    qx::CopyField(entry.code, code);
    return entry;
}

// Valid conditions for an area search, made on Wednesday 2007-08-01 at 10:20.
struct Search {
    SearchConditions conditions;
    qx::AreaCatalogue catalogue;
    SearchFormInput form;
    qx::ServiceHost host{qx::UrlScheme::Http, kHost};

    Search() {
        conditions.areaMode = qx::kAreaModeByClass;
        conditions.middleClassIndex = 1;
        conditions.smallClassIndex = 1;
        conditions.detailClassIndex = -1;
        conditions.checkinDate = Day(2007, 8, 10);
        conditions.checkoutDate = Day(2007, 8, 12);
        conditions.adultNum = 2;
        conditions.roomNum = 1;
        catalogue.middleClasses = {Entry(0, "north"), Entry(1, "capital")};
        catalogue.smallClasses = {Entry(0, "bay"), Entry(1, "west")};
        form.minChargeText = "5000";
        form.maxChargeText = "10000";
        form.radiusText = "1000 [m]";
        form.now = {2007, 8, 3, 1, 10, 20, 30, 400};
    }

    void NearLandmark() {
        conditions.areaMode = qx::kAreaModeNearLandmark;
        qx::CopyField(conditions.landmarkName, "中央駅");
        conditions.latitude = 35.0;
        conditions.longitude = 135.0;
    }

    SearchUrlResult Build() { return qx::BuildSearchUrl(conditions, catalogue, form, host); }

    // The URL after its fixed start; empty (and a failure) when refused.
    std::string Query() {
        const SearchUrlResult result = Build();
        EXPECT_TRUE(result.ok) << result.message;
        const std::string start = qx::Origin(host) + kFixedPath;
        EXPECT_EQ(result.url.substr(0, start.size()), start);
        return result.ok ? result.url.substr(start.size()) : std::string();
    }
};

TEST(BuildSearchUrl, ComposesTheLandmarkSearchExample) {
    Search s;
    s.NearLandmark();
    s.conditions.onsen = 1;
    s.conditions.breakfast = 1;
    const SearchUrlResult result = s.Build();
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.url, std::string("http://svc.test:8080") + kFixedPath +
                              "latitude=125988.42&longitude=486010.02&searchRadius=1.0"
                              "&checkinDate=2007-08-10&checkoutDate=2007-08-12"
                              "&adultNum=2&upClassNum=0&infantWithMBNum=0&roomNum=1"
                              "&squeezeCondition=onsen&squeezeCondition=breakfast");
    EXPECT_EQ(s.conditions.radiusMetres, 1000);
    EXPECT_EQ(s.conditions.latitude, 35.0);
    EXPECT_EQ(s.conditions.longitude, 135.0);
    EXPECT_EQ(s.conditions.minCharge, -1);
    EXPECT_EQ(s.conditions.maxCharge, -1);
}

TEST(BuildSearchUrl, RefusesWithTheMessageOfTheFirstFailingCheck) {
    const struct {
        const char* name;
        void (*arrange)(Search&);
        const char* message;
        const char* caption;
        MessageIcon icon;
    } cases[] = {
        {"check-out equal to check-in", [](Search& s) { s.conditions.checkoutDate = s.conditions.checkinDate; },
         kEndDate, kDateCaption, MessageIcon::Warning},
        {"check-out before check-in", [](Search& s) { s.conditions.checkoutDate = Day(2007, 8, 9); },
         kEndDate, kDateCaption, MessageIcon::Warning},
        {"equal dates in the past",
         [](Search& s) { s.conditions.checkinDate = s.conditions.checkoutDate = Day(2007, 7, 1); },
         kEndDate, kDateCaption, MessageIcon::Warning},
        {"check-in yesterday", [](Search& s) { s.conditions.checkinDate = Day(2007, 7, 31); },
         kStartDate, kDateCaption, MessageIcon::Warning},
        {"check-in the last millisecond of yesterday",
         [](Search& s) { s.conditions.checkinDate = {2007, 7, 2, 31, 23, 59, 59, 999}; },
         kStartDate, kDateCaption, MessageIcon::Warning},
        {"check-out in month 13", [](Search& s) { s.conditions.checkoutDate.month = 13; },
         kEndDate, kDateCaption, MessageIcon::Warning},
        {"check-in on day 32", [](Search& s) { s.conditions.checkinDate.day = 32; },
         kStartDate, kDateCaption, MessageIcon::Warning},
        {"all-zero dates", [](Search& s) { s.conditions.checkinDate = s.conditions.checkoutDate = {}; },
         kEndDate, kDateCaption, MessageIcon::Warning},
        {"clock unreadable", [](Search& s) { s.form.now = {}; },
         kStartDate, kDateCaption, MessageIcon::Warning},
        {"budget 5000 to 5000", [](Search& s) { s.form.budgetTicked = true; s.form.maxChargeText = "5000"; },
         kBudget, kBudgetCaption, MessageIcon::Information},
        {"budget reversed", [](Search& s) { s.form.budgetTicked = true; s.form.minChargeText = "20000"; },
         kBudget, kBudgetCaption, MessageIcon::Information},
        {"budget of garbage", [](Search& s) {
             s.form.budgetTicked = true; s.form.minChargeText = "abc"; s.form.maxChargeText = "\xff\x81"; },
         kBudget, kBudgetCaption, MessageIcon::Information},
        {"budget saturating equal", [](Search& s) {
             s.form.budgetTicked = true; s.form.minChargeText = "99999999999"; s.form.maxChargeText = "88888888888"; },
         kBudget, kBudgetCaption, MessageIcon::Information},
        {"budget from -1, the no-budget mark",
         [](Search& s) { s.form.budgetTicked = true; s.form.minChargeText = "-1"; },
         kBudget, kBudgetCaption, MessageIcon::Information},
        {"landmark without a name after a valid budget", [](Search& s) {
             s.NearLandmark(); s.conditions.landmarkName[0] = '\0'; s.form.budgetTicked = true; },
         kNoLandmark, kAreaCaption, MessageIcon::Information},
    };
    for (const auto& c : cases) {
        Search s;
        c.arrange(s);
        const SearchUrlResult result = s.Build();
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_TRUE(result.url.empty()) << c.name;
        EXPECT_STREQ(result.message, c.message) << c.name;
        EXPECT_STREQ(result.caption, c.caption) << c.name;
        EXPECT_EQ(result.icon, c.icon) << c.name;
    }
}

TEST(BuildSearchUrl, KeepsWhatEarlierStepsWroteWhenRefusing) {
    const auto primed = [] {
        Search s;
        s.NearLandmark();
        s.conditions.minCharge = 123;
        s.conditions.maxCharge = 456;
        s.conditions.radiusMetres = 2500;
        s.form.budgetTicked = true;
        s.form.minChargeText = "0";
        s.form.maxChargeText = "1";
        return s;
    };
    Search dates = primed();
    dates.conditions.checkoutDate = dates.conditions.checkinDate;
    ASSERT_FALSE(dates.Build().ok);
    EXPECT_EQ(dates.conditions.minCharge, 123);
    EXPECT_EQ(dates.conditions.maxCharge, 456);
    EXPECT_EQ(dates.conditions.radiusMetres, 2500);

    Search budget = primed();
    budget.form.maxChargeText = "0";
    ASSERT_FALSE(budget.Build().ok);
    EXPECT_EQ(budget.conditions.minCharge, -1);
    EXPECT_EQ(budget.conditions.maxCharge, -1);
    EXPECT_EQ(budget.conditions.radiusMetres, 2500);

    Search landmark = primed();
    landmark.conditions.landmarkName[0] = '\0';
    ASSERT_FALSE(landmark.Build().ok);
    EXPECT_EQ(landmark.conditions.minCharge, 0);
    EXPECT_EQ(landmark.conditions.maxCharge, 1);
    EXPECT_EQ(landmark.conditions.radiusMetres, 2500);
    EXPECT_EQ(landmark.conditions.latitude, 35.0);
}

TEST(BuildSearchUrl, AcceptsCheckInFromTheStartOfToday) {
    const struct {
        const char* name;
        LocalDateTime checkin;
        LocalDateTime checkout;
        const char* datePart;
    } cases[] = {
        {"today, one night", Day(2007, 8, 1), Day(2007, 8, 2), "checkinDate=2007-08-01&checkoutDate=2007-08-02"},
        // Today starts at 00:00:00.400; the dropped fraction makes midnight equal.
        {"today at midnight", {2007, 8, 3, 1, 0, 0, 0, 0}, {2007, 8, 4, 2, 0, 0, 0, 0},
         "checkinDate=2007-08-01&checkoutDate=2007-08-02"},
        {"over the year end", Day(2007, 12, 31), Day(2008, 1, 1), "checkinDate=2007-12-31&checkoutDate=2008-01-01"},
        {"no upper limit", Day(9999, 1, 1), Day(30827, 12, 31), "checkinDate=9999-01-01&checkoutDate=30827-12-31"},
    };
    for (const auto& c : cases) {
        Search s;
        s.conditions.checkinDate = c.checkin;
        s.conditions.checkoutDate = c.checkout;
        EXPECT_NE(s.Query().find(std::string("&") + c.datePart + "&adultNum="), std::string::npos) << c.name;
    }
}

TEST(BuildSearchUrl, SendsATickedBudgetAsReadFromTheFirst31Bytes) {
    const std::string lowerPastLimit = std::string(31, ' ') + "7";  // the 7 lies beyond the read bytes
    const std::string upperPastLimit = std::string(30, '0') + "12";  // read as 1
    const struct {
        std::string lower;
        std::string upper;
        std::int32_t minCharge;
        std::int32_t maxCharge;
    } cases[] = {
        {"0", "1", 0, 1},
        {"", "1", 0, 1},
        {"5000", "10000", 5000, 10000},
        {"  300yen", "+400", 300, 400},
        {"0", "99999999999", 0, std::numeric_limits<std::int32_t>::max()},
        {lowerPastLimit, "1", 0, 1},
        {"0", upperPastLimit, 0, 1},
    };
    for (const auto& c : cases) {
        Search s;
        s.form.budgetTicked = true;
        s.form.minChargeText = c.lower;
        s.form.maxChargeText = c.upper;
        EXPECT_TRUE(EndsWith(s.Query(), "&roomNum=1&minCharge=" + std::to_string(c.minCharge) +
                                            "&maxCharge=" + std::to_string(c.maxCharge)))
            << c.lower;
        EXPECT_EQ(s.conditions.minCharge, c.minCharge) << c.lower;
        EXPECT_EQ(s.conditions.maxCharge, c.maxCharge) << c.lower;
    }
}

TEST(BuildSearchUrl, IgnoresTheBudgetEditsWhenNotTicked) {
    Search s;
    s.conditions.minCharge = 5000;
    s.conditions.maxCharge = 10000;
    s.form.minChargeText = "garbage";
    s.form.maxChargeText = "";
    EXPECT_EQ(s.Query().find("Charge"), std::string::npos);
    EXPECT_EQ(s.conditions.minCharge, -1);
    EXPECT_EQ(s.conditions.maxCharge, -1);
}

TEST(BuildSearchUrl, NamesTheAreaByTheCodesFoundAtTheStoredPositions) {
    const struct {
        const char* name;
        std::uint32_t areaMode;
        std::int32_t middle, small, detail;
        bool withDetails;
        const char* areaPart;
    } cases[] = {
        {"no detail classes", 100, 1, 1, -1, false, "middleClassCode=capital&smallClassCode=west"},
        {"detail class chosen", 100, 1, 0, 1, true,
         "middleClassCode=capital&smallClassCode=bay&detailClassCode=east"},
        {"detail list without selection", 100, 0, 1, -1, true, "middleClassCode=north&smallClassCode=west"},
        {"stale detail position", 100, 0, 1, 2, true, "middleClassCode=north&smallClassCode=west"},
        {"middle position not found", 100, 7, 0, -1, false, "middleClassCode=&smallClassCode=bay"},
        {"nothing selected", 100, -1, -1, -1, false, "middleClassCode=&smallClassCode="},
        {"mode never stored", 0, 1, 1, -1, false, "middleClassCode=capital&smallClassCode=west"},
    };
    for (const auto& c : cases) {
        Search s;
        s.conditions.areaMode = c.areaMode;
        s.conditions.middleClassIndex = c.middle;
        s.conditions.smallClassIndex = c.small;
        s.conditions.detailClassIndex = c.detail;
        if (c.withDetails) {
            s.catalogue.detailClasses = {Entry(0, "harbour"), Entry(1, "east")};
        }
        EXPECT_EQ(s.Query().substr(0, std::strlen(c.areaPart) + 13), c.areaPart + std::string("&checkinDate=")) << c.name;
    }
}

TEST(BuildSearchUrl, AddsTheTickedFacilitiesInTheFixedOrder) {
    const struct {
        std::uint8_t SearchConditions::*flag;
        const char* name;
    } facilities[] = {
        {&SearchConditions::kinen, "kinen"},         {&SearchConditions::internet, "internet"},
        {&SearchConditions::daiyoku, "daiyoku"},     {&SearchConditions::onsen, "onsen"},
        {&SearchConditions::breakfast, "breakfast"}, {&SearchConditions::dinner, "dinner"},
    };
    Search none;
    EXPECT_TRUE(EndsWith(none.Query(), "&roomNum=1"));
    Search all;
    std::string allSix = "&roomNum=1";
    for (const auto& facility : facilities) {
        Search one;
        one.conditions.*facility.flag = 1;
        all.conditions.*facility.flag = 1;
        EXPECT_TRUE(EndsWith(one.Query(), std::string("&roomNum=1&squeezeCondition=") + facility.name));
        allSix += std::string("&squeezeCondition=") + facility.name;
    }
    EXPECT_TRUE(EndsWith(all.Query(), allSix));
}

TEST(BuildSearchUrl, ReadsTheRadiusFromTheItemText) {
    const struct {
        std::string item;
        std::int32_t metres;
        const char* sent;
    } cases[] = {
        {"500 [m]", 500, "0.5"},   {"1500 [m]", 1500, "1.5"}, {"3000 [m]", 3000, "3.0"},
        {"", 0, "0.0"},            {"[m]", 0, "0.0"},         {"-500", -500, "-0.5"},
        {"99999999999", std::numeric_limits<std::int32_t>::max(), "2147483.6"},
        {std::string(31, ' ') + "500", 0, "0.0"},
    };
    for (const auto& c : cases) {
        Search s;
        s.NearLandmark();
        s.form.radiusText = c.item;
        EXPECT_NE(s.Query().find(std::string("&searchRadius=") + c.sent + "&checkinDate="), std::string::npos)
            << c.item;
        EXPECT_EQ(s.conditions.radiusMetres, c.metres) << c.item;
    }
}

// The scheme counts: with https the longest host that fits is one byte shorter.
TEST(BuildSearchUrl, RefusesACompositionLongerThanTheUrlBuffer) {
    Search base;
    base.host.authority.clear();
    const std::size_t pathLength = base.Build().url.size() - std::strlen("http://");
    ASSERT_LT(pathLength, qx::kSearchUrlCapacity);
    for (const auto& [scheme, schemeLength] : {std::pair{qx::UrlScheme::Http, 7u}, {qx::UrlScheme::Https, 8u}}) {
        const std::size_t longest = qx::kSearchUrlCapacity - 1 - schemeLength - pathLength;
        Search fits;
        fits.host = {scheme, std::string(longest, 'h')};
        const SearchUrlResult fitting = fits.Build();
        EXPECT_TRUE(fitting.ok) << schemeLength;
        EXPECT_EQ(fitting.url.size(), qx::kSearchUrlCapacity - 1);

        Search over;
        over.host = {scheme, std::string(longest + 1, 'h')};
        const SearchUrlResult refused = over.Build();
        EXPECT_FALSE(refused.ok) << schemeLength;
        EXPECT_TRUE(refused.url.empty());
        EXPECT_STREQ(refused.message, kAreaTooLong);
        EXPECT_STREQ(refused.caption, kAreaCaption);
        EXPECT_EQ(refused.icon, MessageIcon::Information);
    }
}

TEST(BuildSearchUrl, WritesTheSchemeOfTheServiceHost) {
    Search s;
    s.host = {qx::UrlScheme::Https, "secure.test"};
    const SearchUrlResult result = s.Build();
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.url.rfind(std::string("https://secure.test") + kFixedPath, 0), 0u) << result.url;
}

TEST(BuildSearchUrl, SurvivesHostileRecordContents) {
    Search s;
    s.conditions.adultNum = std::numeric_limits<std::int32_t>::min();
    s.conditions.upClassNum = std::numeric_limits<std::int32_t>::max();
    s.conditions.infantWithMBNum = -1;
    s.conditions.roomNum = 0;
    s.conditions.onsen = 0xFF;
    EXPECT_NE(s.Query().find("&adultNum=-2147483648&upClassNum=2147483647&infantWithMBNum=-1&roomNum=0"
                             "&squeezeCondition=onsen"),
              std::string::npos);

    // Code fields filled to their width without a terminating zero are read
    // up to their width and no further.
    Search unterminated;
    std::memset(unterminated.catalogue.middleClasses[1].code, 'c', sizeof(qx::AreaClass::code));
    std::memset(unterminated.catalogue.smallClasses[1].code, 's', sizeof(qx::AreaClass::code));
    const std::string query = unterminated.Query();
    EXPECT_EQ(query.substr(0, 16 + 256 + 16), "middleClassCode=" + std::string(256, 'c') + "&smallClassCode=");
    EXPECT_EQ(query.substr(16 + 256 + 16, 256 + 1), std::string(256, 's') + "&");

    // The largest coordinates that stay finite are written in full.
    Search far;
    far.NearLandmark();
    far.conditions.latitude = -4e304;
    far.conditions.longitude = -4e304;
    const std::string farQuery = far.Query();
    const std::size_t longitude = farQuery.find("&longitude=");
    EXPECT_EQ(farQuery.substr(0, 14), "latitude=-1440");
    EXPECT_EQ(longitude, 9 + 1 + 309 + 3);

    Search unknownPosition;
    unknownPosition.NearLandmark();
    unknownPosition.conditions.latitude = std::nan("");
    unknownPosition.conditions.longitude = -HUGE_VAL;
    const SearchUrlResult result = unknownPosition.Build();
    EXPECT_TRUE(result.ok);
    EXPECT_NE(result.url.find("&searchRadius=1.0&checkinDate=2007-08-10&"), std::string::npos);
}

#ifdef _WIN32
// The Windows build writes its messages in code page 932.
TEST(BuildSearchUrl, WritesItsMessagesInCodePage932OnWindows) {
    Search s;
    s.NearLandmark();
    s.conditions.landmarkName[0] = '\0';
    const SearchUrlResult result = s.Build();
    EXPECT_STREQ(result.caption, "\x83\x47\x83\x8a\x83\x41\x90\xdd\x92\xe8\x83\x47\x83\x89\x81\x5b");
    EXPECT_STREQ(result.message,
                 "\x8e\x7b\x90\xdd\x96\xbc\x82\xaa\x90\xdd\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9"
                 "\x82\xf1\x81\x42");
}
#endif

TEST(SearchConditions, StartsWithEveryFieldZero) {
    alignas(SearchConditions) unsigned char storage[sizeof(SearchConditions)];
    std::memset(storage, 0xA5, sizeof storage);
    const SearchConditions* c = new (storage) SearchConditions;
    const auto zero = [](const auto& field) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&field);
        for (std::size_t i = 0; i < sizeof field; ++i) {
            if (bytes[i] != 0) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(zero(c->areaMode) && zero(c->middleClassName) && zero(c->smallClassName) &&
                zero(c->detailClassName) && zero(c->middleClassIndex) && zero(c->smallClassIndex) &&
                zero(c->detailClassIndex) && zero(c->landmarkName) && zero(c->latitude) &&
                zero(c->longitude) && zero(c->radiusMetres) && zero(c->checkinDate) &&
                zero(c->checkoutDate) && zero(c->adultNum) && zero(c->upClassNum) &&
                zero(c->infantWithMBNum) && zero(c->roomNum) && zero(c->minCharge) && zero(c->maxCharge) &&
                zero(c->kinen) && zero(c->internet) && zero(c->daiyoku) && zero(c->onsen) &&
                zero(c->breakfast) && zero(c->dinner));
    c->~SearchConditions();
}

}  // namespace

TEST(BuildAreaClassUrl, ComposesTheRequestOnTheServiceHostWithItsScheme) {
    const std::string pathAndQuery =
        "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86&operation=GetAreaClass&version=2007-02-28";
    EXPECT_EQ(qx::BuildAreaClassUrl({qx::UrlScheme::Http, kHost}), "http://svc.test:8080" + pathAndQuery);
    EXPECT_EQ(qx::BuildAreaClassUrl({qx::UrlScheme::Https, "secure.test"}), "https://secure.test" + pathAndQuery);
}

// The request fills at most 255 bytes and its zero; a longer one is not sent
// cut. With https the longest host that fits is one byte shorter.
TEST(BuildAreaClassUrl, RefusesAHostThatMakesTheRequestTooLong) {
    const std::size_t pathLength = qx::BuildAreaClassUrl({}).size() - std::strlen("http://");
    for (const auto& [scheme, schemeLength] : {std::pair{qx::UrlScheme::Http, 7u}, {qx::UrlScheme::Https, 8u}}) {
        const std::string longest(qx::kAreaClassUrlCapacity - 1 - schemeLength - pathLength, 'h');
        EXPECT_EQ(qx::BuildAreaClassUrl({scheme, longest}).size(), qx::kAreaClassUrlCapacity - 1) << schemeLength;
        EXPECT_EQ(qx::BuildAreaClassUrl({scheme, longest + "h"}), "") << schemeLength;
    }
}
