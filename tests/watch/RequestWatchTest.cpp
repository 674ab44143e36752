// The request watch in-process: the status file, the alert of a request in hand too long,
// and a stop that the request in hand holds up, with its limits shortened.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "VQVersion.h"
#include "support/BrokerFixture.h"
#include "watch/StatusFile.h"

namespace {

using RequestWatchTest = BrokerTest;

std::atomic<bool> gStopOverdue{false};

TEST_F(RequestWatchTest, StatusNamesTheRequestInHandAlertsOnceAndEndsAStopItHoldsUp) {
    WriteIni(DefaultIni() + "AlertaSecunde=1\r\n");
    broker.FRequestWatch.limits = {300, 100, 2500};
    broker.FStopOverdue = [] { gStopOverdue = true; };
    broker.FForm = "serviciu";
    broker.Start();
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
    auto alert = [&] { return StatusValue(ReadShared(Path(kStatusFileName)), "Alerta"); };
    broker.FRequestWatch.ServerBusy(true);  // a server that stays busy past AlertaSecunde
    EXPECT_TRUE(WaitUntil([&] { return alert() == "Serverul de documente este ocupat"; }, 3000));
    broker.FRequestWatch.ServerBusy(false);
    EXPECT_TRUE(WaitUntil([&] { return alert().empty(); }, 3000));

    gStopOverdue = false;
    broker.RequestStop();  // the watch times the stop while something is in hand, whatever that is
    Sleep(2600);
    EXPECT_FALSE(gStopOverdue);
    {
        RequestWatch::InHand inHand(broker.FRequestWatch, "COMANDA_1.TXT");
        auto status = [&](const char* key) { return StatusValue(ReadShared(Path(kStatusFileName)), key); };
        EXPECT_TRUE(WaitUntil([&] { return status("CerereInCurs") == "COMANDA_1.TXT"; }, 3000));
        EXPECT_TRUE(WaitUntil([&] { return !status("Alerta").empty(); }, 3000));
        EXPECT_EQ(status("Alerta").substr(0, 12), "In lucru de ");
        Sleep(1000);
        const auto records = events->Records();
        EXPECT_EQ(
            std::count_if(records.begin(), records.end(),
                          [](const std::string& record) { return record.rfind("W In lucru de", 0) == 0; }),
            1);
        EXPECT_TRUE(WaitUntil([] { return gStopOverdue.load(); }, 3000));
        EXPECT_EQ(events->Records().back().substr(0, 38), "E VQBroker se opreste fara sa mai aste");
    }
    broker.Stop();
    EXPECT_EQ(StatusValue(ReadShared(Path(kStatusFileName)), "Oprit"), stamp);
}

TEST_F(RequestWatchTest, EndOfARequestIsShownAtOnce) {
    WriteIni(DefaultIni());
    broker.FRequestWatch.limits.statusEveryMs = 10000;
    broker.Start();
    auto inHand = [&] { return StatusValue(ReadShared(Path(kStatusFileName)), "CerereInCurs"); };
    {
        RequestWatch::InHand request(broker.FRequestWatch, "COMANDA_1.TXT");
        EXPECT_TRUE(WaitUntil([&] { return inHand() == "COMANDA_1.TXT"; }, 3000));
    }
    EXPECT_TRUE(WaitUntil([&] { return inHand().empty() && Exists(kStatusFileName); }, 900));
}

}  // namespace
