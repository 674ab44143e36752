// The service's recovery actions: what the Service Control Manager does when it fails.
#pragma once

#include <windows.h>

#include <string>

#include "service/ServiceSetup.h"

// Sets them on the open service (which needs SERVICE_CHANGE_CONFIG, SERVICE_QUERY_CONFIG
// and SERVICE_START access) and reads them back, since not every system keeps them; the
// exit code is 0 only when the system kept them all. The text says what holds.
CommandOutcome SetRecoveryActions(SC_HANDLE service);

// The same for the installed service, for the installer.
CommandOutcome SetInstalledRecoveryActions();
