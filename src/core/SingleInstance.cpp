// One copy of the service on a machine, whichever form it runs in and in whichever session.
#include "core/SingleInstance.h"

SingleInstance::~SingleInstance() {
    // The plain name first: the reverse of the order they were taken in.
    for (Held* held : {&plain_, &global_})
        if (held->owned) ReleaseMutex(held->mutex.get());
}

// Always in the same order, so that two new copies never each hold one and wait for the other.
bool SingleInstance::Take(DWORD waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    return TakeOne(global_, L"Global\\VQBroker", deadline) && TakeOne(plain_, L"VQBroker", deadline);
}

// A mutex left by a copy that ended without letting it go is taken over.
bool SingleInstance::TakeOne(Held& held, const wchar_t* name, ULONGLONG deadline) {
    held.mutex.reset(CreateMutexW(nullptr, FALSE, name));
    if (!held.mutex) return false;
    const ULONGLONG now = GetTickCount64();
    const DWORD result = WaitForSingleObject(held.mutex.get(), now < deadline ? DWORD(deadline - now) : 0);
    held.owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return held.owned;
}

// The lock exists while a copy has it open; a copy of another account may deny opening it.
bool SingleInstance::HeldByACopy() {
    const UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\VQBroker"));
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}
