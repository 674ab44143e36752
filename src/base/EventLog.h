// The Windows Event Log (Application log, source "VQBroker"), behind a seam that tests replace.
#pragma once

#include <string>

enum class EventKind { Information, Warning, Error };

class EventLog {
public:
    virtual ~EventLog() = default;
    virtual void Report(EventKind kind, const std::string& text) = 0;
};

// Reports to the system's Application log; each record's text is shown by the Event
// Viewer through the message table compiled into VQBroker.exe. The registry value
// HKLM\Software\VQBroker "EventTrace", when set, names a file that each record is also
// appended to (tests under Wine, whose Event Log records nothing).
class SystemEventLog : public EventLog {
public:
    SystemEventLog();
    ~SystemEventLog() override;
    SystemEventLog(const SystemEventLog&) = delete;
    SystemEventLog& operator=(const SystemEventLog&) = delete;
    void Report(EventKind kind, const std::string& text) override;

private:
    void* source_ = nullptr;  // HANDLE of RegisterEventSourceW
    std::wstring trace_;
};

// The event source's name, and the registry key that makes the Event Viewer find its texts.
inline constexpr wchar_t kEventSource[] = L"VQBroker";
inline constexpr wchar_t kEventSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\VQBroker";
