// One run of VQBroker.exe in a folder of its own, driven and watched from outside.
#pragma once

#include <windows.h>

#include "base/FileSystem.h"

#include <functional>
#include <string>
#include <vector>

class ServiceProcess {
public:
    // Copies VQBroker.exe (and, with a server, VQDocServer.dll, registered from the copy)
    // into a fresh folder, beside a fresh working directory.
    explicit ServiceProcess(bool withServer = true);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    std::string DefaultIni(const std::string& extra = {}) const;
    void WriteIni(const std::string& content) const;

    // Starts a copy of the service; Start waits for its main window, shown, or only made
    // (still in start-up) when untilShown is false.
    void Start(bool untilShown = true);
    PROCESS_INFORMATION Launch() const;  // another copy, not waited for
    // Runs VQBroker.exe with one argument (a command-line form) to its end.
    struct Outcome {
        DWORD exitCode = STILL_ACTIVE;
        std::string output;  // what it wrote to its standard output
    };
    Outcome RunForm(const std::string& argument) const;
    void Close();                        // WM_CLOSE, then waits for the process to end with 0
    void Kill();                         // as a crash or a power cut would end it
    bool Running() const;

    HWND MainWindow() const { return window_; }
    std::string ViewText() const;
    // Top-level dialog boxes (message boxes) that a process shows.
    static std::vector<HWND> Dialogs(DWORD processId);
    static std::string DialogText(HWND box);
    DWORD ProcessId() const { return process_.dwProcessId; }
    DWORD ThreadId() const { return process_.dwThreadId; }  // the one that runs the window
    // A top-level window of this class that the process shows.
    bool ShowsWindow(const wchar_t* className) const;

    std::string Path(const std::string& name) const { return workDir + "\\" + name; }
    void Put(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

    std::string exeDir;  // with a trailing "\"
    std::string workDir;

private:
    void Register(const char* entry) const;

    bool withServer_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Polls condition every pause until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds, DWORD pauseMs = 50);

// A file's bytes, read without denying its writer anything (as a polite outside reader
// of LOG.TXT does); empty when there is no such file.
std::string ReadShared(const std::string& path);

// The identity of the file at path, opened without denying anybody anything; empty when
// there is no such file.
FileIdentity IdentityOf(const std::string& path);

// Seconds from dropping GETSTOCARTICOL.TXT (article A0001) until the request is gone and
// STOCARTICOL.TXT is a new file, as an outside system waits for its answer; negative
// when that does not happen within ten seconds.
double QueryRoundTrip(const ServiceProcess& service);

// Names path as the file of one of the program's traces (the registry value under
// HKLM\Software\VQBroker that its TraceFile reads) for copies started while this lives.
class TraceNamed {
public:
    TraceNamed(const wchar_t* value, const std::string& path);
    ~TraceNamed();
    TraceNamed(const TraceNamed&) = delete;
    TraceNamed& operator=(const TraceNamed&) = delete;
    const std::string path;

private:
    const wchar_t* value_;
};

// A package of one order that the stand-in server accepts.
extern const std::string kOneOrder;

// An example request file from the source tree's examples folder.
std::string ExampleFile(const std::string& name);

// The lines of a log text with each time stamp ("DD.MM.YYYY hh:mm:ss ") shown as "<stamp> ".
std::vector<std::string> StampFreeLines(const std::string& text);
