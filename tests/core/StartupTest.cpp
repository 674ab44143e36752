// Start-up: reading the settings into the service state and configuring the server.
#include "support/BrokerFixture.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"

namespace {

using StartupTest = BrokerTest;

TEST_F(StartupTest, CompleteSettingsConfigureTheServerAndLogNothing) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir +
             "\\\r\nFirmaLucru=ACME SRL\r\n"
             "IDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\nGestiune=g1;g2;\r\nPrefixareErori=d\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.CallsText(),
              "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN) SetFirmaLucru(ACME SRL)");
    EXPECT_EQ(broker.FWorkDir, workDir);
    EXPECT_EQ(broker.FGestiuni, (TextList{"G1", "G2"}));
    EXPECT_TRUE(broker.FPrefixErrors);
    EXPECT_TRUE(broker.LogText().empty());
    EXPECT_FALSE(Exists("LOG.TXT"));
}

TEST_F(StartupTest, KeyKindsSelectTheConfigurationCalls) {
    struct Case {
        const char* partner;
        const char* article;
        const char* calls;
    } cases[] = {
        {"IDPartener=codfiscal", "IDArticol=CODINTERN",
         "SetTipIDPartener(CODINTERN) SetTipIDPartener(CODFISCAL) SetTipIDArticol(CODINTERN)"},
        {"IDPartener=CodExtern", "IDArticol=codextern",
         "SetTipIDPartener(CODINTERN) SetTipIDPartener(CODEXTERN) SetTipIDArticol(CODEXTERN)"},
        {"IDPartener=COD FISCAL", "IDArticol=CODFISCAL",
         "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)"},
        {"", "", "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)"},
    };
    for (const auto& c : cases) {
        server.calls.clear();
        WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=F\r\n" + c.partner + "\r\n" +
                 c.article + "\r\n");
        broker.FormCreate();
        EXPECT_EQ(server.CallsText(), std::string(c.calls) + " SetFirmaLucru(F)") << c.partner;
    }
}

TEST_F(StartupTest, CompanyEmptyMissingOrRefused) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.calls.back(), "SetFirmaLucru()");

    server.calls.clear();
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini firma de lucru"}));

    server.calls.clear();
    server.ok["SetFirmaLucru"] = 0;
    server.errors = FakeList::Of({"Firma X nu exista", "A doua linie"});
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=X\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.calls.back(), "GetListaErori");
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini firma de lucru", "Firma X nu exista",
                               "A doua linie"}));
    EXPECT_FALSE(Exists("ERORI.TXT"));  // refusals at start-up go to the log only
}

TEST_F(StartupTest, MissingSettingsFileLogsBothMessagesOnScreenOnly) {
    broker.FormCreate();
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini directorul de lucru",
                               "Nu ai precizat in VQBroker.Ini firma de lucru"}));
    EXPECT_EQ(broker.FWorkDir, "?");
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
}

TEST_F(StartupTest, FailingConfigurationCallStopsFormCreateWithTheServersText) {
    server.failures["SetTipIDArticol"] = {E_FAIL, "Serverul nu raspunde"};
    WriteIni(DefaultIni());
    try {
        broker.FormCreate();
        FAIL() << "no error";
    } catch (const BrokerError& error) {
        EXPECT_STREQ(error.what(), "Serverul nu raspunde");
    }
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
}

TEST_F(StartupTest, ServerThatCannotBeCreatedLeavesNoServer) {
    broker.FCreateServer = []() -> ComRef<ITallyportObject> { throw BrokerError("Class not registered"); };
    WriteIni(DefaultIni());
    EXPECT_THROW(broker.FormCreate(), BrokerError);
    EXPECT_FALSE(broker.FServer);
    EXPECT_EQ(broker.FWorkDir, workDir);  // settings were read before the server was made
}

}  // namespace
