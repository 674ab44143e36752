// The Windows Event Log, and a trace of it for tests.
#include "base/EventLog.h"

#include <windows.h>

#include "EventMessages.h"  // made from EventMessages.mc at build time
#include "base/AnsiText.h"

SystemEventLog::SystemEventLog() : source_(RegisterEventSourceW(nullptr, kEventSource)), trace_(L"EventTrace") {}

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
    trace_.Append(std::string(1, "IWE"[int(kind)]) + " " + text);  // the kind's initial first
}
