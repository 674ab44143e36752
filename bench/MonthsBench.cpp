// Months of days in minutes (9): the real VQBroker.exe under Wine with "RaspunsImediat"
// and "ZileIstoricLog=7" serves 100,000 requests back to back while the benchmark moves
// its clock a day on every 5,000 (the registry value ClockDays). Memory and the time of a
// request must not grow with the days: LOG.TXT holds one day, LOGURI seven.
#include <windows.h>

#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "Benchmarks.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "ProcessFigures.h"
#include "support/BrokerFixture.h"
#include "support/ServiceProcess.h"

namespace {

constexpr int kRequests = 100000;
constexpr int kDay = 5000;          // requests a day
constexpr int kPackagesARound = 8;  // partner changes, which do not make the stand-in's data grow
constexpr const char* kQueries[] = {"GETSTOCARTICOL.TXT", "GETLISTAGESTIUNI.TXT"};
constexpr int kRound = kPackagesARound + 2;
static_assert(kDay % kRound == 0 && kRequests % kDay == 0);

// The days the service's clock is ahead, for copies started while this lives.
class ClockDays {
public:
    ClockDays() { Set(0); }
    ~ClockDays() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", L"ClockDays"); }
    ClockDays(const ClockDays&) = delete;
    ClockDays& operator=(const ClockDays&) = delete;
    void Set(DWORD days) {
        if (RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", L"ClockDays", REG_DWORD, &days,
                            sizeof days) != ERROR_SUCCESS)
            throw std::runtime_error("cannot set ClockDays");
    }
};

// Drops one round of requests and waits until the last is served: the queries come
// after every package in a tick's order.
void ServeRound(const ServiceProcess& service, int round) {
    for (int n = 0; n < kPackagesARound; ++n)
        service.Put("MODIPARTENER_" + std::to_string(round * kPackagesARound + n) + ".TXT",
                    "P0002;;;Beta Market Grup SRL;;Bd. Eroilor 14;\r\n");
    service.Put(kQueries[0], "A0001\r\n");
    service.Put(kQueries[1], "");
    if (!WaitUntil([&] { return !service.Exists(kQueries[0]) && !service.Exists(kQueries[1]); }, 30000, 1))
        throw std::runtime_error("a round was not served within 30 s");
}

uint64_t PrivateBytesOf(HANDLE process) {
    const ProcessFigures figures = Measure(process);
    if (!figures.ok) throw std::runtime_error("cannot measure the service's memory");
    return figures.privateBytes;
}

// The service's own time of each request, in seconds, in the order served.
std::vector<double> OwnTimes(const std::string& trace) {
    std::vector<double> times;
    for (const std::string& line : SplitTextLines(ReadShared(trace))) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) times.push_back(std::stod(line.substr(tab + 1)) / 1e6);
    }
    return times;
}

double MeanOfDay(const std::vector<double>& times, int day) {
    const auto first = times.begin() + ptrdiff_t(day) * kDay;
    return std::accumulate(first, first + kDay, 0.0) / kDay;
}

}  // namespace

std::vector<Figure> MonthsFigures() {
    ServiceProcess service(DocServerForm::InProcess);
    const TraceNamed trace(L"RequestTrace", service.exeDir + "requests.txt");
    ClockDays clock;
    service.WriteIni(service.DefaultIni("RaspunsImediat=D\r\nPrefixareErori=D\r\nZileIstoricLog=7\r\n"));
    service.Start();
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, service.ProcessId()));
    if (!process.valid()) throw std::runtime_error("cannot open the service's process");

    const double start = WallSeconds();
    uint64_t atTenThousand = 0;
    for (int round = 0; round < kRequests / kRound; ++round) {
        ServeRound(service, round);
        const int served = (round + 1) * kRound;
        if (served == 2 * kDay) atTenThousand = PrivateBytesOf(process.get());
        if (served % kDay == 0 && served < kRequests) clock.Set(DWORD(served / kDay));
    }
    const uint64_t atEnd = PrivateBytesOf(process.get());
    const double seconds = WallSeconds() - start;
    const FileState log = StateAt(Wide(service.Path("LOG.TXT")));
    const size_t kept = FolderNames(service.Path("LOGURI")).size();
    service.Close();

    const std::vector<double> own = OwnTimes(trace.path);
    if (own.size() != size_t(kRequests))
        throw std::runtime_error("the service noted " + std::to_string(own.size()) + " requests");
    const double second = MeanOfDay(own, 1), last = MeanOfDay(own, kRequests / kDay - 1);
    char detail[320];
    std::snprintf(detail, sizeof detail,
                  "private bytes %llu after 10,000 requests, %llu after %d (%d days in %.0f s); LOG.TXT %llu "
                  "bytes, %zu files in LOGURI (at most 7)",
                  (unsigned long long)atTenThousand, (unsigned long long)atEnd, kRequests, kRequests / kDay,
                  seconds, (unsigned long long)log.size, kept);
    std::vector<Figure> figures;
    figures.push_back({"9 months memory", double(atEnd) / double(atTenThousand), 1.1, detail});
    std::snprintf(detail, sizeof detail, "mean own time of a request: last 5,000 %s, second 5,000 %s",
                  Millis(last).c_str(), Millis(second).c_str());
    figures.push_back({"9 months request time", last / second, 1.1, detail});
    return figures;
}
