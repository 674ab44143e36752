// The real program from start to close.
#include <gtest/gtest.h>

#include "base/BrokerError.h"
#include "support/ServiceProcess.h"

namespace {

// On the demo's settings.
TEST(StartupE2E, WalkThroughStockInvoiceStockAgainAndARefusedPackage) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni("Gestiune=\r\nPrefixareErori=D\r\n"));
    service.Start();
    const auto drop = [&](const std::string& name) {
        service.Put(name, ExampleFile(name));
        ASSERT_TRUE(service.Gone(name, 6000)) << name;
    };
    drop("GETSTOCARTICOL.TXT");
    EXPECT_NE(service.Read("STOCARTICOL.TXT").find("A0001;DEP;Depozit central;40;45.00;76.19;BUC\r\n"),
              std::string::npos);
    const TextList log = service.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), kStamped + " ... Scriu informatiile in " + service.workDir + "\\STOCARTICOL.TXT");

    drop("FACTURA_1.TXT");
    ASSERT_TRUE(WaitUntil([&] { return service.Log(log.size()).size() == 4; }, 3000));
    EXPECT_EQ(service.Log(log.size()), (TextList{kLine, kLine, kStamped + " ... Deschid pachetul cu facturi",
                                                 kLine + "Au fost generate 2 facturi in baza de date "}));

    drop("GETSTOCARTICOL.TXT");
    EXPECT_NE(service.Read("STOCARTICOL.TXT").find("A0001;DEP;Depozit central;37;45.00;76.19;BUC\r\n"),
              std::string::npos);

    drop("FACTURA_2.TXT");
    EXPECT_TRUE(service.Exists("FACTURA_2.ERR"));
    EXPECT_EQ(service.Read("ERORI_FACTURA_2.TXT"), "Linia 11: articol necunoscut ART99\r\n");
    EXPECT_NE(service.Read("LOG.TXT").find("Ver. 3.1 -  Pachetul contine erori \r\n"), std::string::npos);
    service.Close();
}

// Start-up is tried again every 30 s under the box; a close under it ends the program at once.
TEST(StartupE2E, ServerThatCannotBeCreatedShowsOneErrorBoxThenTheWindowOpens) {
    ServiceProcess service;
    service.Register(DocServerForm::None);
    service.WriteIni(service.DefaultIni());
    const std::string box = OleErrorText(REGDB_E_CLASSNOTREG) + "\n";
    service.Start(false);
    ASSERT_TRUE(service.Boxed(box));
    service.Put("GETLISTAGESTIUNI.TXT", "");
    service.Register(DocServerForm::Local);
    EXPECT_TRUE(service.Gone("GETLISTAGESTIUNI.TXT", 45000));
    EXPECT_EQ(service.BoxTexts(), box);  // the ticks meanwhile opened no box of their own
    service.DismissBoxes();
    service.Register(DocServerForm::None);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(service.MainWindow()); }, 10000));
    service.Close();
    ASSERT_TRUE(service.ServersEnd(15000));  // a running one would still serve its class
    service.Start(false);
    ASSERT_TRUE(service.Boxed(box));
    service.Close();
}

}  // namespace
