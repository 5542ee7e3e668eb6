// One set of search conditions as the soak run types them into the search
// conditions dialog, drawn at random, and what the program must make of them:
// the six summary texts of a successful search, or the message that refuses them.
#pragma once

#include <windows.h>

#include <random>
#include <string>

namespace qx::test {

struct Summaries {
    std::string area, period, budget, people, rooms, options;
    bool operator==(const Summaries& other) const;
};

// The ways conditions can be refused before any request is made.
enum class Refusal { None, CheckoutNotAfterCheckin, CheckinPast, BudgetReversed, NoLandmarkName };

// The names of an area as its three lists show them.
struct AreaChoice {
    std::string middle, small, detail;
};

struct MessageText {
    std::string caption;
    std::string text;
};

class SearchForm {
public:
    static constexpr int kFacilityCount = 6;

    // Valid conditions: check-in within two months, one to four nights, a
    // party that mostly fits, a budget and facilities now and then.
    static SearchForm Random(std::mt19937& random);
    // One adult in one room for one night a week from now; no budget, no facilities.
    static SearchForm Plain();
    // Spoils the conditions the way refusal names (not NoLandmarkName, which
    // needs a landmark without a name).
    void Spoil(Refusal refusal, std::mt19937& random);
    static MessageText MessageFor(Refusal refusal);

    // Selects the area radio button and a random area from the dialog's lists.
    void ChooseArea(HWND dialog, std::mt19937& random);
    // Selects the area radio button and that area.
    void ChooseArea(HWND dialog, const AreaChoice& area);
    // Sets dates, party, rooms, budget and facilities.
    void FillStay(HWND dialog) const;
    Summaries Expected() const;

    std::string middleClass, smallClass, detailClass;
    bool nearLandmark = false;
    std::string landmarkName;
    int radiusMetres = 1000;
    SYSTEMTIME checkin{}, checkout{};
    int adults = 1, children = 0, infants = 0, rooms = 1;
    bool budget = false;
    int minCharge = 5000, maxCharge = 10000;
    bool facilities[kFacilityCount] = {};
};

// The local date `days` days from today (negative: before), at midnight.
SYSTEMTIME DayFromToday(int days);

}  // namespace qx::test
