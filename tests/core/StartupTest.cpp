// Start-up: reading the settings into the service state and configuring the server.
#include "support/BrokerFixture.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"

#include <functional>
#include <thread>

#include "core/SingleInstance.h"

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

const char kOrder[] = "[InfoPachet]\r\nAnLucru=2026\r\nLunaLucru=12\r\nD;1\r\n";
std::string gCreationError;  // what a server that cannot be made raises

// Start-up's server steps fail as a whole, whichever step fails: no server is kept,
// requests wait in place, the steps are tried again every 30 seconds, a failure is told
// once (a new one once more), and the first success says so and serves at once.
TEST_F(StartupTest, FailedServerStepsAreTriedAgainWhileRequestsWait) {
    const auto create = broker.FCreateServer;
    struct Case {
        std::function<void(const char*)> fail;  // fails with this text, or works with none
        std::function<std::string(const char*)> reported;
        std::function<TextList(const char*)> logged;
    } cases[] = {
        {[&](const char* text) {
             gCreationError = text ? text : "";
             broker.FCreateServer = text ? []() -> ComRef<ITallyportObject> {
                 ++creations;
                 throw BrokerError(gCreationError);
             } : create;
         },
         [](const char* text) { return std::string(text); }, [](const char*) { return TextList{}; }},
        {[&](const char* text) {
             server.failures.clear();
             if (text) server.failures["SetTipIDArticol"] = {E_FAIL, text};
         },
         [](const char* text) { return std::string(text); }, [](const char*) { return TextList{}; }},
        {[&](const char* text) {
             server.ok["SetFirmaLucru"] = text ? 0 : 1;
             server.errors = FakeList::Of({text ? text : ""});
         },
         [](const char* text) { return "Firma de lucru DEMO nu poate fi selectata; " + std::string(text); },
         [](const char* text) { return TextList{text}; }},
    };
    const std::string waiting = "Serverul de documente nu este disponibil; cererile raman in asteptare";
    const std::string started = "Serverul de documente a pornit; cererile sunt servite";
    for (Case& c : cases) {
        const size_t logged = Log().size(), reported = events->records.size();
        c.fail("Serverul nu raspunde");
        Start();
        EXPECT_FALSE(broker.FServer);
        Put("COMANDA_1.TXT", kOrder);
        broker.TimerTimer();
        const int tries = creations;
        uptimeMs += 29000;
        broker.TimerTimer();
        EXPECT_EQ(creations, tries);
        uptimeMs += 1000;
        broker.TimerTimer();  // the same failure: not told again
        c.fail("Baza de date blocata");
        uptimeMs += 30000;
        broker.TimerTimer();
        EXPECT_EQ(creations, tries + 2);
        EXPECT_TRUE(Exists("COMANDA_1.TXT"));
        EXPECT_EQ(server.CallsText().find("SetLunaLucru"), std::string::npos);  // nothing handed over
        c.fail(nullptr);
        uptimeMs += 30000;
        broker.TimerTimer();
        EXPECT_FALSE(Exists("COMANDA_1.TXT"));

        TextList expectedLog = c.logged("Serverul nu raspunde");
        expectedLog.push_back(Stamp() + " ... " + waiting);
        for (const std::string& line : c.logged("Baza de date blocata")) expectedLog.push_back(line);
        for (const std::string& line : {Stamp() + " ... " + started, std::string(), std::string(),
                                        Stamp() + " ... Deschid pachetul cu comenzi",
                                        std::string("Au fost generate 0 comenzi in baza de date ")})
            expectedLog.push_back(line);
        const TextList log = Log();
        EXPECT_EQ(TextList(log.begin() + logged, log.end()), expectedLog);
        EXPECT_EQ(TextList(events->records.begin() + reported, events->records.end()),
                  (TextList{"E " + c.reported("Serverul nu raspunde"), "W " + waiting,
                            "E " + c.reported("Baza de date blocata"), "I " + started}));
        server.calls.clear();
    }
}

// A call that finds the server gone fails its request as any failing call does; the next
// request goes to a new server, configured first. Other failures keep the server.
TEST_F(StartupTest, ServerThatWentAwayIsMadeAnewBeforeTheNextRequest) {
    Start();
    for (HRESULT gone : {RPC_E_DISCONNECTED, RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE,
                         HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), CO_E_OBJNOTCONNECTED, E_FAIL}) {
        const int made = creations;
        server.failures["GenComenzi"] = {gone, "Serverul a disparut"};
        Put("COMANDA_1.TXT", kOrder);
        broker.Tick();
        EXPECT_TRUE(Exists("COMANDA_1.ERR"));
        EXPECT_EQ(events->records.back(), "E Serverul a disparut");
        EXPECT_EQ(!broker.FServer, gone != E_FAIL);
        server.failures.clear();
        server.calls.clear();
        Put("GETLISTAGESTIUNI.TXT", "");
        broker.Tick();
        const std::string steps = gone == E_FAIL ? "" : "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN) SetFirmaLucru(DEMO) ";
        EXPECT_EQ(server.CallsText(), steps + "SetLunaLucru(2026,12) GetListaGestiuni") << std::hex << gone;
        EXPECT_EQ(creations, made + (gone != E_FAIL));
    }
}

// One copy on a machine: a window copy gives up at once while another copy holds either
// name (an older version takes only the plain one); a restarted service waits for the copy
// that is still ending; each copy lets go when it goes.
TEST_F(StartupTest, SingleInstanceWaitsOnlyWhenAskedForACopyThatIsEnding) {
    for (const wchar_t* name : {L"Global\\VQBroker", L"VQBroker"}) {
        UniqueHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread other([&] {
            UniqueHandle mutex(CreateMutexW(nullptr, TRUE, name));
            SetEvent(taken.get());
            Sleep(500);
            ReleaseMutex(mutex.get());
        });
        WaitForSingleObject(taken.get(), 5000);
        {
            SingleInstance window;
            EXPECT_FALSE(window.Take(0));
        }
        SingleInstance service;
        EXPECT_TRUE(service.Take(5000));
        other.join();
    }
    {
        SingleInstance first;
        ASSERT_TRUE(first.Take(0));
    }
    SingleInstance next;
    EXPECT_TRUE(next.Take(0));
}

}  // namespace
