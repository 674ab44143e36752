// The status file's bytes, and what a monitor concludes from them.
#include <gtest/gtest.h>

#include <tuple>

#include "watch/StatusFile.h"

namespace {

TEST(StatusFileTest, WrittenInTheSettingsFormAndJudgedForMonitoring) {
    ServiceStatus status{"3.1.0",
                         "serviciu",
                         "07.12.2026 09:05:03",
                         "07.12.2026 09:15:03",
                         true,
                         "COMANDA_1.TXT",
                         "07.12.2026 09:15:01",
                         12,
                         3,
                         "Linia 1\r\nLinia 2",
                         ""};
    const std::string text = FormatStatusFile(status);
    EXPECT_EQ(text,
              "[Stare]\r\nVersiune=3.1.0\r\nForma=serviciu\r\nPornit=07.12.2026 09:05:03\r\n"
              "Actualizat=07.12.2026 09:15:03\r\nServer=D\r\nCerereInCurs=COMANDA_1.TXT\r\n"
              "CerereInCursDeLa=07.12.2026 09:15:01\r\nCereriServite=12\r\nCereriEsuate=3\r\n"
              "UltimaEroare=Linia 1  Linia 2\r\nAlerta=\r\n");
    EXPECT_EQ(JudgeStatus(text + "Oprit=07.12.2026 09:15:04\r\n", true), StatusVerdict::NotRunning);

    const std::tuple<bool, const char*, bool, StatusVerdict> cases[] = {
        {true, "", true, StatusVerdict::Healthy},
        {true, "", false, StatusVerdict::NotRunning},  // not refreshed lately
        {true, "In lucru de 300 de secunde: COMANDA_1.TXT", true, StatusVerdict::Alert},
        {false, "Serverul de documente nu este disponibil", true, StatusVerdict::Alert},
        {false, "", true, StatusVerdict::Alert},
    };
    for (const auto& [serverReady, alert, fresh, verdict] : cases) {
        status.serverReady = serverReady;
        status.alert = alert;
        EXPECT_EQ(JudgeStatus(FormatStatusFile(status), fresh), verdict) << alert << fresh;
    }
    EXPECT_EQ(JudgeStatus("", true), StatusVerdict::NotRunning);
    EXPECT_EQ(JudgeStatus("[Altceva]\r\nServer=D\r\n", true), StatusVerdict::NotRunning);
}

}  // namespace
