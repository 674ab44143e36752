// The soak driver behind tools/soak.sh: runs the real service with the stand-in server in a
// process of its own and samples both processes' memory and handles, each apart. Timed: a
// request every few seconds for some minutes. Back to back: requests as fast as they are
// answered, VQBroker's memory and round trip at the 1,000th request against the last.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "ProcessFigures.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/ServiceProcess.h"

namespace {

struct Request {
    const char* name;  // a "%d" in it takes a running number
    const char* content;
};

// Mostly queries; packages that do not make the stand-in's data grow much.
constexpr Request kRotation[] = {
    {"GETSTOC.TXT", ""},
    {"COMANDA_%d.TXT",
     "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n[Document]\r\nData=10.06.2025\r\n"
     "Partener=P0001\r\nGestiune=DEP\r\nArticol=A0005;1\r\n"},
    {"GETINFOCMDBON.TXT", "5003\r\n"},
    {"GETLISTAPARTENERI.TXT", ""},
    {"FACTURA_%d.TXT",
     "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n[Document]\r\nData=13.06.2025\r\n"
     "Partener=P0003\r\nGestiune=DEP\r\nArticol=ART99;1\r\n"},
    {"GETSTOCARTICOL.TXT", "A0001\r\n"},
    {"GETINFOART.TXT", ""},
    {"GETPRETACHIZSTOC.TXT", ""},
};

// Back to back, as the months benchmark serves them: partner changes that the stand-in applies
// to one partner, so that its data do not grow, and two queries.
constexpr Request kBackToBack[] = {
    {"MODIPARTENER_%d.TXT", "P0002;;;Beta Market Grup SRL;;Bd. Eroilor 14;\r\n"},
    {"GETSTOCARTICOL.TXT", "A0001\r\n"},
    {"MODIPARTENER_%d.TXT", "P0002;;;Beta Market Grup SRL;;Bd. Eroilor 14;\r\n"},
    {"GETLISTAGESTIUNI.TXT", ""},
};

std::string NameOf(const Request& request, int number) {
    char name[64];
    std::snprintf(name, sizeof name, request.name, number);
    return name;
}

// VQBroker and its server, each measured apart.
struct Sample {
    DWORD seconds;
    ProcessFigures broker, server;
    size_t logBytes;
};

void Print(const char* label, const Sample& s) {
    std::printf("%-6s t=%5lus VQBroker private=%7.0f KiB ws=%7.0f KiB handles=%4lu | server private=%7.0f KiB "
                "ws=%7.0f KiB handles=%4lu | log=%8zu bytes\n",
                label, s.seconds, s.broker.privateBytes / 1024.0, s.broker.workingSet / 1024.0, s.broker.handles,
                s.server.privateBytes / 1024.0, s.server.workingSet / 1024.0, s.server.handles, s.logBytes);
    std::fflush(stdout);
}

size_t LogBytes(const ServiceProcess& service) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(service.Path("LOG.TXT")).c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

class Soak {
public:
    explicit Soak(const std::string& settings) {
        service_.WriteIni(service_.DefaultIni(settings));
        service_.Start();
        broker_.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, service_.ProcessId()));
        start_ = GetTickCount64();
    }
    Sample Take() {
        if (!server_.valid()) {  // made at the first request
            const std::vector<DWORD> servers = service_.ServerProcesses();
            if (!servers.empty())
                server_.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, servers.front()));
        }
        return {DWORD((GetTickCount64() - start_) / 1000), Measure(broker_.get()),
                server_.valid() ? Measure(server_.get()) : ProcessFigures{}, LogBytes(service_)};
    }
    // Ends the run: true when VQBroker ran to the end and showed no box.
    bool End() {
        const bool running = service_.Running();
        const size_t boxes = ServiceProcess::Dialogs(service_.ProcessId()).size();
        std::printf("error boxes: %zu, VQBroker %s\n", boxes, running ? "running to the end" : "ENDED EARLY");
        if (running) service_.Close();
        return running && boxes == 0 && broker_.valid();
    }
    ServiceProcess service_;

private:
    UniqueHandle broker_, server_;
    ULONGLONG start_ = 0;
};

int Timed(int minutes, DWORD everyMs) {
    Soak soak("");
    const ServiceProcess& service = soak.service_;
    std::printf("soak: %d minutes, a request every %lu ms, service in %s\n", minutes, everyMs,
                service.exeDir.c_str());
    const ULONGLONG start = GetTickCount64(), end = start + ULONGLONG(minutes) * 60000;
    std::vector<Sample> samples;
    ULONGLONG nextDrop = start, nextSample = start + 5000;  // after the first requests
    int dropped = 0, lost = 0;
    while (GetTickCount64() < end && service.Running()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= nextDrop) {
            const Request& request = kRotation[dropped % std::size(kRotation)];
            const std::string name = NameOf(request, dropped);
            if (service.Exists(name)) ++lost;  // the last one of this name is still waiting
            service.Put(name, request.content);
            // Refused packages are set aside; the outside system clears the earlier ones.
            const std::string earlier =
                "FACTURA_" + std::to_string(dropped - int(std::size(kRotation))) + ".ERR";
            if (name.rfind("FACTURA_", 0) == 0) DeleteFileW(Wide(service.Path(earlier)).c_str());
            ++dropped;
            nextDrop += everyMs;
        }
        if (now >= nextSample) {
            samples.push_back(soak.Take());
            Print("sample", samples.back());
            nextSample += 30000;
        }
        Sleep(100);
    }
    samples.push_back(soak.Take());
    std::printf("\nrequests dropped: %d, still waiting when dropped again: %d\n", dropped, lost);
    Print("start", samples.front());
    Print("end", samples.back());
    return soak.End() && samples.front().broker.ok ? 0 : 1;
}

// Requests one after another, each dropped once the one before is answered; VQBroker's figures
// and the mean round trip of the 500 requests before the 1,000th and before the last.
int BackToBack(int count) {
    Soak soak("RaspunsImediat=D\r\nPrefixareErori=D\r\n");
    const ServiceProcess& service = soak.service_;
    std::printf("soak: %d requests back to back, service in %s\n", count, service.exeDir.c_str());
    Sleep(1500);  // start-up done
    std::vector<double> trips;
    Sample first{}, last{};
    for (int n = 1; n <= count; ++n) {
        const std::string name = NameOf(kBackToBack[n % std::size(kBackToBack)], n);
        LARGE_INTEGER frequency{}, start{}, end{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        service.Put(name, kBackToBack[n % std::size(kBackToBack)].content);
        if (!WaitUntil([&] { return !service.Exists(name); }, 30000, 1)) {
            std::printf("request %d (%s) not served within 30 s\n", n, name.c_str());
            return 1;
        }
        QueryPerformanceCounter(&end);
        trips.push_back(double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        if (n == 1000 || n == count) (n == 1000 ? first : last) = soak.Take();
        if (n % 1000 == 0) Print("sample", soak.Take());
    }
    const auto meanBefore = [&](int n) {
        return std::accumulate(trips.begin() + (n - 500), trips.begin() + n, 0.0) / 500 * 1000;
    };
    std::printf("\nat request 1,000 and %d:\n", count);
    Print("1000", first);
    Print("last", last);
    std::printf("VQBroker private bytes %d/1000: %.3f (target <= 1.1)\n", count,
                double(last.broker.privateBytes) / double(first.broker.privateBytes));
    std::printf("mean round trip of the 500 before: %.2f ms at 1,000, %.2f ms at %d; %d/1000: %.3f "
                "(target <= 1.1)\n",
                meanBefore(1000), meanBefore(count), count, count, meanBefore(count) / meanBefore(1000));
    return soak.End() ? 0 : 1;
}

}  // namespace

// soak [MINUTES] [SECONDS], or soak requests [COUNT] (at least 1,000).
int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "requests")
        return BackToBack(argc > 2 ? std::max(1000, std::atoi(argv[2])) : 10000);
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const DWORD everyMs = argc > 2 ? DWORD(std::max(1, std::atoi(argv[2]))) * 1000 : 3000;
    return Timed(minutes, everyMs);
}
