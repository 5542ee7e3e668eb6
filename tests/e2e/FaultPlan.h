// The faults the soak run asks of the local web service before a step, for
// the one request that step makes: which kinds fit which request, how often,
// and how each is armed so that it outlasts the program's time limit where
// that is the point.
#pragma once

#include <random>
#include <string>

namespace qx::test {

enum class FaultTarget { Search, Geocode, Picture };

enum class Fault { None, Status404, Status500, Hang, Drip, Reset, ZeroByte, NotJpeg, NotFound, ServerError };

class FaultPlan {
public:
    // The zero byte goes here in a search reply: past its status, inside the
    // hotels, where the reply's text then ends, so it still reads as a success.
    static constexpr std::size_t kZeroByteOffset = 300;
    // Never-answering and dripping requests last this long on the service:
    // past 30 s for a search, past 5 s for the landmark lookup and the picture.
    static constexpr int kSearchStallSeconds = 40;
    static constexpr int kShortStallSeconds = 8;

    explicit FaultPlan(std::mt19937& random) : random_(random) {}

    // No fault about two times in five; otherwise any kind that fits the target.
    Fault Pick(FaultTarget target);
    // Arms the fault for the target's next request; None arms nothing.
    static bool Arm(FaultTarget target, Fault fault);
    static std::string Name(Fault fault);
    // Faults after which the request fails without any reply to read.
    static bool FailsTheFetch(Fault fault);
    // Faults whose failure comes only from the program's own time limit.
    static bool Stalls(Fault fault) { return fault == Fault::Hang || fault == Fault::Drip; }

private:
    std::mt19937& random_;
};

}  // namespace qx::test
