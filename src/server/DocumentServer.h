// Creation of the document server.
#pragma once

#include "base/Owners.h"
#include "server/Tallyport.h"

// Creates CoTallyportObject (in-process or local server) and asks it for ITallyportObject.
// Throws BrokerError with the system's text when it cannot.
ComRef<ITallyportObject> CreateDocumentServer();
