// Days that a benchmark adds to the program's clock.
#include "base/DayShift.h"

#include <windows.h>

DayShift::DayShift(const wchar_t* registryValue) : value_(registryValue) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", 0, KEY_QUERY_VALUE | KEY_NOTIFY, &key) !=
        ERROR_SUCCESS)
        return;
    key_.reset(key);
    if (RegGetValueW(key, nullptr, value_, RRF_RT_REG_DWORD, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        key_.reset();  // off: no value, no cost
}

// The change notice belongs to the thread that asks for it, so the thread that reads the
// clock arms it, before each read: a change made meanwhile signals again.
int DayShift::Days() {
    if (!On()) return 0;
    if (changed_.valid() && WaitForSingleObject(changed_.get(), 0) != WAIT_OBJECT_0) return days_;
    if (!changed_.valid()) changed_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    RegNotifyChangeKeyValue(key_.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed_.get(), TRUE);
    Read();
    return days_;
}

void DayShift::Read() {
    DWORD days = 0, size = sizeof days;
    if (RegGetValueW(key_.get(), nullptr, value_, RRF_RT_REG_DWORD, nullptr, &days, &size) == ERROR_SUCCESS)
        days_ = int(days);
}
