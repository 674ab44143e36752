// The README's first walk through the demo, step by step, with what it says one will see.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "support/ServiceProcess.h"

namespace {

std::string StockLine(const ServiceProcess& service, const std::string& location) {
    for (const std::string& line : SplitTextLines(service.Read("STOCARTICOL.TXT")))
        if (line.rfind("A0001;" + location + ";", 0) == 0) return line;
    return {};
}

void Drop(const ServiceProcess& service, const std::string& name) {
    service.Put(name, ExampleFile(name));
    ASSERT_TRUE(WaitUntil([&] { return !service.Exists(name); }, 6000)) << name;
}

TEST(WalkThroughE2ETest, StockInvoiceStockAgainAndARefusedPackage) {
    ServiceProcess service;
    // The demo's settings.
    service.WriteIni(service.DefaultIni("Gestiune=\r\nPrefixareErori=D\r\n"));
    service.Start();

    Drop(service, "GETSTOCARTICOL.TXT");
    EXPECT_EQ(StockLine(service, "DEP"), "A0001;DEP;Depozit central;40;45.00;76.19;BUC");
    std::vector<std::string> log = StampFreeLines(service.Read("LOG.TXT"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(),
              "Ver. 3.1 -  <stamp>  ... Scriu informatiile in " + service.workDir + "\\STOCARTICOL.TXT");

    Drop(service, "FACTURA_1.TXT");
    ASSERT_TRUE(
        WaitUntil([&] { return StampFreeLines(service.Read("LOG.TXT")).size() == log.size() + 4; }, 3000));
    std::vector<std::string> added(StampFreeLines(service.Read("LOG.TXT")));
    added.erase(added.begin(), added.begin() + long(log.size()));
    EXPECT_EQ(added, (std::vector<std::string>{"Ver. 3.1 -  ", "Ver. 3.1 -  ",
                                               "Ver. 3.1 -  <stamp>  ... Deschid pachetul cu facturi",
                                               "Ver. 3.1 -  Au fost generate 2 facturi in baza de date "}));

    Drop(service, "GETSTOCARTICOL.TXT");
    EXPECT_EQ(StockLine(service, "DEP"), "A0001;DEP;Depozit central;37;45.00;76.19;BUC");

    Drop(service, "FACTURA_2.TXT");
    EXPECT_TRUE(service.Exists("FACTURA_2.ERR"));
    EXPECT_EQ(service.Read("ERORI_FACTURA_2.TXT"), "Linia 11: articol necunoscut ART99\r\n");
    EXPECT_NE(service.Read("LOG.TXT").find("Ver. 3.1 -  Pachetul contine erori \r\n"), std::string::npos);
    service.Close();
}

}  // namespace
