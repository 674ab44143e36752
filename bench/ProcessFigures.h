// Another process's memory and handles, watched from outside (the service's, by the
// months benchmark and the soak run).
#pragma once

#include <windows.h>

struct ProcessFigures {
    bool ok = false;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    DWORD handles = 0;
};
ProcessFigures Measure(HANDLE process);
