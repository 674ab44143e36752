// Order, supplier-order, invoice and supplier-invoice packages: calls, log lines, error files.
#include "base/FileSystem.h"
#include "polling/PackageJournal.h"
#include "support/BrokerFixture.h"

namespace {

using Lines = std::vector<std::string>;

struct Kind {
    const char* file;
    const char* generate;
    const char* count;
    const char* opened;
    const char* countText;
};

const Kind kKinds[] = {
    {"COMANDA_12.TXT", "GenComenzi", "GetNrComenzi", " ... Deschid pachetul cu comenzi", " comenzi in baza de date "},
    {"COMANDAFURN_12.TXT", "GenComenziFurnizori", "GetNrComenziFurnizori", " ... Deschid pachetul cu comenzi",
     " comenzi furnizori in baza de date "},
    {"FACTURA_12.TXT", "GenFacturi", "GetNrFacturi", " ... Deschid pachetul cu facturi", " facturi in baza de date "},
    {"FACTURAFURN_12.TXT", "GenFacturiFurnizori", "GetNrFacturiFurnizori",
     " ... Deschid pachetul cu facturi furnizori", " facturi furnizori in baza de date "},
};

const char kPackage[] = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=11\r\n;comentariu\r\n\r\nD;1;2\r\n";
const Lines kPackageLines = {"[InfoPachet]", "AnLucru=2026", "LunaLucru=11", ";comentariu", "", "D;1;2"};

class DocumentPackagesTest : public BrokerTest, public ::testing::WithParamInterface<Kind> {
protected:
    std::string ErrName() const {
        std::string name = GetParam().file;
        return name.replace(name.size() - 4, 4, ".ERR");
    }
    Lines Opening() const { return {"", "", Stamp() + GetParam().opened}; }
};

TEST_P(DocumentPackagesTest, AcceptedPackageIsCountedAndDeleted) {
    const Kind& kind = GetParam();
    Start();
    server.count[kind.count] = 3;
    Put("ERORI.TXT", "left by an earlier request");
    Put(kind.file, kPackage);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string("SetLunaLucru(2026,11) SetPachet(6) ") + kind.generate + " " + kind.count);
    EXPECT_EQ(server.package, kPackageLines);
    Lines log = Opening();
    log.push_back(std::string("Au fost generate 3") + kind.countText);
    EXPECT_EQ(Log(), log);
    EXPECT_FALSE(Exists(kind.file));
    EXPECT_FALSE(Exists("ERORI.TXT"));
    EXPECT_FALSE(Exists(kJournalFileName));
}

TEST_P(DocumentPackagesTest, RefusedPackageKeepsTheServersErrorsOutOfTheLog) {
    const Kind& kind = GetParam();
    Start();
    server.ok[kind.generate] = 0;
    server.errors = FakeList::Of({"Articol necunoscut: X1", "Cantitate lipsa"});
    Put(kind.file, kPackage);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string("SetLunaLucru(2026,11) SetPachet(6) ") + kind.generate + " GetListaErori");
    Lines log = Opening();
    log.push_back("Pachetul contine erori ");
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Read("ERORI.TXT"), "Articol necunoscut: X1\r\nCantitate lipsa\r\n");
    EXPECT_EQ(Read(ErrName()), kPackage);
    EXPECT_FALSE(Exists(kind.file));
}

TEST_P(DocumentPackagesTest, RefusedMonthSendsTheErrorsToLogAndFile) {
    const Kind& kind = GetParam();
    Start();
    server.ok["SetLunaLucru"] = 0;
    server.errors = FakeList::Of({"Luna 0 nu exista"});
    Put(kind.file, "D;1;2\r\n");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(0,0) GetListaErori");
    Lines log = Opening();
    log.push_back("Luna 0 nu exista");
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(Read("ERORI.TXT"), "Luna 0 nu exista\r\n");
    EXPECT_TRUE(Exists(ErrName()));
}

INSTANTIATE_TEST_SUITE_P(FourKinds, DocumentPackagesTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.generate); });

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
