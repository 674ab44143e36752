// The Windows Event Log, and a trace of it for tests.
#include "base/EventLog.h"

#include <windows.h>

#include "EventMessages.h"  // made from EventMessages.mc at build time
#include "base/AnsiText.h"
#include "base/Owners.h"

namespace {

std::wstring TraceFileName() {
    wchar_t path[MAX_PATH] = L"";
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", L"EventTrace", RRF_RT_REG_SZ, nullptr, path,
                     &size) != ERROR_SUCCESS)
        return {};
    return path;
}

// One line per record, the kind's initial first; appended whole, so lines never mix.
void AppendTrace(const std::wstring& path, EventKind kind, const std::string& text) {
    UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    const std::string line = std::string(1, "IWE"[int(kind)]) + " " + text + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), line.data(), DWORD(line.size()), &written, nullptr);
}

}  // namespace

SystemEventLog::SystemEventLog() : source_(RegisterEventSourceW(nullptr, kEventSource)), trace_(TraceFileName()) {}

SystemEventLog::~SystemEventLog() {
    if (source_) DeregisterEventSource(source_);
}

void SystemEventLog::Report(EventKind kind, const std::string& text) {
    static constexpr WORD kTypes[] = {EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_ERROR_TYPE};
    static constexpr DWORD kIds[] = {VQ_EVENT_INFORMATION, VQ_EVENT_WARNING, VQ_EVENT_ERROR};
    if (source_) {
        const std::wstring wide = Wide(text);
        LPCWSTR strings[] = {wide.c_str()};
        ReportEventW(source_, kTypes[int(kind)], 0, kIds[int(kind)], nullptr, 1, 0, strings, nullptr);
    }
    if (!trace_.empty()) AppendTrace(trace_, kind, text);
}
