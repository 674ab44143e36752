// What "VQBroker.exe /status" tells a person or a monitor.
#pragma once

#include <string>

#include "service/ServiceSetup.h"

// The service's state, and the status file of the working directory named in the settings
// in exeDir (with a trailing "\"). The exit code is the status file's verdict: 0 all is
// well, 1 not running (no file, none written in the last 30 seconds, one that says the
// program stopped, no copy holding the single-instance lock, or the service stopped), 2 an
// alert.
CommandOutcome ReportStatus(const std::wstring& exeDir);
