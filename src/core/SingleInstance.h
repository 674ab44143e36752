// One copy of the service on a machine, whichever form it runs in and in whichever session.
#pragma once

#include <windows.h>

#include "base/Owners.h"

// Holds the machine-wide mutex "Global\VQBroker" and the plain "VQBroker" (the name a
// copy of an older version takes) while it lives: the service runs in session 0 and a
// window copy in the operator's session. Released when it goes, so that a copy started
// by a restart finds them free as soon as this one has stopped.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy holds either mutex for longer than waitMs (or one cannot be
    // made): a service being restarted waits for the copy that is still ending.
    bool Take(DWORD waitMs);

    // Whether a copy, in any session, holds the lock now (asked without taking it).
    static bool HeldByACopy();

private:
    struct Held {
        UniqueHandle mutex;
        bool owned = false;
    };
    static bool TakeOne(Held& held, const wchar_t* name, ULONGLONG deadline);

    Held global_, plain_;
};
