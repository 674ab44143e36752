// Start-up: settings, the server's configuration and retries, the single instance.
#include <functional>
#include <thread>

#include "base/BrokerError.h"
#include "core/SingleInstance.h"
#include "support/BrokerFixture.h"

namespace {

using StartupTest = BrokerTest;

TEST_F(StartupTest, SettingsSelectTheConfigurationCallsAndWhatIsLogged) {
    const std::string dir = "[Generale]\r\nDirectorLucru=" + workDir + "\\\r\n";
    const std::string noCompany = "Nu ai precizat in VQBroker.Ini firma de lucru";
    struct Case {
        const char* behaviour;
        const char* settings;  // after the working directory; nullptr: no file
        bool refused;          // the company
        std::string calls;     // after "SetTipIDPartener(CODINTERN) ", always first
        TextList logged = {};
    } cases[] = {
        {"internal codes, nothing logged",
         "FirmaLucru=ACME SRL\r\nIDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\n", false,
         "SetTipIDArticol(CODINTERN) SetFirmaLucru(ACME SRL)"},
        {"fiscal code for partners", "FirmaLucru=F\r\nIDPartener=codfiscal\r\nIDArticol=CODINTERN\r\n", false,
         "SetTipIDPartener(CODFISCAL) SetTipIDArticol(CODINTERN) SetFirmaLucru(F)"},
        {"external codes for both", "FirmaLucru=F\r\nIDPartener=CodExtern\r\nIDArticol=codextern\r\n", false,
         "SetTipIDPartener(CODEXTERN) SetTipIDArticol(CODEXTERN) SetFirmaLucru(F)"},
        {"other kinds: internal", "FirmaLucru=F\r\nIDPartener=COD FISCAL\r\nIDArticol=CODFISCAL\r\n", false,
         "SetTipIDArticol(CODINTERN) SetFirmaLucru(F)"},
        {"no kinds: internal", "FirmaLucru=F\r\n", false, "SetTipIDArticol(CODINTERN) SetFirmaLucru(F)"},
        {"an empty company is set", "FirmaLucru=\r\n", false, "SetTipIDArticol(CODINTERN) SetFirmaLucru()"},
        {"a missing company is said and not set", "", false, "SetTipIDArticol(CODINTERN)", {noCompany}},
        {"no settings file: both messages, on screen only",
         nullptr,
         false,
         "SetTipIDArticol(CODINTERN)",
         {"Nu ai precizat in VQBroker.Ini directorul de lucru", noCompany}},
        {"a refused company's errors go to the log only",
         "FirmaLucru=X\r\n",
         true,
         "SetTipIDArticol(CODINTERN) SetFirmaLucru(X) GetListaErori",
         {"Firma X nu exista", "A doua linie"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        server.calls.clear();
        server.ok["SetFirmaLucru"] = c.refused ? 0 : 1;
        server.errors = FakeList::Of({"Firma X nu exista", "A doua linie"});
        if (c.settings) WriteIni(dir + c.settings);
        if (!c.settings) DeleteFileQuietly(Wide(exeDir + "VQBroker.Ini"));
        broker.FormCreate();
        EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) " + c.calls);
        EXPECT_EQ(NewLines(), c.logged);
        EXPECT_EQ(broker.FWorkDir, Wide(c.settings ? workDir : "?"));
    }
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

std::string gCreationError;  // raised by a server that cannot be made

// Each new failure is told once; the first success says so and serves.
TEST_F(StartupTest, FailedServerStepsAreTriedAgainWhileRequestsWait) {
    const auto create = broker.FCreateServer;
    struct Case {
        const char* behaviour;
        std::function<void(const char*)> fail;  // with this text; nullptr: works
        std::string told = "";                  // the Event Log's text before it
        bool linesLogged = false;               // the text is an error list line
    } cases[] = {
        {"the server cannot be made",
         [&](const char* text) {
             gCreationError = text ? text : "";
             broker.FCreateServer = text ? []() -> ComRef<ITallyportObject> {
                 ++creations;
                 throw BrokerError(gCreationError);
             }
             : create;
         }},
        {"a configuration call fails",
         [&](const char* text) {
             server.failures.clear();
             if (text) server.failures["SetTipIDArticol"] = {E_FAIL, text};
         }},
        {"the company is refused",
         [&](const char* text) {
             server.ok["SetFirmaLucru"] = text ? 0 : 1;
             server.errors = FakeList::Of({text ? text : ""});
         },
         "Firma de lucru DEMO nu poate fi selectata; ", true},
    };
    const std::string waiting = "Serverul de documente nu este disponibil; cererile raman in asteptare";
    const std::string started = "Serverul de documente a pornit; cererile sunt servite";
    for (Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const size_t reported = events->records.size();
        c.fail("Serverul nu raspunde");
        Start();
        EXPECT_FALSE(broker.FServer);
        Put("COMANDA_1.TXT", OrderPackage());
        Put("GETSTOC.TXT", "");
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
        EXPECT_TRUE(Exists("GETSTOC.TXT"));
        EXPECT_EQ(server.CallsText().find("SetLunaLucru"), std::string::npos);
        c.fail(nullptr);
        uptimeMs += 30000;
        broker.TimerTimer();
        EXPECT_FALSE(Exists("COMANDA_1.TXT"));
        broker.TimerTimer();
        EXPECT_FALSE(Exists("GETSTOC.TXT"));

        TextList expected = {Stamp() + " ... " + waiting,
                             Stamp() + " ... " + started,
                             "",
                             "",
                             Stamp() + " ... Deschid pachetul cu comenzi",
                             "Au fost generate 0 comenzi in baza de date "};
        if (c.linesLogged) expected.insert(expected.begin() + 1, "Baza de date blocata");
        if (c.linesLogged) expected.insert(expected.begin(), "Serverul nu raspunde");
        EXPECT_EQ(NewLines(), expected);
        EXPECT_EQ(TextList(events->records.begin() + reported, events->records.end()),
                  (TextList{"E " + c.told + "Serverul nu raspunde", "W " + waiting,
                            "E " + c.told + "Baza de date blocata", "I " + started}));
        server.calls.clear();
    }
}

TEST_F(StartupTest, CreationRefusedForNowIsNoFailureAndTriedAgainAtTheNextTick) {
    const auto create = broker.FCreateServer;
    broker.FCreateServer = []() -> ComRef<ITallyportObject> { throw ServerCallError("Ocupat", RPC_E_CALL_REJECTED, {}); };
    Start();
    broker.FCreateServer = create;
    Put("GETSTOC.TXT", "");
    broker.TimerTimer();
    EXPECT_FALSE(Exists("GETSTOC.TXT"));
    EXPECT_EQ(events->records, TextList{});
}

// A window copy gives up at once; older copies take the plain name only.
TEST_F(StartupTest, SingleInstanceWaitsOnlyWhenAskedForACopyThatIsEnding) {
    for (const wchar_t* name : {L"Global\\VQBroker", L"VQBroker"}) {
        SCOPED_TRACE(Ansi(name));
        UniqueHandle taken(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread other([&] {
            UniqueHandle mutex(CreateMutexW(nullptr, TRUE, name));
            SetEvent(taken.get());
            Sleep(500);
            ReleaseMutex(mutex.get());
        });
        WaitForSingleObject(taken.get(), 5000);
        EXPECT_FALSE(SingleInstance().Take(0));
        SingleInstance service;
        EXPECT_TRUE(service.Take(5000));
        other.join();
    }
    EXPECT_TRUE(SingleInstance().Take(0));
    EXPECT_TRUE(SingleInstance().Take(0));  // the first let go
}

}  // namespace
