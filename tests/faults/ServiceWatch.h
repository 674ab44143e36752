// Watching a running service from outside: its log, its child processes, its memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/ServiceProcess.h"

// The lines of a log text without the "Ver. 3.1 -  " prefix and with a leading time
// stamp ("DD.MM.YYYY hh:mm:ss ") cut off, so lines can be compared across runs.
std::vector<std::string> UnstampedLines(const std::string& logText);
size_t CountLines(const std::vector<std::string>& lines, const std::string& line);

// Running processes with this executable name (letter case ignored) started by parent.
size_t ChildProcesses(DWORD parent, const wchar_t* exeName);

struct ProcessFigures {
    bool ok = false;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    DWORD handles = 0;
};
ProcessFigures Measure(HANDLE process);

// The service's LOG.TXT read as a log watcher should (the service goes on writing
// meanwhile), as UnstampedLines; and whether line is there times times within 30 s.
std::vector<std::string> LogOf(const ServiceProcess& service);
bool Logged(const ServiceProcess& service, const std::string& line, size_t times = 1);

// Writes the stand-in server's own settings beside its DLL (read at each object creation).
void WriteServerIni(const std::string& exeDir, const std::string& content);
