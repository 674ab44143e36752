// The COM object CoTallyportObject: the contract's virtual table over a Book.
#pragma once

#include "server/Tallyport.h"

#include <atomic>
#include <string>

namespace docserver {

struct ServerOptions {
    std::wstring dataFolder;
    std::wstring failMethod;   // for fault tests: this method answers E_FAIL
    std::wstring failText;     // and this description (a default when empty)
    std::wstring waitMethods;  // for close tests: these methods (";" between) show a window
    unsigned waitMs = 0;       // and serve the caller's messages this long before they answer
};

// Live objects, for DllCanUnloadNow.
extern std::atomic<long> LiveObjects;

// Creates the object and queries it for `iid`; creating it touches no file.
HRESULT CreateDocServer(const ServerOptions& options, REFIID iid, void** server);

}  // namespace docserver
