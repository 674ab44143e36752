// The idle tick against the bare probes it must make, and the CPU the failed wait uses.
#include <array>

#include "Benchmarks.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "packages/PackageKinds.h"
#include "queries/QueryKinds.h"
#include "support/BrokerFixture.h"

namespace {

constexpr int kTicksPerSample = 400;
constexpr int kRepetitions = 11;

// What an idle tick cannot do without: one directory test, a search per package row,
// an existence test per query row; the paths built once beforehand.
class BareProbes {
public:
    explicit BareProbes(const std::string& dir) : dir_(Wide(dir)) {
        for (size_t i = 0; i < std::size(kPackageKinds); ++i)
            patterns_[i] = Wide(dir + "\\" + std::string(kPackageKinds[i].pattern));
        for (size_t i = 0; i < std::size(kQueryKinds); ++i)
            files_[i] = Wide(dir + "\\" + std::string(kQueryKinds[i].request));
    }

    void Run() const {
        if (GetFileAttributesW(dir_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        for (const std::wstring& pattern : patterns_) {
            WIN32_FIND_DATAW entry;
            UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                               FindExSearchNameMatch, nullptr, 0));
        }
        for (const std::wstring& file : files_) GetFileAttributesW(file.c_str());
    }

private:
    std::wstring dir_;
    std::array<std::wstring, std::size(kPackageKinds)> patterns_;
    std::array<std::wstring, std::size(kQueryKinds)> files_;
};

template <class Step>
double CpuSeconds(Step step) {
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < kTicksPerSample; ++i) step();
    return ThreadCpuSeconds() - start;
}

template <class Step>
double WallOf(Step step) {
    const double start = WallSeconds();
    for (int i = 0; i < kTicksPerSample; ++i) step();
    return WallSeconds() - start;
}

}  // namespace

Figure IdleTickFigure() {
    const std::string dir = MakeTempFolder("bench_tick");
    Figure figure;
    {
        FakeServer server;
        TEBroker broker;
        PrepareBroker(broker, dir);
        broker.FServer = server.Ref();
        broker.FImmediate = true;  // with "RaspunsImediat" on: the tick also keeps the directory's watch
        broker.Tick();             // the first tick also looks for a journal
        const BareProbes probes(dir);
        auto tick = [&] { broker.Tick(); };
        auto bare = [&] { probes.Run(); };
        double tickCpu = 0, bareCpu = 0;
        figure.ratio = InterleavedRatio(
            kRepetitions, [&] { return CpuSeconds(tick); }, [&] { return CpuSeconds(bare); }, &tickCpu,
            &bareCpu);
        const double wallRatio = InterleavedRatio(
            kRepetitions, [&] { return WallOf(tick); }, [&] { return WallOf(bare); });
        figure.name = "2 idle tick";
        figure.target = 1.3;
        figure.detail = "thread CPU per tick " + Millis(tickCpu / kTicksPerSample) + ", bare probes " +
                        Millis(bareCpu / kTicksPerSample) + "; wall-time ratio " +
                        std::to_string(wallRatio).substr(0, 5);
        broker.FServer.reset();
    }
    RemoveFolder(dir);
    return figure;
}

Figure FailedWaitFigure() {
    const std::string dir = MakeTempFolder("bench_wait");
    const std::string path = dir + "\\FACTURA_1.TXT";
    Figure figure{"5 failed wait", 0, 0.05, ""};
    {
        WriteFileReplacing(Wide(path), "[InfoPachet]\r\n");
        UniqueFile writer(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        TEBroker broker;
        PrepareBroker(broker, dir);
        std::vector<double> ratios;
        double cpu = 0, wall = 0;
        for (int i = 0; i < 3; ++i) {
            const double cpuStart = ProcessCpuSeconds(), wallStart = WallSeconds();
            const bool opened = broker.WaitOpenPackage(Wide(path), PackageKindOf("FACTURA_*.TXT"));
            cpu = ProcessCpuSeconds() - cpuStart;
            wall = WallSeconds() - wallStart;
            ratios.push_back(opened ? 1.0 : cpu / wall);
        }
        figure.ratio = Median(ratios);
        figure.detail = "process CPU " + Millis(cpu) + " in " + Millis(wall) + " (last of 3 waits)";
    }
    RemoveFolder(dir);
    return figure;
}

// (11): the folder that tools/bench.sh fills beforehand with 20,000 other files (made from
// outside, since under Wine each new name costs a read of the whole directory), as Windows
// names it in VQ_BENCH_FULL_DIR.
Figure FullDirectoryFigure() {
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("VQ_BENCH_FULL_DIR", folder, MAX_PATH))
        return {"11 full directory", 0, 1.3, "not run: VQ_BENCH_FULL_DIR names no folder"};
    const std::string dir = folder;
    size_t files = 0;
    ListDirectory(Wide(dir), [&](const WIN32_FIND_DATAW&) { ++files; });
    FakeServer server;
    TEBroker broker;
    PrepareBroker(broker, dir);
    broker.FServer = server.Ref();
    broker.FImmediate = true;
    broker.Tick();
    constexpr int kTicks = 10;
    auto cpu = [&](auto step) {
        const double start = ThreadCpuSeconds();
        for (int i = 0; i < kTicks; ++i) step();
        return ThreadCpuSeconds() - start;
    };
    const std::wstring all = Wide(dir + "\\*");
    auto listing = [&] {
        WIN32_FIND_DATAW entry;
        UniqueFind search(FindFirstFileExW(all.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
        for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &entry)) {
        }
    };
    double tickCpu = 0, listingCpu = 0;
    Figure figure;
    figure.name = "11 full directory";
    figure.target = 1.3;
    figure.ratio = InterleavedRatio(
        7, [&] { return cpu([&] { broker.Tick(); }); }, [&] { return cpu(listing); }, &tickCpu, &listingCpu);
    figure.detail = std::to_string(files) + " files: thread CPU of an idle tick " + Millis(tickCpu / kTicks) +
                    " / of one bare listing " + Millis(listingCpu / kTicks);
    broker.FServer.reset();
    return figure;
}
