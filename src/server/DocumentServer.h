// Creation of the document server, and the failures that mean it is gone.
#pragma once

#include "base/Owners.h"
#include "server/Tallyport.h"

// Creates CoTallyportObject (in-process or local server) and asks it for ITallyportObject.
// Throws BrokerError with the system's text when it cannot.
ComRef<ITallyportObject> CreateDocumentServer();

// The call failed because the server is gone (an out-of-process server that died or was
// disconnected): every later call on the same reference fails too, so it must be made anew.
bool ServerWentAway(HRESULT hr);
