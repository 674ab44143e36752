// Registering and removing the service and its event source, for the portable ZIP.
#pragma once

#include <windows.h>

#include <string>

// What a command did, for the person who ran it, and its exit code (0 done).
struct CommandOutcome {
    int exitCode = 0;
    std::string text;
};

// A command that failed: what, and the system's reason for error (the want of rights said plainly).
CommandOutcome CommandFailed(int exitCode, const std::string& what, DWORD error);

// Registers service "VQBroker" (automatic start, running exePath /service) and the event
// source, sets its recovery actions (the text says when the system does not keep them),
// then starts it and waits until it runs.
CommandOutcome InstallService(const std::wstring& exePath);
// Stops the service (once it is in a state that takes a stop), waits until it has stopped
// and its process has ended, and removes it and the event source.
CommandOutcome UninstallService();
// Asks the running service for the partner balance export; exitCode 0 when it was handed
// over, else text says why (not installed, not running).
CommandOutcome RequestServiceExport();
