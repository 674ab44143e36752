// The service host: the Service Control Manager's side of VQBroker. The work is TEBroker's;
// this file only turns controls into its entry points and its progress into states.
#include "service/ServiceHost.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <utility>

#include "base/Owners.h"
#include "core/Broker.h"
#include "core/MessageLoop.h"
#include "core/SingleInstance.h"

namespace {

constexpr wchar_t kHostClass[] = L"VQBrokerServiceHost";
// A request in hand may wait five seconds for its writer and then for the server.
constexpr DWORD kWaitHintMs = 30000;
constexpr DWORD kAlreadyRunning = 1;  // service-specific exit code: another copy holds the mutex
constexpr DWORD kNoApartment = 2;     // service-specific exit code: COM could not be set up

}  // namespace

// The service's status, set from the service's thread and from the control handler.
class StatusReporter {
public:
    explicit StatusReporter(SERVICE_STATUS_HANDLE handle) : handle_(handle) {
        status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    }

    void Pending(DWORD state) { Set(state, 0, kWaitHintMs); }
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

// Where the control handler, on the dispatcher's thread, posts what it is asked.
std::atomic<HWND> gHostWindow{nullptr};
StatusReporter* gStatus = nullptr;

}  // namespace

ServiceHost::ServiceHost(TEBroker& broker, StatusReporter* status) : broker_(broker), status_(status) {
    broker_.AttachFrontEnd(this);
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
    case SERVICE_CONTROL_PRESHUTDOWN:
        gStatus->Pending(SERVICE_STOP_PENDING);
        PostToHost(ServiceHost::kStopMessage);
        return NO_ERROR;
    case kExportControl: PostToHost(ServiceHost::kExportMessage); return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

// The service's life on its own thread; the service-specific exit code.
DWORD Serve(StatusReporter& status) {
    const UniqueComApartment apartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    TEBroker broker;  // after the apartment, so its server goes first
    if (!TakeSingleInstance()) {
        broker.FEvents->Report(EventKind::Error,
                               "Aplicatia deja lucreaza: o alta copie a VQBroker ruleaza; serviciul nu porneste");
        return kAlreadyRunning;
    }
    if (!apartment) {
        broker.FEvents->Report(EventKind::Error, "COM nu poate fi pornit; serviciul nu porneste");
        return kNoApartment;
    }
    ServiceHost host(broker, &status);
    if (!host.Create()) return kNoApartment;
    broker.Start();
    status.Running();
    host.Run();
    return 0;
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
