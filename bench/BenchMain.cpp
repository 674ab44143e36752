// Prints the ratios that show the service stays fast and small, each measured side by
// side with its reference in one run.
#include <cstdio>
#include <exception>
#include <string>

#include "Benchmarks.h"
#include "base/AnsiText.h"

namespace {

LocalTime BenchClock() { return {2026, 12, 7, 9, 5, 3}; }

}  // namespace

void PrepareBroker(TEBroker& broker, const std::string& workDir) {
    broker.FWorkDir = Wide(workDir);
    broker.FWorkDirText = workDir;
    broker.FClock = BenchClock;
}

// With the argument "9", figure 9 alone (it takes the longest, so it comes last); "local" the
// local-server figures alone, "large" (3) and (4) under both encodings, "files" (11) and (12) alone.
int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "serve") return ServePreparedAnswers();
    if (argc > 2 && std::string(argv[1]) == "respond") return RunResponder(Wide(argv[2]));
    const std::string only = argc > 1 ? argv[1] : "";  // "9", "local", "large" or "files": those figures alone
    const bool monthsOnly = only == "9";
    std::printf("%-22s %8s  %-16s %s\n", "figure", "ratio", "target", "measured");
    int missed = 0;
    size_t count = 0;
    auto print = [&](const std::vector<Figure>& figures) {
        for (const Figure& figure : figures) {
            PrintFigure(figure);
            if (figure.ratio > figure.target) ++missed;
        }
        count += figures.size();
    };
    try {
        if (only == "local") {
            print(LocalServerFigures());
        } else if (only == "large") {
            print({LargePackageFigure(), LargeQueryFigure(), LargePackageFigure(nullptr, true),
                   LargeQueryFigure(nullptr, true)});
        } else if (only == "files") {
            print({FullDirectoryFigure(), LongBacklogFigure()});
        } else if (!monthsOnly) {
            std::vector<Figure> figures = LogFigures();
            figures.insert(figures.begin() + 1, IdleTickFigure());
            for (Figure figure : {LargePackageFigure(), LargeQueryFigure(), LargePackageFigure(nullptr, true),
                                  LargeQueryFigure(nullptr, true), FailedWaitFigure()})
                figures.insert(figures.end() - 1, figure);
            for (const Figure& figure : ServeFigures()) figures.push_back(figure);
            for (const Figure& figure : LocalServerFigures()) figures.push_back(figure);
            figures.push_back(FullDirectoryFigure());
            figures.push_back(LongBacklogFigure());
            print(figures);
        }
        if (only != "local" && only != "large" && only != "files") print(MonthsFigures());
    } catch (const std::exception& error) {
        std::printf("benchmark failed: %s\n", error.what());
        return 2;
    }
    std::printf("%d of %zu targets missed\n", missed, count);
    return 0;
}
