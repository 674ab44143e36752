// What the service's work tells the front end that drives it (the operator's window, the
// service host, or a test's recorder).
#pragma once

#include <windows.h>

#include <string>

class BrokerFrontEnd {
public:
    // A line added to the activity log, prefix included, before LOG.TXT is saved.
    virtual void LineLogged(const std::string& line) = 0;
    // An error that left start-up, a tick or the export; the Event Log has it already.
    virtual void ErrorLeft(const std::string& text) = 0;
    // An error or a warning that LOG.TXT and the Event Log have already.
    virtual void ShowLogged(const std::string& text, bool warning) = 0;
    // A server call is about to be made, which may last: what was logged is to be shown now.
    virtual void ServerCallStarts() = 0;
    // A stop asked for while a request or the export was in hand may go ahead now.
    virtual void StopReady() = 0;
    // The window that owns what the service starts (the emergency script); none in the service.
    virtual HWND OwnerWindow() const = 0;

protected:
    ~BrokerFrontEnd() = default;
};
