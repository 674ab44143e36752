// Clocks, medians and the figures the benchmark prints.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Wall time in seconds from the performance counter.
double WallSeconds();
// CPU time (user + kernel) in seconds of the calling thread, or of the whole process.
double ThreadCpuSeconds();
double ProcessCpuSeconds();
// The process's private bytes (committed memory no other process shares).
uint64_t PrivateBytes();
uint64_t CommittedPrivateBytes();

double Median(std::vector<double> values);

// One ratio against its target; detail says what was measured on each side.
struct Figure {
    std::string name;
    double ratio = 0;
    double target = 0;
    std::string detail;
};

void PrintFigure(const Figure& figure);

// Runs the measurements in turn, repetitions times, and returns the median of each:
// side by side, so a busy machine slows them alike.
template <class... Measurements>
std::array<double, sizeof...(Measurements)> InterleavedMedians(int repetitions,
                                                               Measurements... measurements) {
    std::array<std::vector<double>, sizeof...(Measurements)> samples;
    for (int i = 0; i < repetitions; ++i) {
        size_t next = 0;
        ((samples[next++].push_back(measurements())), ...);
    }
    std::array<double, sizeof...(Measurements)> medians{};
    for (size_t k = 0; k < medians.size(); ++k) medians[k] = Median(samples[k]);
    return medians;
}

// The ratio of two interleaved measurements' medians.
template <class Measured, class Reference>
double InterleavedRatio(int repetitions, Measured measured, Reference reference,
                        double* measuredMedian = nullptr, double* referenceMedian = nullptr) {
    const auto [top, bottom] = InterleavedMedians(repetitions, measured, reference);
    if (measuredMedian) *measuredMedian = top;
    if (referenceMedian) *referenceMedian = bottom;
    return bottom > 0 ? top / bottom : 0;
}

// "12.3 ms" and the like, for the details.
std::string Millis(double seconds);
