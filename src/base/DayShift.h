// Days that a benchmark adds to the program's clock, so that months of days pass in
// minutes: the DWORD value under HKLM\Software\VQBroker that it names. Off unless that
// value is there when the program starts; then read again whenever the key changes.
#pragma once

#include "base/Owners.h"

class DayShift {
public:
    explicit DayShift(const wchar_t* registryValue);
    bool On() const { return key_.valid(); }
    int Days();  // 0 while off

private:
    void Read();

    const wchar_t* value_;
    UniqueRegKey key_;
    UniqueHandle changed_;  // signalled when the key changes; armed by the thread that asks
    int days_ = 0;
};
