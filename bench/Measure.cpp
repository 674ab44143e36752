// Clocks, medians and the figures the benchmark prints.
#include "Measure.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

namespace {

double Seconds(const FILETIME& time) {
    return double((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

}  // namespace

double WallSeconds() {
    static const double frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return double(value.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / frequency;
}

double ThreadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// Wine reports PrivateUsage as the swap in use, 0 on most machines; the committed
// private regions of the address space are what Windows counts there.
uint64_t CommittedPrivateBytes() {
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total;
}

uint64_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage > 0 ? counters.PrivateUsage : CommittedPrivateBytes();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintFigure(const Figure& figure) {
    std::printf("%-22s %8.3f  target <= %-5g %s  %s\n", figure.name.c_str(), figure.ratio, figure.target,
                figure.ratio <= figure.target ? "met   " : "MISSED", figure.detail.c_str());
    std::fflush(stdout);
}

std::string Millis(double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f ms", seconds * 1000);
    return text;
}
