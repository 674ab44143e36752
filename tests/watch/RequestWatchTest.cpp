// The request watch, its limits shortened.
#include <windows.h>

#include <atomic>

#include "VQVersion.h"
#include "support/BrokerFixture.h"
#include "watch/StatusFile.h"

namespace {

std::atomic<bool> gStopOverdue{false};

class RequestWatchTest : public BrokerTest {
protected:
    // A request in hand for a second raises the alert.
    void StartWatched(RequestWatch::Limits limits) {
        WriteIni(DefaultIni("AlertaSecunde=1\r\n"));
        broker.FRequestWatch.limits = limits;
        gStopOverdue = false;
        broker.FStopOverdue = [] { gStopOverdue = true; };
        broker.FForm = "serviciu";
        broker.Start();
    }
    std::string Status(const char* key) const { return StatusValue(ReadShared(Path(kStatusFileName)), key); }
};

TEST_F(RequestWatchTest, StatusCountsRequestsAndAlertsOnABusyServerOrARequestInHandTooLong) {
    StartWatched({300, 100, 60000});
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.Tick();
    server.errorCode["GetListaGestiuni"] = 5;
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.Tick();
    const std::string stamp = Stamp().substr(0, 19);
    const std::string idle = "[Stare]\r\nVersiune=" VQ_VERSION_TEXT "\r\nForma=serviciu\r\nPornit=" + stamp +
                             "\r\nActualizat=" + stamp +
                             "\r\nServer=D\r\nCerereInCurs=\r\nCerereInCursDeLa=\r\nCereriServite=1\r\n"
                             "CereriEsuate=1\r\nUltimaEroare=\r\nAlerta=\r\n";
    EXPECT_TRUE(WaitUntil([&] { return ReadShared(Path(kStatusFileName)) == idle; }, 3000))
        << ReadShared(Path(kStatusFileName));
    server.failures = {{"GetListaGestiuni", {RPC_E_CALL_REJECTED, ""}}};  // past AlertaSecunde
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.Tick();
    EXPECT_TRUE(WaitUntil([&] { return Status("Alerta") == "Serverul de documente este ocupat"; }, 3000));
    DeleteFileQuietly(Wide(Path("GETLISTAGESTIUNI.TXT")));
    broker.Tick();
    EXPECT_TRUE(WaitUntil([&] { return Status("Alerta").empty(); }, 3000));

    RequestWatch::InHand inHand(broker.FRequestWatch, "COMANDA_1.TXT");
    EXPECT_TRUE(WaitUntil([&] { return Status("Alerta").starts_with("In lucru de "); }, 3000));
}

// A stop is timed only while a request is in hand.
TEST_F(RequestWatchTest, StopHeldUpByARequestInHandEndsAtItsLimit) {
    StartWatched({300, 100, 2500});
    broker.RequestStop();
    Sleep(2600);
    {
        RequestWatch::InHand inHand(broker.FRequestWatch, "COMANDA_1.TXT");
        Sleep(1500);
        EXPECT_FALSE(gStopOverdue);
        EXPECT_TRUE(WaitUntil([] { return gStopOverdue.load(); }, 5000));
    }
    broker.Stop();
    EXPECT_EQ(Status("Oprit"), Stamp().substr(0, 19));
}

TEST_F(RequestWatchTest, EndOfARequestIsShownAtOnce) {
    StartWatched({});  // written every 10 seconds
    {
        RequestWatch::InHand request(broker.FRequestWatch, "COMANDA_1.TXT");
        EXPECT_TRUE(WaitUntil([&] { return Status("CerereInCurs") == "COMANDA_1.TXT"; }, 3000));
    }
    EXPECT_TRUE(WaitUntil([&] { return Status("CerereInCurs").empty() && Exists(kStatusFileName); }, 900));
}

}  // namespace
