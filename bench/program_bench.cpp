// The program's own figures under Wine, measured from outside as a user meets
// them: qx_front.exe started as a process of its own against the local web
// service on its compiled-in port, its windows found by caption and worked
// from here (tests/e2e's helpers).
//
//   1. the bare start of a trivial Windows process (this program with --exit);
//   2. start-up (process start to the search conditions dialog on screen) and
//      a 30-hotel search (the search click to the main window's list filled),
//      each with how often the progress window showed (only a fetch still
//      running after 300 ms shows it);
//   3. a 3000-hotel search, a header click sorting its list, the peak and
//      current working set of the program after it, after a 50-hotel search
//      and after opening and closing the plan window 100 times.
//
// The search replies come from the service's /_control/hotels, which answers
// the next search with one page of the number of hotels asked for.
//
//   program_bench.exe <qx_front.exe> [starts]      (run under Wine)
//   program_bench.exe --paged <qx_front.exe> [runs] (the paged search below)
#include "Figures.h"

#include "res/resource.h"
#include "tests/support/LocalService.h"
#include "tests/e2e/ProgramCaptions.h"
#include "tests/support/RemoteWindows.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace qx::bench {
namespace {

using test::kMainCaption;
using test::kPlanCaptionEnd;
using test::kProgressCaption;
using test::kSearchCaption;
using test::Program;

using test::kAreaTarget;
constexpr char kSearchPath[] = "/vws/1.4/rest";

constexpr double kStartupTargetMs = 500.0;
constexpr double kSearchTargetMs = 200.0;
constexpr double kLongSearchTargetMs = 2500.0;
constexpr double kHeaderClickTargetMs = 400.0;
constexpr double kPeakMemoryTargetMb = 63.0;
// The same figures while every fetch waited 200 ms before it started and
// paused 5 ms before each 1024-byte read.
constexpr double kStartupBeforeMs = 1169.0;
constexpr double kSearchBeforeMs = 965.0;
constexpr double kLongSearchBeforeMs = 21200.0;
// Before sorting read its cells once and wrappers were found without window properties.
constexpr double kHeaderClickBeforeMs = 13400.0;
constexpr int kLowestChargeColumn = 3;
constexpr int kPlanOpenings = 100;

// Milliseconds until condition holds, checked every 2 ms; -1 after limitMs.
double MillisecondsUntil(const std::function<bool()>& condition, double limitMs) {
    const Stopwatch watch;
    while (!condition()) {
        if (watch.Milliseconds() > limitMs) {
            return -1.0;
        }
        Sleep(2);
    }
    return watch.Milliseconds();
}

// One step that may fetch behind the progress window: milliseconds from the
// step's start to its end (-1 when it did not end within its limit), and
// whether the progress window was seen on screen meanwhile.
struct FetchingStep {
    double ended = -1;
    bool progressShown = false;
};

FetchingStep TimeFetchingStep(const Program& program, const Stopwatch& watch, const std::function<bool()>& ended,
                              double limitMs) {
    FetchingStep step;
    const double elapsed = MillisecondsUntil(
        [&] {
            step.progressShown = step.progressShown || program.PeekWindow(kProgressCaption) != nullptr;
            return ended();
        },
        limitMs);
    step.ended = elapsed < 0 ? -1.0 : watch.Milliseconds();
    return step;
}

// A fetching step's time, held against its target, and how often the
// progress window showed in it (counted as 100 for a run where it did).
void AddStep(FigureTable& figures, const std::string& name, const FetchingStep& step, double targetMs,
             double beforeMs) {
    figures.Add(name, step.ended, targetMs, beforeMs);
    const std::string shortName = name.substr(0, name.find(':'));
    figures.Add("    " + shortName + ": runs showing the progress window, %", step.progressShown ? 100.0 : 0.0);
}

// Arms the service to answer the next search with one page of that many
// hotels, each with at most plans of its plans.
bool ArmHotels(int hotels, int plans = 8) {
    const std::string reply = test::Fetch(std::string("/_control/hotels?path=") + kSearchPath +
                                         "&hotels=" + std::to_string(hotels) + "&plans=" + std::to_string(plans));
    return reply.find("\"armed\"") != std::string::npos;
}

// The reply the program got to its last search: the same request, answered
// the same way, fetched again here in one go without pauses.
struct Refetch {
    std::size_t bytes = 0;
    double ms = 0;
};

Refetch LastSearchReply(int hotels, int plans = 8) {
    const std::vector<test::LoggedRequest> requests = test::RequestsSince(0);
    for (auto request = requests.rbegin(); request != requests.rend(); ++request) {
        if (request->target.find("operation=VacantHotelSearch") != std::string::npos) {
            ArmHotels(hotels, plans);
            const Stopwatch watch;
            const std::size_t bytes = test::Fetch(request->target).size();
            return {bytes, watch.Milliseconds()};
        }
    }
    return {};
}

// Dates the service accepts whatever today is: next January.
void SetNextJanuary(HWND searchDialog) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const WORD year = static_cast<WORD>(now.wYear + 1);
    test::SetPickerDate(searchDialog, IDC_CHECKIN_PICKER, year, 1, 10);
    test::SetPickerDate(searchDialog, IDC_CHECKOUT_PICKER, year, 1, 12);
}

// Clicks search in the search conditions dialog and times it until the main
// window shows a list of that many rows.
FetchingStep TimeSearch(const Program& program, HWND searchDialog, int rows, double limitMs) {
    const Stopwatch watch;
    test::Click(searchDialog, IDOK);
    return TimeFetchingStep(
        program, watch,
        [&] {
            HWND main = program.PeekWindow(kMainCaption);
            return main != nullptr && test::RowCount(GetDlgItem(main, IDC_HOTEL_LIST)) == rows;
        },
        limitMs);
}

// Ends the program with its exit command, wherever it stands.
void Close(const Program& program) {
    for (HWND window : program.VisibleWindows()) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    if (program.WaitForExit(15000) == -1) {
        std::fprintf(stderr, "program_bench: qx_front.exe did not end\n");
    }
}

// Starts this program with --exit and waits for its end: the bare cost of a
// Windows process under this Wine. -1 when it could not be started.
double TrivialProcessMs(const std::string& self) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + self + "\" --exit";
    const Stopwatch watch;
    if (!CreateProcessA(self.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1.0;
    }
    WaitForSingleObject(process.hProcess, 30000);
    const double elapsed = watch.Milliseconds();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

// One start and one 30-hotel search; false when either did not happen.
bool StartAndSearch(const std::string& path, FigureTable& figures) {
    const Stopwatch watch;
    const Program program(path);
    const FetchingStep startup = TimeFetchingStep(
        program, watch, [&] { return program.PeekWindow(kSearchCaption) != nullptr; }, 30000);
    if (!program.Started() || startup.ended < 0) {
        std::fprintf(stderr, "program_bench: no search conditions dialog after the start\n");
        return false;
    }
    AddStep(figures, "start-up: process start to search dialog", startup, kStartupTargetMs, kStartupBeforeMs);

    HWND dialog = program.PeekWindow(kSearchCaption);
    SetNextJanuary(dialog);
    ArmHotels(30);
    const FetchingStep search = TimeSearch(program, dialog, 30, 30000);
    if (search.ended < 0) {
        std::fprintf(stderr, "program_bench: the 30-hotel search did not fill the list\n");
        Close(program);
        return false;
    }
    const Refetch reply = LastSearchReply(30);
    AddStep(figures, "30-hotel search: click to list filled", search, kSearchTargetMs, kSearchBeforeMs);
    figures.Add("    the same reply fetched here (WinINet)", reply.ms);
    Close(program);
    return true;
}

struct Memory {
    double peakMb = 0;
    double currentMb = 0;
    double pagefileMb = 0;
};

Memory MemoryOf(const Program& program) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    Memory memory;
    if (GetProcessMemoryInfo(program.Handle(), &counters, sizeof counters)) {
        constexpr double kMb = 1024.0 * 1024.0;
        memory.peakMb = static_cast<double>(counters.PeakWorkingSetSize) / kMb;
        memory.currentMb = static_cast<double>(counters.WorkingSetSize) / kMb;
        memory.pagefileMb = static_cast<double>(counters.PagefileUsage) / kMb;
    }
    return memory;
}

void PrintMemory(const char* stage, const Memory& memory) {
    std::printf("  %-52s %8.1f %8.1f %8.1f\n", stage, memory.peakMb, memory.currentMb, memory.pagefileMb);
}

// Opens the plan window of row and closes it once its picture was asked for;
// milliseconds from the click to the window on screen, or -1.
double OpenAndClosePlans(const Program& program, HWND main, int row) {
    HWND list = GetDlgItem(main, IDC_HOTEL_LIST);
    test::SelectRow(list, row);
    const std::size_t requestsBefore = test::RequestLog().size();
    const Stopwatch watch;
    test::Click(main, IDC_PLAN_BUTTON);
    if (MillisecondsUntil([&] { return program.PeekWindow(kPlanCaptionEnd, true) != nullptr; }, 15000) < 0) {
        return -1.0;
    }
    const double openMs = watch.Milliseconds();
    HWND plan = program.PeekWindow(kPlanCaptionEnd, true);
    MillisecondsUntil(
        [&] {
            for (const test::LoggedRequest& request : test::RequestsSince(requestsBefore)) {
                if (request.target.rfind("/img/", 0) == 0) {
                    return true;
                }
            }
            return false;
        },
        6000);
    test::Click(plan, IDC_PLAN_CLOSE);
    MillisecondsUntil([&] { return !IsWindow(plan); }, 10000);
    return openMs;
}

// The 3000-hotel search from the search conditions dialog, then a header
// click on its list, with the program's memory after each.
bool LongSearchAndSort(const Program& program, FigureTable& figures) {
    HWND dialog = program.PeekWindow(kSearchCaption);
    SetNextJanuary(dialog);
    // Without plans the 3000 hotels come to about 4 MB.
    ArmHotels(3000, 0);
    const FetchingStep search = TimeSearch(program, dialog, 3000, 180000);
    if (search.ended < 0) {
        std::fprintf(stderr, "program_bench: the 3000-hotel search did not fill the list\n");
        return false;
    }
    PrintMemory("after a 3000-hotel search", MemoryOf(program));
    AddStep(figures, "3000-hotel search: click to list sorted, no plans", search, kLongSearchTargetMs,
            kLongSearchBeforeMs);

    HWND list = GetDlgItem(program.PeekWindow(kMainCaption), IDC_HOTEL_LIST);
    const Stopwatch click;
    test::ClickHeader(list, kLowestChargeColumn);
    figures.Add("3000-hotel list: header click sort (lowest charge)", click.Milliseconds(), kHeaderClickTargetMs,
                kHeaderClickBeforeMs);
    PrintMemory("after sorting it by a header click", MemoryOf(program));
    return true;
}

// A 50-hotel search from the main window, then its plan window opened and
// closed 100 times, with the program's memory after each.
bool PlanWindows(const Program& program, FigureTable& figures) {
    HWND main = program.PeekWindow(kMainCaption);
    test::Click(main, IDC_SEARCH_BUTTON);
    if (MillisecondsUntil([&] { return program.PeekWindow(kSearchCaption) != nullptr; }, 15000) < 0) {
        std::fprintf(stderr, "program_bench: no search conditions dialog from the main window\n");
        return false;
    }
    ArmHotels(50);
    if (TimeSearch(program, program.PeekWindow(kSearchCaption), 50, 60000).ended < 0) {
        std::fprintf(stderr, "program_bench: the 50-hotel search did not fill the list\n");
        return false;
    }
    PrintMemory("after a 50-hotel search", MemoryOf(program));
    for (int opening = 0; opening < kPlanOpenings; ++opening) {
        const double openMs = OpenAndClosePlans(program, main, opening % 50);
        if (openMs < 0) {
            std::fprintf(stderr, "program_bench: plan window %d did not open\n", opening + 1);
            return false;
        }
        figures.Add("plan window: click to window on screen", openMs);
    }
    const Memory memory = MemoryOf(program);
    PrintMemory("after opening the plan window 100 times", memory);
    std::printf("  peak working set %.1f MB   %s (target %.0f MB)\n", memory.peakMb,
                memory.peakMb <= kPeakMemoryTargetMb ? "met" : "MISSED", kPeakMemoryTargetMb);
    return true;
}

// One program through the long list and the plan windows.
bool LongListAndMemory(const std::string& path, FigureTable& figures) {
    const Program program(path);
    if (MillisecondsUntil([&] { return program.PeekWindow(kSearchCaption) != nullptr; }, 30000) < 0) {
        std::fprintf(stderr, "program_bench: no search conditions dialog after the start\n");
        return false;
    }
    std::printf("\n  %-52s %8s %8s %8s\n", "memory of qx_front.exe (GetProcessMemoryInfo), MB", "peak", "current",
                "pagefile");
    PrintMemory("at the search conditions dialog", MemoryOf(program));
    const bool done = LongSearchAndSort(program, figures) && PlanWindows(program, figures);
    Close(program);
    return done;
}

int Run(const std::string& program, const std::string& self, int starts) {
    const std::size_t areaBytes = test::Fetch(kAreaTarget).size();
    if (areaBytes == 0) {
        std::fprintf(stderr, "program_bench: the local web service does not answer on %s\n",
                     test::ServiceUrl("").c_str());
        return 1;
    }
    std::printf("area reply %zu bytes\n", areaBytes);
    FigureTable figures;
    for (int start = 0; start < starts; ++start) {
        figures.Add("trivial process: start to exit", TrivialProcessMs(self));
    }
    for (int start = 0; start < starts; ++start) {
        if (!StartAndSearch(program, figures)) {
            return 1;
        }
    }
    const bool longList = LongListAndMemory(program, figures);
    std::printf("\n%d starts of qx_front.exe and one long-list run\n", starts);
    figures.Print("ms");
    return longList ? 0 : 1;
}

// ---- Paged search ----------------------------------------------------------
// A search whose result the service sends in pages: 1000 hotels in 20 pages
// of 50 (the service's /_control/paging), all read behind one progress window
// from the first conditions dialog. Per run: the click to the main window's
// list filled and sorted, and a header click sorting it; after the last run's
// sort, the plan window opened and closed 100 times, then the program's peak
// working set.

constexpr int kPagedHotels = 1000;
constexpr int kPagedPageSize = 50;
constexpr double kPagedSearchTargetMs = 2000.0;
constexpr double kPagedHeaderClickTargetMs = 100.0;
constexpr double kPagedPeakTargetMb = 80.0;

bool PagedRun(const std::string& path, bool withPlanWindows, FigureTable& figures, FigureTable& memory) {
    const Program program(path);
    if (MillisecondsUntil([&] { return program.PeekWindow(kSearchCaption) != nullptr; }, 30000) < 0) {
        std::fprintf(stderr, "program_bench: no search conditions dialog after the start\n");
        return false;
    }
    SetNextJanuary(program.PeekWindow(kSearchCaption));
    const Stopwatch watch;
    test::Click(program.PeekWindow(kSearchCaption), IDOK);
    const double searchMs = MillisecondsUntil(
        [&] {
            HWND main = program.PeekWindow(kMainCaption);
            return main != nullptr && test::RowCount(GetDlgItem(main, IDC_HOTEL_LIST)) == kPagedHotels;
        },
        120000);
    if (searchMs < 0) {
        std::fprintf(stderr, "program_bench: the paged search did not list %d hotels\n", kPagedHotels);
        Close(program);
        return false;
    }
    figures.Add("1000-hotel search, 20 pages of 50: click to list sorted", searchMs, kPagedSearchTargetMs);
    HWND main = program.PeekWindow(kMainCaption);
    const Stopwatch click;
    test::ClickHeader(GetDlgItem(main, IDC_HOTEL_LIST), kLowestChargeColumn);
    figures.Add("its list: header click sort (lowest charge)", click.Milliseconds(), kPagedHeaderClickTargetMs);
    bool done = true;
    if (withPlanWindows) {
        for (int opening = 0; opening < kPlanOpenings && done; ++opening) {
            done = OpenAndClosePlans(program, main, opening) >= 0;
        }
        memory.Add("peak working set after it and 100 plan windows", MemoryOf(program).peakMb, kPagedPeakTargetMb);
        memory.Add("current working set then", MemoryOf(program).currentMb);
    }
    Close(program);
    return done;
}

int RunPaged(const std::string& path, int runs) {
    const std::string paging = test::Fetch("/_control/paging?records=" + std::to_string(kPagedHotels) +
                                           "&pageSize=" + std::to_string(kPagedPageSize));
    if (paging.find("\"paging\"") == std::string::npos) {
        std::fprintf(stderr, "program_bench: the local web service does not page on %s\n",
                     test::ServiceUrl("").c_str());
        return 1;
    }
    FigureTable figures;
    FigureTable memory;
    bool done = true;
    for (int run = 0; run < runs && done; ++run) {
        done = PagedRun(path, run == runs - 1, figures, memory);
    }
    test::ClearFaults();
    std::printf("%d starts of qx_front.exe, each with one paged search\n", runs);
    figures.Print("ms");
    memory.Print("MB");
    return done ? 0 : 1;
}
// ---- end of the paged search -------------------------------------------------

}  // namespace
}  // namespace qx::bench

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--exit") == 0) {
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[1], "--paged") == 0) {
        return qx::bench::RunPaged(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 3);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_bench <qx_front.exe> [starts]\n");
        return 1;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    return qx::bench::Run(argv[1], self, starts);
}
