// Order, supplier-order, invoice and supplier-invoice packages: calls, log lines, error files.
#include "base/FileSystem.h"
#include "journal/PackageJournal.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

const char kPackage[] = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=11\r\n;comentariu\r\n\r\nD;1;2\r\n";
const TextList kPackageLines = {"[InfoPachet]", "AnLucru=2026", "LunaLucru=11", ";comentariu", "", "D;1;2"};

class DocumentPackagesTest : public BrokerTest, public ::testing::WithParamInterface<ExpectedPackage> {
protected:
    const std::string file = GetParam().File(12);
    std::string ErrName() const { return GetParam().prefix + std::string("12.ERR"); }
    TextList Opening() const { return {"", "", Stamp() + GetParam().opened}; }
};

TEST_P(DocumentPackagesTest, AcceptedPackageIsCountedAndDeleted) {
    const ExpectedPackage& kind = GetParam();
    Start();
    server.count[kind.count] = 3;
    Put("ERORI.TXT", "left by an earlier request");
    Put(file, kPackage);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(),
              std::string("SetLunaLucru(2026,11) SetPachet(6) ") + kind.call + " " + kind.count);
    EXPECT_EQ(server.package, kPackageLines);
    TextList log = Opening();
    log.push_back(std::string("Au fost generate 3") + kind.accepted);
    EXPECT_EQ(Log(), log);
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists("ERORI.TXT"));
    EXPECT_FALSE(Exists(kJournalFileName));
}

TEST_P(DocumentPackagesTest, RefusedPackageKeepsTheServersErrorsOutOfTheLog) {
    const ExpectedPackage& kind = GetParam();
    Start();
    server.ok[kind.call] = 0;
    server.errors = FakeList::Of({"Articol necunoscut: X1", "Cantitate lipsa"});
    Put(file, kPackage);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(),
              std::string("SetLunaLucru(2026,11) SetPachet(6) ") + kind.call + " GetListaErori");
    TextList log = Opening();
    log.push_back("Pachetul contine erori ");
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Read("ERORI.TXT"), "Articol necunoscut: X1\r\nCantitate lipsa\r\n");
    EXPECT_EQ(Read(ErrName()), kPackage);
    EXPECT_FALSE(Exists(file));
}

TEST_P(DocumentPackagesTest, RefusedMonthSendsTheErrorsToLogAndFile) {
    Start();
    server.ok["SetLunaLucru"] = 0;
    server.errors = FakeList::Of({"Luna 0 nu exista"});
    Put(file, "D;1;2\r\n");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) GetListaErori");
    TextList log = Opening();
    log.push_back("Luna 0 nu exista");
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Read("ERORI.TXT"), "Luna 0 nu exista\r\n");
    EXPECT_TRUE(Exists(ErrName()));
}

INSTANTIATE_TEST_SUITE_P(FourKinds, DocumentPackagesTest, ::testing::ValuesIn(ExpectedPackages(true)),
                         [](const auto& info) { return std::string(info.param.call); });

using DocumentPackageTest = BrokerTest;

TEST_F(DocumentPackageTest, EmptyPackageSendsNoLinesAndMonthZero) {
    Start();
    Put("COMANDA_1.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) SetPachet(0) GenComenzi GetNrComenzi");
    EXPECT_EQ(Log().back(), "Au fost generate 0 comenzi in baza de date ");
}

TEST_F(DocumentPackageTest, PrefixedErrorFileIsNamedAfterThePackage) {
    WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
    Start();
    server.ok["GenFacturiFurnizori"] = 0;
    server.errors = FakeList::Of({});
    Put("ERORI_FACTURAFURN_9.TXT", "old");
    Put("FacturaFurn_9.Txt", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("ERORI_FacturaFurn_9.TXT"), "");
    EXPECT_TRUE(Exists("FacturaFurn_9.ERR"));
}

}  // namespace
