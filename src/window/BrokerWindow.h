// The operator's window: the log view, the button, the one-second timer, keys and error
// boxes, over the service's work in TEBroker.
#pragma once

#include <windows.h>

#include <string>

#include "base/Owners.h"
#include "core/Broker.h"

// The view's own timer, which brings it the lines logged since its last change.
inline constexpr UINT_PTR kViewTimerId = 2;
inline constexpr UINT kViewDelayMs = 200;

class BrokerWindow : public BrokerFrontEnd {
public:
    explicit BrokerWindow(TEBroker& broker);
    ~BrokerWindow();
    BrokerWindow(const BrokerWindow&) = delete;
    BrokerWindow& operator=(const BrokerWindow&) = delete;

    // Builds the main window (which arms the timer and starts the service) and shows it;
    // true also when it was closed already, under a box of start-up's.
    bool Create(HINSTANCE instance, int showCommand);
    HWND Window() const { return FWindow; }
    // Runs the message loop until the window is gone.
    int Run();

    HWND Messages = nullptr;       // read-only view of the activity log
    UINT_PTR Timer = 0;            // the one-second poll timer
    HWND ImportSolduri = nullptr;  // "&Import solduri parteneri"

    // ---- BrokerFrontEnd
    void LineLogged(const std::string& line) override;
    // Shows the error in a box; while one box is open, or the window is closing, a
    // further error is logged instead, so boxes never nest and nothing waits for a box.
    void ErrorLeft(const std::string& text) override;
    void ShowLogged(const std::string& text, bool warning) override;
    void ServerCallStarts() override { ShowPendingLines(); }
    void StopReady() override;
    HWND OwnerWindow() const override { return FWindow; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(WPARAM kind);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDestroy();
    void ShowBox(const std::string& text, UINT icon);  // modal; ticks go on beneath it
    void CreateComponents();
    int Scaled(int designed) const;

public:
    // ---- window/LogView.cpp: the view keeps the newest part of the log in sight; lines
    // logged meanwhile reach it together, a moment later
    void ShowPendingLines();

private:
    void AppendToView(const std::string& text);
    void ShowLogTail();
    void ScrollViewToEnd();

    TEBroker& FBroker;
    HWND FWindow = nullptr;
    UniqueFont FWindowFont;
    UniqueFont FViewFont;
    int FDpi = 120;
    bool FErrorBoxOpen = false;
    std::string FViewPending;  // logged, not yet in the view
    bool FViewDue = false;     // the view's timer is set
};
