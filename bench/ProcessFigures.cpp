// Another process's memory and handles, watched from outside.
#include "ProcessFigures.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

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
