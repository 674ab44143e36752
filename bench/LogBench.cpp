// Log cost at 100,000 lines against 1,000, and the memory a long log takes.
#include <cstdio>

#include "Benchmarks.h"
#include "support/BrokerFixture.h"

namespace {

constexpr int kSmallLog = 1000;
constexpr int kLargeLog = 100000;
constexpr int kLinesPerSample = 40;
constexpr int kRepetitions = 15;

std::string Line(int number) {
    return "07.12.2026 09:05:03 ... Scriu informatiile in D:\\Schimb\\STOCURI.TXT " + std::to_string(number);
}

void Fill(TEBroker& broker, int lines) {
    for (int i = 0; i < lines; ++i) broker.LogMessage(Line(i));
}

double SecondsPerLine(TEBroker& broker) {
    const double start = WallSeconds();
    Fill(broker, kLinesPerSample);
    return (WallSeconds() - start) / kLinesPerSample;
}

}  // namespace

std::vector<Figure> LogFigures() {
    const std::string smallDir = MakeTempFolder("bench_log_small");
    const std::string largeDir = MakeTempFolder("bench_log_large");
    std::vector<Figure> figures;
    {
        TEBroker small, large;
        PrepareBroker(small, smallDir);
        PrepareBroker(large, largeDir);
        Fill(small, kSmallLog);
        const uint64_t before = PrivateBytes();
        Fill(large, kLargeLog);
        const double grown = double(PrivateBytes()) - double(before);
        const double logBytes = double(large.LogText().size());
        figures.push_back({"6 memory", grown / logBytes, 3,
                           "private bytes +" + std::to_string(uint64_t(grown)) + " for a log of " +
                               std::to_string(uint64_t(logBytes)) + " bytes"});

        double atLarge = 0, atSmall = 0;
        const double ratio = InterleavedRatio(
            kRepetitions, [&] { return SecondsPerLine(large); }, [&] { return SecondsPerLine(small); },
            &atLarge, &atSmall);
        figures.insert(figures.begin(), {"1 log cost", ratio, 1.5,
                                         "a line: " + Millis(atLarge) + " at 100,000 lines, " +
                                             Millis(atSmall) + " at 1,000 (LOG.TXT written each time)"});
    }
    RemoveFolder(smallDir);
    RemoveFolder(largeDir);
    return figures;
}
