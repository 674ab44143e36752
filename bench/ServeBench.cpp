// The real VQBroker.exe under Wine with the stand-in server, driven from outside as an
// outside system drives it: the round trip of a query (7) and a backlog of packages (8),
// with "RaspunsImediat" off and on, against the service's own time for each request, which
// the service notes in the file that the registry value RequestTrace names.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "Benchmarks.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "support/ServiceProcess.h"

namespace {

constexpr int kQueries = 50;
constexpr int kBacklog = 500;
constexpr int kBacklogOff = 20;  // at one a second, 500 would take over eight minutes

void Clear(const TraceNamed& trace) { DeleteFileW(Wide(trace.path).c_str()); }

// The round trips of kQueries queries in a row.
std::vector<double> RoundTrips(const ServiceProcess& service) {
    std::vector<double> seconds;
    for (int i = 0; i < kQueries; ++i) {
        seconds.push_back(QueryRoundTrip(service));
        if (seconds.back() < 0) throw std::runtime_error("a query was not answered within 10 s");
    }
    return seconds;
}

double Mean(const std::vector<double>& values) {
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

double Percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(0.95 * double(values.size())))];
}

std::string Settings(const ServiceProcess& service, bool immediate) {
    return service.DefaultIni(immediate ? "RaspunsImediat=D\r\nPrefixareErori=D\r\n" : "PrefixareErori=D\r\n");
}

}  // namespace

// Seconds from the window's appearance until the last of count packages is disposed of.
double DrainBacklog(ServiceProcess& service, bool immediate, int count) {
    for (int n = 1; n <= count; ++n) service.Put("COMANDA_" + std::to_string(n) + ".TXT", kOneOrder);
    service.WriteIni(Settings(service, immediate));
    service.Start();
    const double start = WallSeconds();
    const bool drained = WaitUntil(
        [&] {
            WIN32_FIND_DATAW entry;
            UniqueFind search(FindFirstFileW(Wide(service.Path("COMANDA_*.TXT")).c_str(), &entry));
            return !search.valid();
        },
        DWORD(count) * 3000, 5);
    const double seconds = WallSeconds() - start;
    service.Close();
    if (!drained) throw std::runtime_error("the backlog was not drained");
    return seconds;
}

// Each request's own time, in seconds, in the order served, as the service noted them.
std::vector<double> OwnTimes(const TraceNamed& trace) {
    std::vector<double> times;
    for (const std::string& line : SplitTextLines(ReadShared(trace.path))) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) times.push_back(std::stod(line.substr(tab + 1)) / 1e6);
    }
    return times;
}

double QueryRoundTrip(const WorkFolder& service) {
    // Each answer is a new file in the old one's place.
    const FileIdentity before = IdentityOf(service.Path("STOCARTICOL.TXT"));
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    // Woken by the directory's changes, not by polling, which would take a core from the service.
    UniqueChangeWatch changes(
        FindFirstChangeNotificationW(Wide(service.workDir).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    service.Put("GETSTOCARTICOL.TXT", "A0001\r\n");
    const auto done = [&] {
        return !service.Exists("GETSTOCARTICOL.TXT") && service.Exists("STOCARTICOL.TXT") &&
               !(IdentityOf(service.Path("STOCARTICOL.TXT")) == before);
    };
    const ULONGLONG deadline = GetTickCount64() + 10000;
    bool answered = done();
    for (ULONGLONG now = GetTickCount64(); !answered && now < deadline; now = GetTickCount64()) {
        WaitForSingleObject(changes.get(), DWORD(std::min<ULONGLONG>(deadline - now, 50)));
        FindNextChangeNotification(changes.get());
        answered = done();
    }
    QueryPerformanceCounter(&end);
    return answered ? double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) : -1;
}


std::vector<Figure> ServeFigures() {
    ServiceProcess service(DocServerForm::InProcess);
    const TraceNamed trace(L"RequestTrace", service.exeDir + "requests.txt");
    std::vector<Figure> figures;

    std::vector<double> off, on;
    for (bool immediate : {false, true}) {
        service.WriteIni(Settings(service, immediate));
        service.Start();
        Sleep(1500);  // start-up done
        Clear(trace);
        (immediate ? on : off) = RoundTrips(service);
        service.Close();
    }
    const std::vector<double> own = OwnTimes(trace);  // the run with the setting on
    char detail[256];
    std::snprintf(detail, sizeof detail,
                  "%d queries each: on mean %s, p95 %s; service's own time mean %s, p95 %s", kQueries,
                  Millis(Mean(on)).c_str(), Millis(Percentile95(on)).c_str(), Millis(Mean(own)).c_str(),
                  Millis(Percentile95(own)).c_str());
    figures.push_back({"7 round trip on/own", Mean(on) / Mean(own), 2.0, detail});
    std::snprintf(detail, sizeof detail, "off mean %s, p95 %s; off/on %.1f (target >= 20)", Millis(Mean(off)).c_str(),
                  Millis(Percentile95(off)).c_str(), Mean(off) / Mean(on));
    figures.push_back({"7 round trip on/off", Mean(on) / Mean(off), 0.05, detail});

    Clear(trace);
    const double drained = DrainBacklog(service, true, kBacklog);
    const std::vector<double> owns = OwnTimes(trace);
    const double ownSum = std::accumulate(owns.begin(), owns.end(), 0.0);
    Clear(trace);
    const double drainedOff = DrainBacklog(service, false, kBacklogOff);
    std::snprintf(detail, sizeof detail,
                  "%d orders: %.2f s against %.2f s of own time (%zu noted); off: %d orders in %.1f s, so %d in "
                  "about %.0f s",
                  kBacklog, drained, ownSum, owns.size(), kBacklogOff, drainedOff, kBacklog,
                  drainedOff / kBacklogOff * kBacklog);
    figures.push_back({"8 backlog on/own", ownSum > 0 ? drained / ownSum : 0, 1.3, detail});
    return figures;
}

