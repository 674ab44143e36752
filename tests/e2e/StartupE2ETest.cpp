// The real program from start to close: the README's walk through the demo, an outage.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "support/ServiceProcess.h"

namespace {

std::string StockLine(const std::string& name) {
    for (const std::string& line : SplitTextLines(ReadShared(name)))
        if (line.rfind("A0001;DEP;", 0) == 0) return line;
    return {};
}

class StartupE2ETest : public ServiceScenario {
protected:
    static void Drop(const std::string& name) {
        service->Put(name, ExampleFile(name));
        ASSERT_TRUE(service->Gone(name, 6000)) << name;
    }
    static TextList OutageLines() {
        const std::string ran = kStamped + " ... Rulez " + service->exeDir + "Avarie.bat";
        return {kStamped + " ... Directorul de lucru este inactiv", ran, ran};
    }
    static inline ULONGLONG started = 0;
    static inline size_t logBeforeOutage = 0;
};

TEST_F(StartupE2ETest, StartWithoutSettingsShowsTheTwoSettingsMessages) {
    service->Start();
    EXPECT_TRUE(WaitUntil([] { return !service->ViewText().empty(); }, 5000));
    const std::string view = service->ViewText();
    EXPECT_NE(view.find("Ver. 3.1 -  Nu ai precizat in VQBroker.Ini directorul de lucru"), std::string::npos)
        << view;
    EXPECT_NE(view.find("Ver. 3.1 -  Nu ai precizat in VQBroker.Ini firma de lucru"), std::string::npos)
        << view;
    service->Close();
}

TEST_F(StartupE2ETest, SecondCopySaysItIsAlreadyRunningAndEnds) {
    service->WriteIni(service->DefaultIni("Gestiune=\r\nPrefixareErori=D\r\n"));  // the demo's settings
    service->Start();
    started = GetTickCount64();
    EXPECT_EQ(service->AnotherCopysBox(), "Aplicatia deja lucreaza");
    EXPECT_TRUE(service->Running());
    EXPECT_TRUE(IsWindow(service->MainWindow()));
}

TEST_F(StartupE2ETest, CompleteSettingsStartAndIdleTicksAddNoLogLine) {
    Sleep(DWORD(2500 - std::min<ULONGLONG>(2500, GetTickCount64() - started)));  // a couple of idle ticks
    EXPECT_EQ(service->ViewText(), "");
    EXPECT_EQ(service->BoxTexts(), "");
    EXPECT_EQ(ReadShared(service->Path("LOG.TXT")), "");
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

TEST_F(StartupE2ETest, OrderPackageIsServedWithinTwoTicksDeletedAndLogged) {
    const size_t before = service->Log().size();
    service->Put("COMANDA_123.TXT", ExampleFile("COMANDA_1.TXT"));
    ASSERT_TRUE(service->Gone("COMANDA_123.TXT", 4000));
    ASSERT_TRUE(WaitUntil([&] { return service->Log(before).size() == 4; }, 3000));
    EXPECT_EQ(service->Log(before), (TextList{kLine, kLine, kStamped + " ... Deschid pachetul cu comenzi",
                                              kLine + "Au fost generate 1 comenzi in baza de date "}));
    EXPECT_FALSE(service->Exists("COMANDA_123.ERR"));
}

// The emergency script runs again once its last run ended: it ends at once, then hangs.
TEST_F(StartupE2ETest, OutageIsLoggedOnceAndStartsTheScriptAgainOnceItEnded) {
    const std::string folder = service->exeDir;
    WriteFileReplacing(
        folder + "Avarie.bat",
        "@echo off\r\nset F=" + folder +
            "\r\necho started>>\"%F%runs.txt\"\r\n"
            "if exist \"%F%hang.txt\" goto wait\r\necho.>\"%F%hang.txt\"\r\nexit /b\r\n:wait\r\n"
            "ping -n 2 127.0.0.1 >nul\r\nif not exist \"%F%stop.txt\" goto wait\r\n");
    logBeforeOutage = service->Log().size();
    ASSERT_TRUE(service->TakeAway());
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadShared(folder + "runs.txt") == "started\r\nstarted\r\n" &&
                   service->Children(L"cmd.exe") == 1;
        },
        20000));
}

TEST_F(StartupE2ETest, EmergencyScriptThatHangsIsNotStartedAgainWhileItRuns) {
    Sleep(5000);  // five ticks or so of the outage, the script still running
    EXPECT_EQ(service->Children(L"cmd.exe"), 1u);
    EXPECT_EQ(ReadShared(service->exeDir + "runs.txt"), "started\r\nstarted\r\n");
    ASSERT_TRUE(service->BringBack());
    EXPECT_TRUE(service->Answers());  // polling resumes, and the return is not logged
    const TextList view = StampFreeLines(service->ViewText());
    ASSERT_GE(view.size(), 3u);
    EXPECT_EQ(TextList(view.end() - 3, view.end()), OutageLines());
    WriteFileReplacing(service->exeDir + "stop.txt", "");
    EXPECT_TRUE(WaitUntil([&] { return service->Children(L"cmd.exe") == 0; }, 20000));
}

// The outage's lines reach LOG.TXT by the close at the latest, which adds none of its own.
TEST_F(StartupE2ETest, CloseAddsNoLogLine) {
    service->Close();
    EXPECT_EQ(service->Log(logBeforeOutage), OutageLines());
    EXPECT_EQ(service->RunForm("/status").exitCode, 1u);
}

// Dismissed, the window opens; closed under the box, the program ends at once.
TEST(StartupE2E, ServerThatCannotBeCreatedShowsOneErrorBoxThenTheWindowOpens) {
    ServiceProcess service(DocServerForm::None);
    service.WriteIni(service.DefaultIni());
    for (bool dismissed : {true, false}) {
        service.Start(false);
        ASSERT_NE(ServiceProcess::FirstBox(service.ProcessId()), nullptr);  // one with its text
        if (dismissed) {
            Sleep(3000);  // ticks go on meanwhile: they must not open boxes of their own
            EXPECT_EQ(ServiceProcess::Dialogs(service.ProcessId()).size(), 1u);
            service.DismissBoxes();
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(service.MainWindow()); }, 10000));
        }
        service.Close();
    }
}

}  // namespace
