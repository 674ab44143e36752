// The operator's emergency script, started while the working directory is missing.
#include <windows.h>
#include <shellapi.h>

#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"

void TEBroker::RunEmergencyScript() {
    std::wstring path = FExeDir;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += L"Avarie.bat";
    if (!FileExists(path)) return;
    // One instance at a time: a script that hangs must not pile up a process a second.
    if (FScriptProcess.valid() && WaitForSingleObject(FScriptProcess.get(), 0) == WAIT_TIMEOUT) return;
    FScriptProcess.reset();
    LogStamped(" ... Rulez " + Ansi(path));
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;  // nobody is there to answer a box
    start.hwnd = FFrontEnd ? FFrontEnd->OwnerWindow() : nullptr;
    start.lpVerb = L"open";
    start.lpFile = path.c_str();
    start.nShow = SW_HIDE;
    if (ShellExecuteExW(&start)) FScriptProcess.reset(start.hProcess);
}
