// Timing and the figures the Windows benchmark drivers print: a stopwatch on
// the performance counter, and the median and minimum of repeated runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace qx::bench {

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }

    double Milliseconds() const {
        LARGE_INTEGER now{};
        LARGE_INTEGER frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};

// The median (the mean of the middle two for an even count); 0 when empty.
inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

inline double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// Figures collected run by run under their labels, printed in the order the
// labels first came, as median and minimum, with the verdict against a
// target where the figure has one (target 0: none) and the figure measured
// before the last change that aimed at it (0: none).
class FigureTable {
public:
    void Add(const std::string& label, double value, double targetMs = 0.0, double beforeMs = 0.0) {
        for (Row& row : rows_) {
            if (row.label == label) {
                row.values.push_back(value);
                return;
            }
        }
        rows_.push_back({label, {value}, targetMs, beforeMs});
    }

    void Print(const char* unit) const {
        std::printf("  %-60s %9s %9s\n", unit, "median", "min");
        for (const Row& row : rows_) {
            const double median = Median(row.values);
            std::printf("  %-60s %9.1f %9.1f", row.label.c_str(), median, Minimum(row.values));
            if (row.targetMs > 0.0) {
                std::printf("   %s (target %.0f)", median <= row.targetMs ? "met" : "MISSED", row.targetMs);
            }
            if (row.beforeMs > 0.0) {
                std::printf("   before: %.0f", row.beforeMs);
            }
            std::printf("\n");
        }
    }

private:
    struct Row {
        std::string label;
        std::vector<double> values;
        double targetMs;
        double beforeMs;
    };
    std::vector<Row> rows_;
};

}  // namespace qx::bench
