// Creation of the document server.
#pragma once

#include <string>

#include "base/Owners.h"
#include "server/Tallyport.h"

// Creates CoTallyportObject (in-process or local server) and asks it for ITallyportObject.
// Throws ServerCallError with the system's text when it cannot; where the system refused to start
// or reach a local server for want of an account or a permission, the text says where to look.
ComRef<ITallyportObject> CreateDocumentServer();

// The text of a failed creation: the system's, and where the account or DCOM is to blame, where to look.
std::string CreationFailureText(HRESULT hr);
