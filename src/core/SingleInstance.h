// One copy of the service on a machine, whichever form it runs in and in whichever session.
#pragma once

#include <windows.h>

// Takes the machine-wide mutex for the life of the process; false when another copy
// holds it (or it cannot be made). Never released: it goes with the process, so the next
// copy can start only after this one has ended. Global, because the service runs in
// session 0 and a window copy in the operator's session.
inline bool TakeSingleInstance() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Global\\VQBroker");
    return mutex && GetLastError() != ERROR_ALREADY_EXISTS;
}
