// Reading speed of the two reply readers on generated replies, beside one
// memchr pass over the same bytes as the floor no reader can beat, and the
// hotel replies also read by a general XML parser (pugixml) into the same
// records. Before timing, both readings of every hotel reply must give
// identical records, else the program stops with exit code 2. After the runs
// it prints, per reply, how many memchr passes one read costs and the ratio
// of our reading time to pugixml's.
//
//   build/host/bench/reply_bench [--reply=<label>:<file>]... [--benchmark_min_time=2]
//
// --reply adds a VacantHotelSearch reply saved in code page 932 (as the
// program holds it after its fetch), e.g. one of the local web service.
#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"

#include "PugiReplyReader.h"
#include "RecordDifference.h"
#include "ReplyBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One reply and the two benchmarks that read it.
struct Subject {
    std::string label;
    std::string reply;
    bool isHotelReply = true;
};

void ScanWithMemchr(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        // A byte no reply holds, so every pass runs to the end. The pointer
        // goes through DoNotOptimize so the pass is not hoisted out of the loop.
        const char* data = bytes.data();
        benchmark::DoNotOptimize(data);
        const void* found = std::memchr(data, '\x01', bytes.size());
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

void ParseHotelReply(benchmark::State& state, const std::string& bytes) {
    qx::HotelSearchReply reply;
    reply.SetReplyText(bytes);
    // The program keeps one reply object for the whole run; after its first
    // search the record arrays already have their room.
    reply.Parse();
    for (auto _ : state) {
        benchmark::DoNotOptimize(reply.Parse());
        benchmark::DoNotOptimize(reply.plans.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
    state.counters["hotels"] = static_cast<double>(reply.hotels.size());
    state.counters["plans"] = static_cast<double>(reply.plans.size());
}

void ParseHotelReplyWithPugixml(benchmark::State& state, const std::string& bytes) {
    qx::bench::PugiReplyReader reader;
    reader.Parse(bytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.Parse(bytes));
        benchmark::DoNotOptimize(reader.plans.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
    state.counters["hotels"] = static_cast<double>(reader.hotels.size());
    state.counters["plans"] = static_cast<double>(reader.plans.size());
}

void ListAllAreas(benchmark::State& state, const std::string& bytes) {
    qx::AreaCatalogue catalogue;
    catalogue.SetReplyText(bytes);
    std::size_t smallClasses = 0;
    for (auto _ : state) {
        smallClasses = 0;
        catalogue.ListMiddleClasses();
        for (const qx::AreaClass& middle : catalogue.middleClasses) {
            catalogue.ListSmallClasses(middle.index);
            smallClasses += catalogue.smallClasses.size();
        }
        benchmark::DoNotOptimize(smallClasses);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
    state.counters["middle"] = static_cast<double>(catalogue.middleClasses.size());
    state.counters["small"] = static_cast<double>(smallClasses);
}

// Console output as usual, and the CPU time per iteration of every run kept by
// benchmark name for the ratios: the MB/s figures are CPU-time rates too, and
// CPU time stays meaningful when other processes share the machine.
class TimeKeepingReporter : public benchmark::ConsoleReporter {
public:
    // Plain tables: the output is meant for reports and logs.
    TimeKeepingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                secondsPerIteration[run.benchmark_name()] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> secondsPerIteration;
};

// CPU time per iteration of one benchmark, or 0 when it did not run.
double Seconds(const std::map<std::string, double>& times, const std::string& name) {
    const auto found = times.find(name);
    return found == times.end() ? 0.0 : found->second;
}

void PrintRatios(const std::vector<Subject>& subjects, const std::map<std::string, double>& times) {
    std::printf("\n%-16s %10s %12s %12s %8s %12s %10s\n", "reply", "bytes", "ours cpu us", "memchr us",
                "/memchr", "pugixml us", "ours/pugi");
    for (const Subject& subject : subjects) {
        const double read = Seconds(times, "read/" + subject.label);
        const double scan = Seconds(times, "memchr/" + subject.label);
        const double pugi = Seconds(times, "pugixml/" + subject.label);
        if (read <= 0.0 || scan <= 0.0) {
            continue;
        }
        std::printf("%-16s %10zu %12.1f %12.2f %8.0f", subject.label.c_str(), subject.reply.size(), read * 1e6,
                    scan * 1e6, read / scan);
        if (pugi > 0.0) {
            std::printf(" %12.1f %10.2f", pugi * 1e6, read / pugi);
        }
        std::printf("\n");
    }
}

// Both readers on one hotel reply: the difference of their records, or empty.
std::string ReadingDifference(const std::string& bytes) {
    qx::HotelSearchReply ours;
    ours.SetReplyText(bytes);
    const qx::ReplyStatus ourStatus = ours.Parse();
    qx::bench::PugiReplyReader theirs;
    if (theirs.Parse(bytes) != ourStatus) {
        return "status";
    }
    return qx::bench::RecordDifference(ours.hotels, ours.plans, theirs.hotels, theirs.plans);
}

// Takes the --reply=<label>:<file> arguments out of argv (Google Benchmark
// rejects arguments it does not know) and adds each file as a hotel reply.
bool TakeReplyFiles(int& argc, char** argv, std::vector<Subject>& subjects) {
    constexpr std::string_view kOption = "--reply=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.rfind(kOption, 0) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const std::string_view value = argument.substr(kOption.size());
        const std::size_t colon = value.find(':');
        std::ifstream file(std::string(value.substr(colon == std::string_view::npos ? 0 : colon + 1)),
                           std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        if (colon == std::string_view::npos || !file || bytes.str().empty()) {
            std::fprintf(stderr, "reply_bench: cannot read %s\n", argv[i]);
            return false;
        }
        subjects.push_back({std::string(value.substr(0, colon)), bytes.str()});
    }
    argc = kept;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Subject> subjects;
    for (const int hotels : {30, 300, 3000}) {
        subjects.push_back({"hotels/" + std::to_string(hotels), qx::test::GeneratedHotelReply(hotels, 3)});
    }
    if (!TakeReplyFiles(argc, argv, subjects)) {
        return 1;
    }
    subjects.push_back({"areas/47", qx::test::GeneratedAreaReply(47), false});

    for (const Subject& subject : subjects) {
        if (!subject.isHotelReply) {
            continue;
        }
        const std::string difference = ReadingDifference(subject.reply);
        if (!difference.empty()) {
            std::fprintf(stderr, "reply_bench: %s: pugixml reads other records than ours (%s)\n",
                         subject.label.c_str(), difference.c_str());
            return 2;
        }
        std::printf("%s: both readers give identical records\n", subject.label.c_str());
    }

    for (const Subject& subject : subjects) {
        benchmark::RegisterBenchmark(("read/" + subject.label).c_str(),
                                     subject.isHotelReply ? ParseHotelReply : ListAllAreas, subject.reply)
            ->Unit(benchmark::kMicrosecond);
        if (subject.isHotelReply) {
            benchmark::RegisterBenchmark(("pugixml/" + subject.label).c_str(), ParseHotelReplyWithPugixml,
                                         subject.reply)
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("memchr/" + subject.label).c_str(), ScanWithMemchr, subject.reply)
            ->Unit(benchmark::kMicrosecond);
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(subjects, reporter.secondsPerIteration);
    return 0;
}
