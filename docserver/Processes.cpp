// The running processes of one program file.
#include "Processes.h"

#include <tlhelp32.h>

#include <algorithm>

#include "base/Owners.h"

namespace docserver {

std::vector<DWORD> ProcessesOf(const std::wstring& path) {
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    for (BOOL more = Process32FirstW(snapshot.get(), &process); more;
         more = Process32NextW(snapshot.get(), &process)) {
        UniqueHandle handle(
            process.th32ProcessID == GetCurrentProcessId()
                ? nullptr
                : OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.th32ProcessID));
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (handle && QueryFullProcessImageNameW(handle.get(), 0, image, &size) &&
            _wcsicmp(image, path.c_str()) == 0)
            ids.push_back(process.th32ProcessID);
    }
    return ids;
}

bool EndProcesses(const std::vector<DWORD>& ids, DWORD milliseconds) {
    std::vector<UniqueHandle> processes;
    for (DWORD id : ids) processes.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, id));
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot.get(), &thread); more;
         more = Thread32Next(snapshot.get(), &thread))
        if (std::ranges::find(ids, thread.th32OwnerProcessID) != ids.end())
            PostThreadMessageW(thread.th32ThreadID, WM_QUIT, 0, 0);
    bool ended = true;
    for (const UniqueHandle& process : processes)
        ended = (!process || WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0) && ended;
    return ended;
}

}  // namespace docserver
