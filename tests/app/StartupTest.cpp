// Start-up: reading the settings into the service state and configuring the server.
#include "support/BrokerFixture.h"

namespace {

using StartupTest = BrokerTest;

TEST_F(StartupTest, CompleteSettingsConfigureTheServerAndLogNothing) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\\\r\nFirmaLucru=ACME SRL\r\n"
             "IDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\nGestiune=g1;g2;\r\nPrefixareErori=d\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.CallsText(),
              "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN) SetFirmaLucru(ACME SRL)");
    EXPECT_EQ(broker.FWorkDir, workDir);
    EXPECT_EQ(broker.FGestiuni, (TextList{"G1", "G2"}));
    EXPECT_TRUE(broker.FPrefixErrors);
    EXPECT_TRUE(broker.LogText().empty());
}

}  // namespace
