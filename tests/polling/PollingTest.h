// The polling tests' service: ticks that may raise, a directory that goes.
#pragma once

#include <windows.h>

#include "support/BrokerFixture.h"

class PollingTest : public BrokerTest {
protected:
    void TearDown() override {
        BringBack();  // should a test have left it away
        RemoveFolder(Away());
        BrokerTest::TearDown();
    }
    // A tick whose handler may raise (the queries' handlers report their own failures).
    void TickQuietly() {
        ErrorRaisedBy([&] { broker.TimerTimer(); });
    }
    // What the server was asked during one tick of this run, or of a second one.
    std::string CallsOfATick(TEBroker& run) {
        server.calls.clear();
        run.TimerTimer();
        return server.CallsText();
    }
};
