// The operator's partner balance export: working month, SOLDURI.TXT, refusals.
#include "support/BrokerFixture.h"

#include "base/BrokerError.h"

namespace {

constexpr char kRefusal[] = "Nu pot procesa acum cererea de extragere solduri parteneri";

using BalanceExportTest = BrokerTest;

TEST_F(BalanceExportTest, LastDayOfTheYearExportsDecember) {
    today = {2026, 12, 31, 23, 59, 58};
    Start();
    server.lists["GetSolduriParteneri"] = FakeList::Of({"P1;120,50", "P2;-3"});
    broker.ImportSolduriClick();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetSolduriParteneri(-1)");
    EXPECT_EQ(Read("SOLDURI.TXT"), "P1;120,50\r\nP2;-3\r\n");
    EXPECT_EQ(Log(), TextList{Stamp() + " ... Import solduri parteneri "});
    EXPECT_FALSE(broker.FBusy);
}

TEST_F(BalanceExportTest, FirstDayOfTheYearExportsJanuaryOfTheNewYear) {
    today = {2027, 1, 1, 0, 0, 1};
    Start();
    broker.ImportSolduriClick();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2027,1) GetSolduriParteneri(-1)");
}

TEST_F(BalanceExportTest, EmptyOrMissingListWritesAnEmptyFileWhole) {
    Start();
    server.lists["GetSolduriParteneri"] = FakeList::OfVariants({"P1;1"});
    broker.ImportSolduriClick();
    EXPECT_EQ(Read("SOLDURI.TXT"), "P1;1\r\n");
    for (const FakeList& list : {FakeList{}, FakeList::Of({})}) {
        server.lists["GetSolduriParteneri"] = list;
        broker.ImportSolduriClick();
        EXPECT_TRUE(Exists("SOLDURI.TXT"));
        EXPECT_EQ(Read("SOLDURI.TXT"), "");
    }
    EXPECT_EQ(Log(), TextList(3, Stamp() + " ... Import solduri parteneri "));
}

TEST_F(BalanceExportTest, RequestInProgressRefusesTheClick) {
    Start();
    broker.FBusy = true;
    broker.ImportSolduriClick();
    EXPECT_EQ(Log(), TextList{kRefusal});
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_TRUE(broker.FBusy);  // still the request's
    EXPECT_FALSE(Exists("SOLDURI.TXT"));
}

TEST_F(BalanceExportTest, MissingServerRefusesTheClick) {
    Start();
    broker.FServer.reset();
    broker.ImportSolduriClick();
    EXPECT_EQ(Log(), TextList{kRefusal});
    EXPECT_FALSE(broker.FBusy);
}

TEST_F(BalanceExportTest, RefusalsAreReportedToLogAndErrorFileNamedAfterTheLastRequest) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    broker.FCurrentRequest = "GETSTOC.TXT";
    Put("SOLDURI.TXT", "earlier");
    server.errors = FakeList::Of({"Luna inchisa"});
    server.ok["SetLunaLucru"] = 0;
    broker.ImportSolduriClick();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) GetListaErori");
    EXPECT_EQ(Read("ERORI_GETSTOC.TXT"), "Luna inchisa\r\n");

    server.ok["SetLunaLucru"] = 1;
    server.errorCode["GetSolduriParteneri"] = 4;
    server.errors = FakeList::Of({"Solduri indisponibile"});
    broker.ImportSolduriClick();
    EXPECT_EQ(Read("ERORI_GETSTOC.TXT"), "Solduri indisponibile\r\n");
    EXPECT_EQ(Log(), (TextList{"Luna inchisa", "Solduri indisponibile"}));
    EXPECT_EQ(Read("SOLDURI.TXT"), "earlier");
    EXPECT_FALSE(broker.FBusy);
}

TEST_F(BalanceExportTest, SuccessLeavesAnEarlierErrorFile) {
    Start();
    Put("ERORI.TXT", "from a request");
    broker.ImportSolduriClick();
    EXPECT_EQ(Read("ERORI.TXT"), "from a request");
}

TEST_F(BalanceExportTest, FailingCallLeavesTheClickWithBusyCleared) {
    Start();
    Put("SOLDURI.TXT", "earlier");
    server.failures["GetSolduriParteneri"] = {E_FAIL, "Server oprit"};
    EXPECT_THROW(broker.ImportSolduriClick(), BrokerError);
    EXPECT_FALSE(broker.FBusy);
    EXPECT_EQ(Read("SOLDURI.TXT"), "earlier");
    EXPECT_EQ(Log(), TextList{});
}

}  // namespace
