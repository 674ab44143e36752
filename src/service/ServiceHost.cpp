// The service host: the Service Control Manager's side of VQBroker. The work is TEBroker's;
// this file only turns controls into its entry points and its progress into states.
#include "service/ServiceHost.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <utility>

#include "base/BrokerError.h"
#include "base/EventLog.h"
#include "base/Owners.h"
#include "core/Broker.h"
#include "core/MessageLoop.h"
#include "core/SingleInstance.h"

namespace {

constexpr wchar_t kHostClass[] = L"VQBrokerServiceHost";
// A start waits up to 30 seconds for a copy that is still ending; a stop waits up to a
// minute for the request in hand, after which the request watch ends the process.
constexpr DWORD kMutexWaitMs = 30000;
constexpr DWORD kStartHintMs = kMutexWaitMs + 15000;
constexpr DWORD kStopHintMs = 75000;
constexpr DWORD kAlreadyRunning = 1;  // service-specific exit code: another copy holds the mutex
constexpr DWORD kNoApartment = 2;     // service-specific exit code: COM could not be set up
constexpr DWORD kNoWindow = 3;        // service-specific exit code: no message window for the timer

}  // namespace

// The service's status, set from the service's thread and from the control handler.
class StatusReporter {
public:
    explicit StatusReporter(SERVICE_STATUS_HANDLE handle) : handle_(handle) {
        status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    }

    void Pending(DWORD state) { Set(state, 0, state == SERVICE_STOP_PENDING ? kStopHintMs : kStartHintMs); }
    void Running() { Set(SERVICE_RUNNING, SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN, 0); }
    void Stopped(DWORD serviceExitCode) {
        std::lock_guard<std::mutex> hold(lock_);
        status_.dwWin32ExitCode = serviceExitCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
        status_.dwServiceSpecificExitCode = serviceExitCode;
        SetLocked(SERVICE_STOPPED, 0, 0);
    }
    // Another sign of life while a state is pending.
    void Progress() {
        std::lock_guard<std::mutex> hold(lock_);
        if (status_.dwCurrentState != SERVICE_START_PENDING && status_.dwCurrentState != SERVICE_STOP_PENDING) return;
        ++status_.dwCheckPoint;
        SetServiceStatus(handle_, &status_);
    }

private:
    void Set(DWORD state, DWORD accepted, DWORD waitHint) {
        std::lock_guard<std::mutex> hold(lock_);
        status_.dwControlsAccepted = accepted;
        SetLocked(state, waitHint, state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ? 1 : 0);
    }
    void SetLocked(DWORD state, DWORD waitHint, DWORD checkPoint) {
        if (state == SERVICE_STOPPED) status_.dwControlsAccepted = 0;
        status_.dwCurrentState = state;
        status_.dwWaitHint = waitHint;
        status_.dwCheckPoint = checkPoint;
        SetServiceStatus(handle_, &status_);
    }

    SERVICE_STATUS_HANDLE handle_;
    std::mutex lock_;
    SERVICE_STATUS status_{};
};

namespace {

// Where the control handler, on the dispatcher's thread, posts what it is asked; and the
// request watch, told of a stop at once, since the service's thread may be stuck in a
// server call that never returns.
std::atomic<HWND> gHostWindow{nullptr};
std::atomic<bool> gStopAsked{false};  // also before the host's window exists
StatusReporter* gStatus = nullptr;
std::mutex gWatchLock;
RequestWatch* gWatch = nullptr;

// A stop that the request in hand held up for a minute: the journal holds the request,
// so the service reports that it stopped as asked, and the process ends.
void EndStopOverdue() {
    gStatus->Stopped(0);
    TerminateProcess(GetCurrentProcess(), 0);
}

}  // namespace

ServiceHost::ServiceHost(TEBroker& broker, StatusReporter* status) : broker_(broker), status_(status) {
    broker_.AttachFrontEnd(this);
    broker_.FForm = "serviciu";
}

ServiceHost::~ServiceHost() {
    gHostWindow = nullptr;
    if (window_) DestroyWindow(window_);
    broker_.AttachFrontEnd(nullptr);
}

bool ServiceHost::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHostClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              this);
    if (!window_) return false;
    SetTimer(window_, kTickTimerId, kTickIntervalMs, nullptr);  // armed before start-up, as in the window
    gHostWindow = window_;
    return true;
}

void ServiceHost::Run() { RunMessageLoop(broker_); }

void ServiceHost::LineLogged(const std::string&) {}

void ServiceHost::ErrorLeft(const std::string& text) { broker_.LogErrorLine(text); }  // the Event Log has it too

void ServiceHost::StopReady() {
    if (window_) PostMessageW(window_, kStopMessage, 0, 0);
}

LRESULT CALLBACK ServiceHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ServiceHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->Handle(message)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool ServiceHost::Handle(UINT message) {
    switch (message) {
    case WM_TIMER: OnTimer(); return true;
    case kStopMessage: OnStop(); return true;
    case kExportMessage: broker_.ExportBalances(); return true;
    case WM_DESTROY: PostQuitMessage(0); return true;
    }
    return false;
}

void ServiceHost::OnTimer() {
    if (status_ && broker_.StopRequested()) status_->Progress();  // the request in hand is still running
    broker_.Tick();
}

// The same as a close of the window: the request or export in hand finishes and is
// disposed of first, then the log is saved and the server released.
void ServiceHost::OnStop() {
    if (!window_ || !broker_.RequestStop()) return;
    broker_.Stop();
    gHostWindow = nullptr;
    DestroyWindow(std::exchange(window_, nullptr));
}

namespace {

void PostToHost(UINT message) {
    if (HWND window = gHostWindow) PostMessageW(window, message, 0, 0);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
    case SERVICE_CONTROL_PRESHUTDOWN: {
        gStatus->Pending(SERVICE_STOP_PENDING);
        gStopAsked = true;
        std::lock_guard<std::mutex> hold(gWatchLock);
        if (gWatch) gWatch->StopAsked();
        PostToHost(ServiceHost::kStopMessage);
        return NO_ERROR;
    }
    case kExportControl: PostToHost(ServiceHost::kExportMessage); return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

// The request watch, reachable from the control handler while the service's work exists.
class WatchShown {
public:
    explicit WatchShown(RequestWatch& watch) { Set(&watch); }
    ~WatchShown() { Set(nullptr); }
    WatchShown(const WatchShown&) = delete;
    WatchShown& operator=(const WatchShown&) = delete;

private:
    static void Set(RequestWatch* watch) {
        std::lock_guard<std::mutex> hold(gWatchLock);
        gWatch = watch;
    }
};

// The service's work on the service's thread, once the single-instance mutex is held; the
// service-specific exit code. "Running" comes before start-up's server steps, so that a
// slow or hanging server never keeps the service in "start pending".
DWORD ServeHeld(StatusReporter& status, bool apartment) {
    TEBroker broker;
    if (!apartment) {
        broker.FEvents->Report(EventKind::Error, "COM nu poate fi pornit; serviciul nu porneste");
        return kNoApartment;
    }
    ServiceHost host(broker, &status);
    const WatchShown shown(broker.FRequestWatch);
    if (!host.Create()) {
        broker.FEvents->Report(EventKind::Error, "Fereastra de mesaje a serviciului nu poate fi creata (" +
                                                     SystemMessage(GetLastError()) + "); serviciul nu porneste");
        return kNoWindow;
    }
    broker.FStopOverdue = EndStopOverdue;
    if (gStopAsked) {  // while the service was still starting
        broker.FRequestWatch.StopAsked();
        PostToHost(ServiceHost::kStopMessage);
    }
    status.Running();
    broker.Start();
    host.Run();
    return 0;
}

// The mutex is let go before the service reports that it has stopped, so that a restart
// never finds it still held; a start waits a while for a copy that is still ending.
DWORD Serve(StatusReporter& status) {
    const UniqueComApartment apartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    SingleInstance instance;
    if (!instance.Take(kMutexWaitMs)) {
        SystemEventLog().Report(EventKind::Error,
                                "Aplicatia deja lucreaza: o alta copie a VQBroker ruleaza; serviciul nu porneste");
        return kAlreadyRunning;
    }
    return ServeHeld(status, bool(apartment));  // the server goes before the apartment
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExW(kServiceName, Control, nullptr);
    if (!handle) return;
    StatusReporter status(handle);
    gStatus = &status;
    status.Pending(SERVICE_START_PENDING);
    status.Stopped(Serve(status));
}

}  // namespace

bool RunService() {
    // The dispatcher only reads the name, whatever its parameter's type says.
    const SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) != 0;
}
