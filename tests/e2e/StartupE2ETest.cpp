// The real program from start to close: the README's walk through the demo, a second copy,
// and a start without a server.
#include <gtest/gtest.h>

#include <memory>

#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "support/ServiceProcess.h"

namespace {

std::string StockLine(const std::string& name) {
    for (const std::string& line : SplitTextLines(ReadShared(name)))
        if (line.rfind("A0001;DEP;", 0) == 0) return line;
    return {};
}

// One copy on the demo's settings, and what it showed after a couple of idle ticks.
class StartupE2ETest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service = std::make_unique<ServiceProcess>();
        service->WriteIni(service->DefaultIni("Gestiune=\r\nPrefixareErori=D\r\n"));
        service->Start();
        Sleep(2500);
        idleView = service->ViewText();
        idleBoxes = service->BoxTexts();
        idleLog = ReadShared(service->Path("LOG.TXT"));
    }
    static void TearDownTestSuite() { service.reset(); }
    static void Drop(const std::string& name) {
        service->Put(name, ExampleFile(name));
        ASSERT_TRUE(service->Gone(name, 6000)) << name;
    }
    static inline std::unique_ptr<ServiceProcess> service;
    static inline std::string idleView, idleBoxes, idleLog;
};

TEST_F(StartupE2ETest, CompleteSettingsStartAndIdleTicksAddNoLogLine) {
    EXPECT_EQ(idleView, "");
    EXPECT_EQ(idleBoxes, "");
    EXPECT_EQ(idleLog, "");
}

TEST_F(StartupE2ETest, SecondCopySaysItIsAlreadyRunningAndEnds) {
    EXPECT_EQ(service->AnotherCopysBox(), "Aplicatia deja lucreaza\n");
    EXPECT_TRUE(service->Running());
    EXPECT_TRUE(IsWindow(service->MainWindow()));
}

TEST_F(StartupE2ETest, WalkThroughStockInvoiceStockAgainAndARefusedPackage) {
    Drop("GETSTOCARTICOL.TXT");
    EXPECT_EQ(StockLine(service->Path("STOCARTICOL.TXT")), "A0001;DEP;Depozit central;40;45.00;76.19;BUC");
    const TextList log = service->Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), kStamped + " ... Scriu informatiile in " + service->workDir + "\\STOCARTICOL.TXT");

    Drop("FACTURA_1.TXT");
    ASSERT_TRUE(WaitUntil([&] { return service->Log(log.size()).size() == 4; }, 3000));
    EXPECT_EQ(service->Log(log.size()), (TextList{kLine, kLine, kStamped + " ... Deschid pachetul cu facturi",
                                                  kLine + "Au fost generate 2 facturi in baza de date "}));

    Drop("GETSTOCARTICOL.TXT");
    EXPECT_EQ(StockLine(service->Path("STOCARTICOL.TXT")), "A0001;DEP;Depozit central;37;45.00;76.19;BUC");

    Drop("FACTURA_2.TXT");
    EXPECT_TRUE(service->Exists("FACTURA_2.ERR"));
    EXPECT_EQ(service->Read("ERORI_FACTURA_2.TXT"), "Linia 11: articol necunoscut ART99\r\n");
    EXPECT_NE(service->Read("LOG.TXT").find("Ver. 3.1 -  Pachetul contine erori \r\n"), std::string::npos);
}

// Dismissed, the window opens; closed under the box, the program ends at once.
TEST(StartupE2E, ServerThatCannotBeCreatedShowsOneErrorBoxThenTheWindowOpens) {
    ServiceProcess service(DocServerForm::None);
    service.WriteIni(service.DefaultIni());
    const std::string box = OleErrorText(REGDB_E_CLASSNOTREG) + "\n";
    for (bool dismissed : {true, false}) {
        service.Start(false);
        ASSERT_TRUE(service.Boxed(box));
        if (dismissed) {
            Sleep(3000);  // ticks go on meanwhile: they must not open boxes of their own
            EXPECT_EQ(service.BoxTexts(), box);
            service.DismissBoxes();
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(service.MainWindow()); }, 10000));
        }
        service.Close();
    }
}

}  // namespace
