// VQBroker.exe run in a folder of its own, driven and watched from outside.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "support/WorkFolder.h"

// Polls condition every pause until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds, DWORD pauseMs = 50);
// A window's text, asked for by message: another process's window too.
std::string WindowText(HWND window);

// The stand-in server registered: VQDocServer.exe, VQDocServer.dll or none.
enum class DocServerForm { Local, InProcess, None };

class ServiceProcess : public WorkFolder {
public:
    // VQBroker.exe and, unless None, both stand-in servers (from serverBin, else beside the test)
    // copied to a fresh folder, form registered; a fresh workDir.
    explicit ServiceProcess(DocServerForm form = DocServerForm::Local, const std::string& serverBin = {});
    ~ServiceProcess();  // also waits for the folder's VQDocServer.exe to end
    void Register(DocServerForm form);

    void WriteIni(const std::string& content) const { WriteFileReplacing(Wide(exeDir + "VQBroker.Ini"), content); }
    // The stand-in server's own settings, read each time a server is made.
    void WriteServerIni(const std::string& content) const {
        WriteFileReplacing(Wide(exeDir + "VQDocServer.ini"), content);
    }

    // Starts a copy and waits for its main window, shown, or only made (still in start-up).
    void Start(bool untilShown = true);
    // Starts another copy, answers its box and waits for its end: its BoxTexts().
    std::string AnotherCopysBox() const;
    struct Outcome {
        DWORD exitCode = STILL_ACTIVE;
        std::string output;  // its standard output
    };
    // A command-line form of VQBroker.exe, or of program, run to its end.
    Outcome RunForm(const std::string& argument, const std::string& program = "VQBroker.exe") const;
    void Close();  // WM_CLOSE, then waits for the process to end with 0
    void Kill();   // as a crash or a power cut would end it
    bool Running() const {
        return process_.process && WaitForSingleObject(process_.process.get(), 0) == WAIT_TIMEOUT;
    }

    HWND MainWindow() const { return window_; }
    HWND Child(const wchar_t* className) const { return FindWindowExW(window_, nullptr, className, nullptr); }
    // A process's top-level windows of a class; its message boxes.
    static std::vector<HWND> Windows(DWORD processId, const wchar_t* className);
    static std::vector<HWND> Dialogs(DWORD processId) { return Windows(processId, L"#32770"); }
    std::string BoxTexts() const;  // this copy's boxes, a text a line (a box's text comes last)
    bool Boxed(const std::string& texts) const {  // BoxTexts() is texts within 20 s
        return WaitUntil([&] { return BoxTexts() == texts; }, 20000);
    }
    void DismissBoxes() const;  // answers each with OK and waits until none is left
    DWORD ProcessId() const { return process_.id; }
    DWORD ThreadId() const { return process_.threadId; }  // the one that runs the window
    std::vector<DWORD> ServerProcesses() const;           // the running VQDocServer.exe of the folder
    bool ServersEnd(DWORD milliseconds) const {
        return WaitUntil([&] { return ServerProcesses().empty(); }, milliseconds);
    }

    bool Remove(const std::string& name) const { return DeleteFileW(Wide(Path(name)).c_str()) != 0; }
    bool Gone(const std::string& name, DWORD milliseconds) const {
        return WaitUntil([&] { return !Exists(name); }, milliseconds);
    }
    // Drops a request and waits until it is taken: the service polls.
    bool Answers(const std::string& request = "GETLISTAGESTIUNI.TXT", const std::string& content = "") const {
        Put(request, content);
        return Gone(request, 20000);
    }

    // LOG.TXT's StampFreeLines from line from on; whether it holds line times times within 30 s.
    TextList Log(size_t from = 0) const;
    bool Logged(const std::string& line, size_t times = 1) const;

    std::string exeDir;  // with a trailing "\"

private:
    struct Launched {
        UniqueHandle process, thread;
        DWORD id = 0, threadId = 0;
    };
    // A copy, not waited for; with an argument, a command-line form writing to output.
    Launched Launch(const std::string& argument = {}, HANDLE output = nullptr,
                    const std::string& program = "VQBroker.exe") const;

    DocServerForm form_;
    Launched process_;
    HWND window_ = nullptr;
};

// An existing file opened as another program holds it, sharing only share.
UniqueFile Hold(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                DWORD access = GENERIC_READ);
// A new file that its writer still holds (sharing reading only), text written.
UniqueFile Writing(const std::string& path, const std::string& text);
// A file's bytes, read without denying its writer anything; empty when there is no such file.
std::string ReadShared(const std::string& path);
// The identity of the file at path; empty when there is no such file.
FileIdentity IdentityOf(const std::string& path);

// Names path as a trace's file (a value under HKLM\Software\VQBroker) while this lives.
class TraceNamed {
public:
    TraceNamed(const wchar_t* value, const std::string& path);
    ~TraceNamed() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\VQBroker", value_); }
    TraceNamed(const TraceNamed&) = delete;
    TraceNamed& operator=(const TraceNamed&) = delete;
    const std::string path;

private:
    const wchar_t* value_;
};

// A package of one order that the stand-in server accepts; a file of the source's examples/.
extern const std::string kOneOrder;
std::string ExampleFile(const std::string& name);

// A log text's lines, each time stamp ("DD.MM.YYYY hh:mm:ss ") shown as "<stamp> " so that lines
// compare across runs; kLine and kStamped begin a line so shown.
TextList StampFreeLines(const std::string& text);
inline const std::string kLine = "Ver. 3.1 -  ", kStamped = kLine + "<stamp> ";
size_t CountLines(const TextList& lines, const std::string& line);
