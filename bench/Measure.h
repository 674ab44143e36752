// Clocks, medians and the figures the benchmark prints.
#pragma once

#include <windows.h>

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

// Runs two measurements alternately, repetitions times, and returns the ratio of their
// medians: side by side, so a busy machine slows both alike.
template <class Measured, class Reference>
double InterleavedRatio(int repetitions, Measured measured, Reference reference,
                        double* measuredMedian = nullptr, double* referenceMedian = nullptr) {
    std::vector<double> a, b;
    for (int i = 0; i < repetitions; ++i) {
        a.push_back(measured());
        b.push_back(reference());
    }
    const double top = Median(a), bottom = Median(b);
    if (measuredMedian) *measuredMedian = top;
    if (referenceMedian) *referenceMedian = bottom;
    return bottom > 0 ? top / bottom : 0;
}

// "12.3 ms" and the like, for the details.
std::string Millis(double seconds);
