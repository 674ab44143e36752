// The service host in-process: the core's reports reach it, and the controls reach the core.
#include "support/BrokerFixture.h"

#include "service/ServiceHost.h"
#include "support/ServiceProcess.h"

namespace {

using ServiceHostTest = BrokerTest;

// Serves this thread's messages until the host's loop would end or the time is up.
void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG message;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

// An error that would show a box in the window is a stamped log line and an Event Log
// record; the export control and the stop reach the core; start and stop are recorded.
TEST_F(ServiceHostTest, ErrorsGoToTheLogAndTheEventLogAndControlsReachTheCore) {
    WriteIni(DefaultIni());
    ServiceHost host(broker, nullptr);
    ASSERT_TRUE(host.Create());
    broker.Start();
    server.failures["GetStocuri"] = {E_FAIL, "Baza de date nu raspunde"};
    Put("GETSTOC.TXT", "");
    broker.Tick();
    EXPECT_FALSE(Exists("GETSTOC.TXT"));
    EXPECT_EQ(Log().back(), Stamp() + " ... Baza de date nu raspunde");
    EXPECT_TRUE(ServiceProcess::Dialogs(GetCurrentProcessId()).empty());

    PostMessageW(host.Window(), ServiceHost::kExportMessage, 0, 0);
    Pump(200);
    EXPECT_TRUE(Exists("SOLDURI.TXT"));
    PostMessageW(host.Window(), ServiceHost::kStopMessage, 0, 0);
    Pump(5000);
    EXPECT_EQ(host.Window(), nullptr);
    EXPECT_FALSE(broker.FServer);
    EXPECT_EQ(events->records,
              (TextList{"I Generator comenzi Velquoria a pornit; directorul de lucru: " + workDir,
                        "E Baza de date nu raspunde", "I Generator comenzi Velquoria s-a oprit"}));
}

}  // namespace
