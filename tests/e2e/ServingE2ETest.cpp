// Requests served by the real program under Wine, with the stand-in server: packages,
// the outage of the working directory, every query, and the operator's button.
#include <gtest/gtest.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "support/RequestKinds.h"
#include "support/ServiceProcess.h"

namespace {

bool Gone(const ServiceProcess& service, const std::string& name) { return !service.Exists(name); }

std::string LogOf(const ServiceProcess& service) {
    return service.Exists("LOG.TXT") ? service.Read("LOG.TXT") : std::string();
}

// The script may be writing its marker while the test reads it.
std::string ReadWhenFree(const std::string& path) {
    try {
        return FileExists(path) ? ReadWholeFile(path) : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(ServingE2ETest, OrderPackageIsServedWithinTwoTicksDeletedAndLogged) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    service.Put("COMANDA_123.TXT", ExampleFile("COMANDA_1.TXT"));
    ASSERT_TRUE(WaitUntil([&] { return Gone(service, "COMANDA_123.TXT"); }, 4000));
    ASSERT_TRUE(WaitUntil([&] { return StampFreeLines(LogOf(service)).size() == 4; }, 3000));
    EXPECT_EQ(
        StampFreeLines(LogOf(service)),
        (TextList{"Ver. 3.1 -  ", "Ver. 3.1 -  ", "Ver. 3.1 -  <stamp>  ... Deschid pachetul cu comenzi",
                  "Ver. 3.1 -  Au fost generate 1 comenzi in baza de date "}));
    EXPECT_FALSE(service.Exists("COMANDA_123.ERR"));
    service.Close();
}

TEST(ServingE2ETest, PackageWithoutHeaderIsRefusedAndSetAsideWithItsErrors) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    service.Put("comanda_9.txt", "[Document]\r\nPartener=P0001\r\n");
    ASSERT_TRUE(WaitUntil([&] { return service.Exists("comanda_9.ERR"); }, 5000));
    EXPECT_FALSE(service.Exists("comanda_9.txt"));
    ASSERT_TRUE(service.Exists("ERORI.TXT"));
    std::string errors = service.Read("ERORI.TXT");
    EXPECT_FALSE(errors.empty());
    // The month's refusal goes to the log as well, line by line, and nothing else is said.
    TextList log = StampFreeLines(LogOf(service));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[2], "Ver. 3.1 -  <stamp>  ... Deschid pachetul cu comenzi");
    EXPECT_EQ(log[3], "Ver. 3.1 -  " + errors.substr(0, errors.find("\r\n")));
    service.Close();
}

TEST(ServingE2ETest, OutageIsLoggedOnceStartsTheScriptAndPollingResumesSilently) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    std::string marker = service.exeDir + "avarie.txt";
    WriteFileReplacing(service.exeDir + "Avarie.bat", "@echo off\r\necho started>>\"" + marker + "\"\r\n");
    service.Start();
    std::string away = service.workDir + "_away";
    ASSERT_TRUE(MoveFileW(Wide(service.workDir).c_str(), Wide(away).c_str()));
    EXPECT_TRUE(WaitUntil([&] { return Count(ReadWhenFree(marker), "started") >= 2; }, 10000));
    ASSERT_TRUE(MoveFileW(Wide(away).c_str(), Wide(service.workDir).c_str()));
    service.Put("GETLISTAGESTIUNI.TXT", "");
    ASSERT_TRUE(WaitUntil([&] { return service.Exists("LISTAGESTIUNI.TXT"); }, 5000));

    std::string view = service.ViewText();
    EXPECT_EQ(Count(view, " ... Directorul de lucru este inactiv"), 1u) << view;
    EXPECT_GE(Count(view, " ... Rulez " + service.exeDir + "Avarie.bat"), 2u) << view;
    service.Close();
    // The lines of the outage reach LOG.TXT once the directory is back; its return adds none.
    TextList log = StampFreeLines(service.Read("LOG.TXT"));
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "Ver. 3.1 -  <stamp>  ... Directorul de lucru este inactiv");
    for (size_t i = 1; i < log.size(); ++i)
        EXPECT_EQ(log[i], "Ver. 3.1 -  <stamp>  ... Rulez " + service.exeDir + "Avarie.bat");
}

TEST(ServingE2ETest, EveryExampleRequestIsServed) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni("PrefixareErori=D\r\n"));
    service.Start();
    const TextList packages = {"PARTENER_1.TXT",    "MODIPARTENER_1.TXT", "ARTICOL_1.TXT",
                               "COMANDA_1.TXT",     "COMANDAFURN_1.TXT",  "FACTURA_1.TXT",
                               "FACTURAFURN_1.TXT", "FACTURA_2.TXT"};
    for (const auto& name : packages) service.Put(name, ExampleFile(name));
    for (const ExpectedQuery& query : kExpectedQueries)
        service.Put(query.request, ExampleFile(query.request));

    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const auto& name : packages)
                if (service.Exists(name)) return false;
            for (const ExpectedQuery& query : kExpectedQueries)
                if (service.Exists(query.request)) return false;
            return true;
        },
        60000));
    for (const ExpectedQuery& query : kExpectedQueries) {
        ASSERT_TRUE(service.Exists(query.result)) << query.result;
        EXPECT_FALSE(service.Read(query.result).empty()) << query.result;
    }
    EXPECT_TRUE(service.Exists("FACTURA_2.ERR"));
    EXPECT_EQ(service.Read("ERORI_FACTURA_2.TXT"), "Linia 11: articol necunoscut ART99\r\n");
    std::string log = service.Read("LOG.TXT");
    for (const char* done : {"Partener nou generat !", "Partener modificat !", "Articol nou generat !",
                             "Au fost generate 1 comenzi in baza de date ",
                             "Au fost generate 1 comenzi furnizori in baza de date ",
                             "Au fost generate 2 facturi in baza de date ",
                             "Au fost generate 1 facturi furnizori in baza de date "})
        EXPECT_EQ(Count(log, std::string("Ver. 3.1 -  ") + done + "\r\n"), 1u) << done;
    EXPECT_EQ(Count(log, "Pachetul contine erori "), 1u);
    service.Close();
}

TEST(ServingE2ETest, ButtonExportsThePartnerBalances) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    HWND button = FindWindowExW(service.MainWindow(), nullptr, L"Button", nullptr);
    ASSERT_NE(button, nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_BLOCK, 15000, &result);
    ASSERT_TRUE(WaitUntil([&] { return service.Exists("SOLDURI.TXT"); }, 5000));
    EXPECT_NE(service.Read("SOLDURI.TXT").find("P0001"), std::string::npos);
    EXPECT_EQ(StampFreeLines(LogOf(service)),
              (TextList{"Ver. 3.1 -  <stamp>  ... Import solduri parteneri "}));

    // Asked from the command line, the running copy exports as if its button were pressed.
    ASSERT_TRUE(DeleteFileW(Wide(service.Path("SOLDURI.TXT")).c_str()));
    EXPECT_EQ(service.RunForm("/export-balances").exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return service.Exists("SOLDURI.TXT"); }, 10000));
    service.Close();
}

}  // namespace

namespace {

// The mean of count round trips of a query, one after the other.
double MeanRoundTrip(const ServiceProcess& service, int count) {
    double total = 0;
    for (int i = 0; i < count; ++i) {
        const double seconds = QueryRoundTrip(service);
        if (seconds < 0) {
            ADD_FAILURE() << "query " << i << " unanswered";
            return 1e9;
        }
        total += seconds;
    }
    return total / count;
}

// Which requests were served, in the order they were logged: a package by the line that
// opens it, a detailed query by the file it writes.
TextList ServedInOrder(const std::string& log) {
    TextList served;
    for (const std::string& line : SplitTextLines(log)) {
        const size_t at = line.find(" ... ");
        if (at == std::string::npos) continue;
        const std::string what = line.substr(at + 5);
        if (what.rfind("Deschid pachetul", 0) == 0) served.push_back(what);
        if (what.rfind("Scriu informatiile in ", 0) == 0) served.push_back(what.substr(what.find_last_of('\\') + 1));
    }
    return served;
}

// "RaspunsImediat=D": answers as fast as the server gives them, a writer still writing is
// waited for as without it, and a backlog is served one request a tick in the tables' order.
TEST(ServingE2ETest, ImmediateAnswersComeAtOnceAndKeepTheRules) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    const double polled = MeanRoundTrip(service, 20);
    service.Close();

    service.Put("GETINFOCMDBON.TXT", ExampleFile("GETINFOCMDBON.TXT"));
    service.Put("GETSTOCARTICOL.TXT", ExampleFile("GETSTOCARTICOL.TXT"));
    for (const char* name : {"FACTURA_1.TXT", "COMANDA_1.TXT", "ARTICOL_1.TXT"}) service.Put(name, ExampleFile(name));
    service.WriteIni(service.DefaultIni("RaspunsImediat=D\r\n"));
    service.Start();
    ASSERT_TRUE(WaitUntil([&] { return Gone(service, "GETSTOCARTICOL.TXT"); }, 20000));
    EXPECT_EQ(ServedInOrder(LogOf(service)),
              (TextList{"Deschid pachetul cu informatii articol", "Deschid pachetul cu comenzi",
                        "Deschid pachetul cu facturi", "INFOCMDBON.TXT", "STOCARTICOL.TXT"}));

    const double immediate = MeanRoundTrip(service, 20);
    EXPECT_LE(immediate * 5, polled) << "immediate " << immediate << " s, polled " << polled << " s";

    UniqueFile writer(CreateFileW(Wide(service.Path("COMANDA_2.TXT")).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string order = ExampleFile("COMANDA_1.TXT");
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), order.data(), DWORD(order.size()), &written, nullptr));
    Sleep(2000);
    writer.reset();
    ASSERT_TRUE(WaitUntil([&] { return Gone(service, "COMANDA_2.TXT"); }, 10000));
    EXPECT_EQ(Count(LogOf(service), "Deschid pachetul cu comenzi"), 2u);
    EXPECT_EQ(Count(LogOf(service), "Nu pot deschide"), 0u);
    service.Close();
}

}  // namespace
