// The COM object CoTallyportObject: the contract's virtual table over a Book.
#pragma once

#include "server/Tallyport.h"

#include <atomic>
#include <string>

namespace docserver {

struct ServerOptions;
// Told of each call to a method before it does anything (done false) and once its work is
// done, before it returns (done true).
using CallWatch = void (*)(const ServerOptions& options, const char* method, bool done);

struct ServerOptions {
    std::wstring dataFolder;
    std::wstring failMethod;   // for fault tests: this method answers E_FAIL
    std::wstring failText;     // and this description (a default when empty)
    std::wstring waitMethods;  // for close tests: these methods (";" between) show a window
    unsigned waitMs = 0;       // and serve the caller's messages this long before they answer
    // For tests of the server in its own process; only VQDocServer.exe acts on them.
    unsigned busyMs = 0;          // calls are refused as busy this long after the object is made
    std::wstring exitInMethod;    // the process ends inside this method,
    bool exitAfterWrite = false;  // before it does anything, or once its work is written
    unsigned exitIdleMs = 0;      // the process ends this long after a call while no other comes
    CallWatch watch = nullptr;
    void (*hold)(bool held) = nullptr;  // told when the object is made (true) and when it goes
};

// Live objects, for DllCanUnloadNow and the local server's end.
extern std::atomic<long> LiveObjects;

// Creates the object and queries it for `iid`; creating it touches no file.
HRESULT CreateDocServer(const ServerOptions& options, REFIID iid, void** server);

}  // namespace docserver
