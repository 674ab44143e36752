// A file that tests and benchmarks ask the running program to note things in.
#include "base/TraceFile.h"

#include <windows.h>

#include "base/Owners.h"

TraceFile::TraceFile(const wchar_t* registryValue) {
    wchar_t path[MAX_PATH] = L"";
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", registryValue, RRF_RT_REG_SZ, nullptr, path,
                     &size) == ERROR_SUCCESS)
        path_ = path;
}

void TraceFile::Append(const std::string& line) const {
    if (path_.empty()) return;
    UniqueFile file(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}
