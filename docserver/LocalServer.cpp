// VQDocServer.exe: the same object served from a process of its own, as an application's
// automation server is: COM starts it with -Embedding, and /RegServer, /UnregServer register it.
#include "ComText.h"
#include "DocServer.h"
#include "Factory.h"
#include "Processes.h"
#include "Registration.h"
#include "ServerIni.h"
#include "Text.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

namespace docserver {
namespace {

// A caller that releases its object and makes a new one at once finds the process still there.
constexpr ULONGLONG kLingerMs = 3000;
// The exit code of a process ended by a test setting, told apart from an end after its last object (0).
constexpr UINT kEndedByTestSetting = 2;

// The one thread's state between calls.
struct Process {
    DWORD classCookie = 0;
    ULONGLONG busyUntil = 0;  // calls on the interface are refused until then
    ULONGLONG idleEnd = 0;    // the process ends then unless a call comes first; 0: never
} TheProcess;

// Objects and locks hold the process (CoAddRefServerProcess), and so does the loop until its
// idle wait ends. The last to let go (CoReleaseServerProcess) suspends the class object at
// once, so that no creation reaches a process that has decided to end: it starts a new one.
void Hold(bool held) {
    if (held)
        CoAddRefServerProcess();
    else
        CoReleaseServerProcess();
}

// A test setting ends the process as a crash would, once its class is revoked: Wine would
// otherwise keep the dead process registered. ExitCount= says how many processes may still
// end so (each lowers it; missing: all).
void EndIfAllowed() {
    const std::wstring ini = IniPath(nullptr);
    const int left = GetPrivateProfileIntW(L"Test", L"ExitCount", -1, ini.c_str());
    if (left == 0) return;
    if (left > 0)
        WritePrivateProfileStringW(L"Test", L"ExitCount", std::to_wstring(left - 1).c_str(), ini.c_str());
    CoRevokeClassObject(TheProcess.classCookie);
    TerminateProcess(GetCurrentProcess(), kEndedByTestSetting);
}

void Watch(const ServerOptions& options, const char* method, bool done) {
    TheProcess.idleEnd = done && options.exitIdleMs > 0 ? GetTickCount64() + options.exitIdleMs : 0;
    if (done == options.exitAfterWrite && SameText(Ansi(options.exitInMethod), method)) EndIfAllowed();
}

HRESULT MakeObject(REFIID iid, void** object) {
    ServerOptions options = ReadOptions(nullptr);
    options.watch = Watch;
    options.hold = Hold;
    TheProcess.busyUntil = std::max(TheProcess.busyUntil, GetTickCount64() + options.busyMs);
    return CreateDocServer(options, iid, object);
}

Factory TheFactory(MakeObject, Hold);

// While busy, calls on the interface are refused, as an application in the middle of its own
// work refuses them; the class factory's and IUnknown's are always served.
class BusyFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID_IMessageFilter ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO call) override {
        const bool busy =
            call && call->iid == IID_ITallyportObject && GetTickCount64() < TheProcess.busyUntil;
        return busy ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return DWORD(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

BusyFilter TheFilter;

// Serves messages until WM_QUIT, or until no object and no lock has been there for the
// linger time; and ends the process when the idle test setting says so. A creation that
// comes during that wait keeps the process: the class object is served until the wait's
// end lets go of the process.
int RunLoop() {
    CoAddRefServerProcess();
    ULONGLONG unusedSince = GetTickCount64();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return int(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        const bool unused = LiveObjects == 0 && TheFactory.locks == 0;
        unusedSince = !unused ? 0 : unusedSince ? unusedSince : now;
        if (unused && now >= unusedSince + kLingerMs) {
            if (CoReleaseServerProcess() == 0) return 0;
            CoAddRefServerProcess();  // held by something else after all
            unusedSince = now;
        }
        if (TheProcess.idleEnd && now >= TheProcess.idleEnd) {
            TheProcess.idleEnd = 0;
            EndIfAllowed();
        }
        DWORD timeout = INFINITE;
        const auto wakeAt = [&](ULONGLONG at) { timeout = DWORD(std::min<ULONGLONG>(timeout, at - now)); };
        if (unused) wakeAt(unusedSince + kLingerMs);
        if (TheProcess.idleEnd) wakeAt(TheProcess.idleEnd);
        MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int Serve() {
    const UniqueComApartment com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    if (!com) return int(E_UNEXPECTED);
    CoRegisterMessageFilter(&TheFilter, nullptr);
    const HRESULT hr = CoRegisterClassObject(CLSID_CoTallyportObject, &TheFactory, CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &TheProcess.classCookie);
    if (FAILED(hr)) return int(hr);
    const int exitCode = RunLoop();
    CoRevokeClassObject(TheProcess.classCookie);
    return exitCode;
}

// Unregistered, the running copies of this program end as well, each from within (a WM_QUIT,
// which also cuts a wait in a call short), so that an uninstaller can remove the file.
// A copy that has not ended (held in a call that serves no messages) still holds the file:
// the exit code says so.
HRESULT Unregister() {
    const HRESULT result = UnregisterServer(ServerForm::Local);
    const bool ended = EndProcesses(ProcessesOf(ModulePath(nullptr)), 10000);
    return FAILED(result) || ended ? result : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
}

// To the standard output it was given, or the console of whoever started it; never a box,
// which an installer's or a script's run would wait on.
int Usage() {
    const std::string text =
        "VQDocServer.exe /RegServer    registers the stand-in document server (for every user when\r\n"
        "                              allowed, else for this user)\r\n"
        "VQDocServer.exe /UnregServer  removes its registration and ends its running copies\r\n"
        "COM starts it with -Embedding.\r\n";
    UniqueFile console;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((!output || output == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        console.reset(
            CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        output = console.get();
    }
    DWORD written = 0;
    WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr);
    return 1;
}

// "-Embedding" or "/embedding" alike.
bool IsVerb(std::wstring_view argument, std::string_view verb) {
    return argument.size() > 1 && (argument[0] == L'-' || argument[0] == L'/') &&
           SameText(Ansi(std::wstring(argument.substr(1))), verb);
}

}  // namespace
}  // namespace docserver

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace docserver;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring argument = arguments && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    if (IsVerb(argument, "Embedding")) return Serve();
    if (IsVerb(argument, "RegServer")) return int(RegisterServer(ServerForm::Local, ModulePath(nullptr)));
    if (IsVerb(argument, "UnregServer")) return int(Unregister());
    return Usage();
}
