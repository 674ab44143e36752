// The service host: VQBroker under the Service Control Manager, with no window and no box.
#pragma once

#include <windows.h>

#include <string>

#include "core/Broker.h"

// The service's name in the Service Control Manager, and the control code that asks the
// running service for the partner balance export.
inline constexpr wchar_t kServiceName[] = L"VQBroker";
inline constexpr DWORD kExportControl = 128;

// Runs the service for the Service Control Manager until it is stopped. False when the
// process was not started by the Service Control Manager.
bool RunService();

class StatusReporter;  // the service's state, as the Service Control Manager sees it

// The service's front end: a message-only window for the timer and the controls, no view
// and no box. An error that the window would show goes to LOG.TXT as a stamped line (the
// Event Log has it from TEBroker), and the service goes on.
class ServiceHost : public BrokerFrontEnd {
public:
    ServiceHost(TEBroker& broker, StatusReporter* status);  // status may be absent (tests)
    ~ServiceHost();
    ServiceHost(const ServiceHost&) = delete;
    ServiceHost& operator=(const ServiceHost&) = delete;

    bool Create();  // the message-only window, and the timer armed before start-up
    HWND Window() const { return window_; }
    void Run();     // the message loop, until the service has stopped

    // The messages a control posts to Window().
    static constexpr UINT kStopMessage = WM_APP + 1;
    static constexpr UINT kExportMessage = WM_APP + 2;

    // ---- BrokerFrontEnd
    void LineLogged(const std::string& line) override;
    void ErrorLeft(const std::string& text) override;
    void ShowLogged(const std::string&, bool) override {}  // the line and the Event Log tell it all
    void ServerCallStarts() override {}
    void StopReady() override;
    HWND OwnerWindow() const override { return nullptr; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Handle(UINT message);
    void OnTimer();
    void OnStop();

    TEBroker& broker_;
    StatusReporter* status_;
    HWND window_ = nullptr;
};
