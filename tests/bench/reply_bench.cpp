// Reading speed of the two reply readers on generated replies, beside one
// memchr pass over the same bytes as the floor no reader can beat. After the
// runs it prints, per reply, how many memchr passes one read costs.
//
//   build/host/tests/bench/reply_bench [--benchmark_min_time=2]
#include "parse/AreaCatalogue.h"
#include "parse/HotelSearchReply.h"

#include "ReplyBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// One reply and the two benchmarks that read it.
struct Subject {
    std::string label;
    std::string reply;
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

}  // namespace

int main(int argc, char** argv) {
    std::vector<Subject> subjects;
    for (const int hotels : {30, 300, 3000}) {
        subjects.push_back({"hotels/" + std::to_string(hotels), qx::test::GeneratedHotelReply(hotels, 3)});
    }
    subjects.push_back({"areas/47", qx::test::GeneratedAreaReply(47)});

    for (const Subject& subject : subjects) {
        const bool isHotelReply = subject.label.rfind("hotels/", 0) == 0;
        benchmark::RegisterBenchmark(("read/" + subject.label).c_str(),
                                     isHotelReply ? ParseHotelReply : ListAllAreas, subject.reply)
            ->Unit(benchmark::kMicrosecond);
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

    std::printf("\n%-12s %10s %14s %14s %8s\n", "reply", "bytes", "read cpu us", "memchr cpu us", "ratio");
    for (const Subject& subject : subjects) {
        const auto read = reporter.secondsPerIteration.find("read/" + subject.label);
        const auto scan = reporter.secondsPerIteration.find("memchr/" + subject.label);
        if (read == reporter.secondsPerIteration.end() || scan == reporter.secondsPerIteration.end() ||
            scan->second <= 0.0) {
            continue;
        }
        std::printf("%-12s %10zu %14.1f %14.2f %8.0f\n", subject.label.c_str(), subject.reply.size(),
                    read->second * 1e6, scan->second * 1e6, read->second / scan->second);
    }
    return 0;
}
