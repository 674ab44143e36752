// The running processes of one program file: found by their image's path, asked to end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace docserver {

// The ids of the running processes of the program at path (letter case ignored), this one aside.
std::vector<DWORD> ProcessesOf(const std::wstring& path);
// Asks them to end from within, with a WM_QUIT to each of their threads; waits up to
// milliseconds for each. True when all have ended.
bool EndProcesses(const std::vector<DWORD>& ids, DWORD milliseconds);

}  // namespace docserver
