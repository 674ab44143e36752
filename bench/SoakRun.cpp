// The soak driver behind tools/soak.sh: runs the real service for some minutes, drops a
// request every few seconds and samples the service's memory and handles.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

std::string NameOf(const Request& request, int number) {
    char name[64];
    std::snprintf(name, sizeof name, request.name, number);
    return name;
}

struct Sample {
    DWORD seconds;
    ProcessFigures figures;
    size_t logBytes;
};

void Print(const char* label, const Sample& s) {
    std::printf("%-6s t=%5lus private=%8.0f KiB working-set=%8.0f KiB handles=%4lu log=%7zu bytes\n", label,
                s.seconds, s.figures.privateBytes / 1024.0, s.figures.workingSet / 1024.0, s.figures.handles,
                s.logBytes);
    std::fflush(stdout);
}

size_t LogBytes(const ServiceProcess& service) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(service.Path("LOG.TXT")).c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const DWORD everyMs = argc > 2 ? DWORD(std::max(1, std::atoi(argv[2]))) * 1000 : 3000;
    ServiceProcess service(DocServerForm::InProcess);
    service.WriteIni(service.DefaultIni());
    service.Start();
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, service.ProcessId());
    if (!process) {
        std::printf("cannot open the service's process\n");
        return 1;
    }
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
            samples.push_back({DWORD((now - start) / 1000), Measure(process), LogBytes(service)});
            Print("sample", samples.back());
            nextSample += 30000;
        }
        Sleep(100);
    }
    samples.push_back({DWORD((GetTickCount64() - start) / 1000), Measure(process), LogBytes(service)});
    const bool running = service.Running();
    const size_t boxes = ServiceProcess::Dialogs(service.ProcessId()).size();
    if (running) service.Close();
    CloseHandle(process);

    Sample most = samples.front();
    for (const Sample& s : samples) {
        most.figures.privateBytes = std::max(most.figures.privateBytes, s.figures.privateBytes);
        most.figures.workingSet = std::max(most.figures.workingSet, s.figures.workingSet);
        most.figures.handles = std::max(most.figures.handles, s.figures.handles);
        most.logBytes = std::max(most.logBytes, s.logBytes);
    }
    most.seconds = samples.back().seconds;
    std::printf(
        "\nrequests dropped: %d, still waiting when dropped again: %d, error boxes: %zu, service %s\n",
        dropped, lost, boxes, running ? "running to the end" : "ENDED EARLY");
    Print("start", samples.front());
    Print("end", samples.back());
    Print("max", most);
    return running && boxes == 0 && samples.front().figures.ok ? 0 : 1;
}
