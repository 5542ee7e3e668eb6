// A long run of the program under random steps and faults: searches by area
// and by landmark, refused conditions and plan windows, each with a fault the
// local web service plays on the request it makes. After every step the
// program must answer, show only its main window, and show what the step's
// conditions and the service's reply (or fault) call for.
#pragma once

#include "FaultPlan.h"
#include "tests/support/RemoteWindows.h"
#include "SearchForm.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace qx::test {

// The main window's list (hotel numbers, in row order) and summaries.
struct MainView {
    std::vector<std::string> hotelNumbers;
    Summaries summaries;
    bool operator==(const MainView& other) const {
        return hotelNumbers == other.hotelNumbers && summaries == other.summaries;
    }
};

class SoakRun {
public:
    // longForm: stalled searches wait out the time limit as often as they are
    // cancelled; otherwise most are cancelled, to keep the run short.
    SoakRun(Program& program, unsigned seed, bool longForm);

    // The first search from the start-up dialog and the waiting picture's
    // look; false when the program never got that far.
    bool Start();
    void RandomStep();
    // Seconds to wait until every fault the service may still be playing has ended.
    DWORD MsUntilFaultsEnd() const;
    // Opens a plan window whose picture never comes and closes it at once, so
    // that the program can be ended while the download's worker still waits.
    void LeaveAStalledDownload();
    void PrintTally(std::FILE* out) const;
    HWND MainWindow() const { return main_; }

private:
    void AreaSearch();
    void LandmarkSearch();
    void RefusedSearch();
    void PlanWindow();

    HWND OpenSearchDialog();
    // Picks a place in the landmark dialog for form; false when none was listed.
    bool PickLandmark(HWND dialog, SearchForm& form, Fault lookupFault, const std::string& query);
    HWND OpenFirstPlan(const std::string& faultKind, int seconds);
    // Arms the fault, once no earlier request is still being answered, and
    // notes when the service may still be playing it.
    void Arm(FaultTarget target, Fault fault);
    // Waits until the service answers no request: a fetch the program gave up
    // must be over before a fault is armed, or a late request of it could
    // take the fault meant for the next one.
    void AwaitIdleService();
    // Presses search and checks the outcome; the dialog stays open after a message.
    std::string Search(HWND dialog, const SearchForm& form, Fault fault, bool startUp = false);
    std::string AwaitFetchFailure(HWND dialog, Fault fault);
    std::string AwaitReply(HWND dialog, const SearchForm& form, Fault fault, std::size_t logStart, bool startUp);
    void ExpectMessage(const MessageText& expected, DWORD limitMs, const std::string& what);
    void CancelSearchDialog(HWND dialog, const MainView& before);
    void ExpectPicture(HWND plan, Fault fault, std::size_t logStart);
    void ClosePlan(HWND plan, Fault fault);
    void CheckSettled(const std::string& step);

    MainView View() const;
    void Count(const std::string& step, Fault fault, const std::string& outcome);
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    Program& program_;
    std::mt19937 random_;
    FaultPlan faults_;
    const bool longForm_;
    HWND main_ = nullptr;
    std::vector<DWORD> waitingPicture_;
    DWORD lastStallTick_ = 0;
    bool stalled_ = false;
    std::map<std::string, int> stepsByFault_;
    std::map<std::string, int> outcomes_;
};

}  // namespace qx::test
