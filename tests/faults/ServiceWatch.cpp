// Watching a running service from outside: its log, its child processes, its memory.
#include "ServiceWatch.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"

namespace {

bool IsStamp(const std::string& line, size_t at) {
    return line.size() >= at + 20 && line[at + 2] == '.' && line[at + 5] == '.' && line[at + 10] == ' ' &&
           line[at + 19] == ' ';
}

}  // namespace

std::vector<std::string> UnstampedLines(const std::string& logText) {
    std::vector<std::string> lines = SplitTextLines(logText);
    for (std::string& line : lines) {
        if (line.rfind("Ver. 3.1 -  ", 0) == 0) line.erase(0, 12);
        if (IsStamp(line, 0)) line.erase(0, 20);
    }
    return lines;
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& line) {
    size_t n = 0;
    for (const std::string& each : lines) n += each == line;
    return n;
}

size_t ChildProcesses(DWORD parent, const wchar_t* exeName) {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    size_t n = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        n += entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, exeName) == 0;
    return n;
}

namespace {

// The system's process list: what Wine also gives for another process, where the
// per-process queries answer only for the caller itself.
bool FromProcessList(DWORD processId, ProcessFigures& figures) {
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    if (!NT_SUCCESS(
            NtQuerySystemInformation(SystemProcessInformation, buffer.data(), ULONG(buffer.size()), &needed)))
        return false;
    for (size_t at = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (DWORD(ULONG_PTR(entry->UniqueProcessId)) == processId) {
            figures.handles = entry->HandleCount;
            figures.privateBytes = entry->PrivatePageCount ? entry->PrivatePageCount
                                                           : entry->VirtualMemoryCounters.PagefileUsage;
            figures.workingSet = entry->VirtualMemoryCounters.WorkingSetSize;
            return true;
        }
        if (entry->NextEntryOffset == 0) return false;
        at += entry->NextEntryOffset;
    }
}

}  // namespace

ProcessFigures Measure(HANDLE process) {
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        figures.privateBytes = memory.PrivateUsage;
        figures.workingSet = memory.WorkingSetSize;
    }
    GetProcessHandleCount(process, &figures.handles);
    if (figures.privateBytes == 0 || figures.handles == 0) {
        ProcessFigures listed;
        if (FromProcessList(GetProcessId(process), listed)) {
            if (figures.privateBytes == 0) figures.privateBytes = listed.privateBytes;
            if (figures.workingSet == 0) figures.workingSet = listed.workingSet;
            if (figures.handles == 0) figures.handles = listed.handles;
        }
    }
    figures.ok = figures.privateBytes != 0 && figures.handles != 0;
    return figures;
}

std::vector<std::string> LogOf(const ServiceProcess& service) {
    return UnstampedLines(ReadShared(service.Path("LOG.TXT")));
}

bool Logged(const ServiceProcess& service, const std::string& line, size_t times) {
    return WaitUntil([&] { return CountLines(LogOf(service), line) >= times; }, 30000);
}

void WriteServerIni(const std::string& exeDir, const std::string& content) {
    WriteFileReplacing(exeDir + "VQDocServer.ini", content);
}
