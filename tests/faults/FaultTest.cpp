// Faults around the working directory and the files in it, and odd lists from the server.
#include <windows.h>

#include <set>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/BrokerFixture.h"

namespace {

using FaultTest = BrokerTest;

// Requests and log lines alike wait for the working directory to come back.
TEST_F(FaultTest, WorkingDirectoryVanishingMidRunLosesAndDoublesNothing) {
    Start();
    server.count["GetNrComenzi"] = 1;
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    for (int n = 1; n <= 6; ++n) Put("COMANDA_" + std::to_string(n) + ".TXT", OrderPackage(n));
    Put("GETLISTAGESTIUNI.TXT", "");
    const TextList served = {"", "", Stamp() + " ... Deschid pachetul cu comenzi",
                             "Au fost generate 1 comenzi in baza de date "};
    TextList expected;
    std::set<std::string> names;
    auto serve = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            broker.TimerTimer();
            ASSERT_TRUE(names.insert(broker.FCurrentRequest).second) << broker.FCurrentRequest;
            if (broker.FCurrentRequest[0] == 'C')
                expected.insert(expected.end(), served.begin(), served.end());
        }
    };
    serve(3);

    const std::string away = workDir + "_away";
    ASSERT_TRUE(MoveFileW(Wide(workDir).c_str(), Wide(away).c_str()));
    const size_t calls = server.calls.size();
    for (int i = 0; i < 4; ++i) broker.TimerTimer();
    EXPECT_EQ(server.calls.size(), calls);
    EXPECT_FALSE(DirectoryExists(workDir));  // the lines wait in memory: no folder is made for them
    expected.push_back(Stamp() + " ... Directorul de lucru este inactiv");
    ASSERT_TRUE(MoveFileW(Wide(away).c_str(), Wide(workDir).c_str()));

    serve(4);
    const size_t done = server.calls.size();
    broker.TimerTimer();
    EXPECT_EQ(server.calls.size(), done);
    EXPECT_EQ(names.size(), 7u);
    EXPECT_TRUE(names.count("GETLISTAGESTIUNI.TXT"));
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());  // the lines of the outage reach the file too
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    for (int n = 1; n <= 6; ++n) EXPECT_FALSE(Exists("COMANDA_" + std::to_string(n) + ".TXT"));
}

// A file never to be served must not hold up the requests of its kind for good.
// Links planted under the names the service writes through must not carry its writes
// to a file outside the working directory.
TEST_F(FaultTest, LinksPlantedInTheWorkingDirectoryRedirectNoWrite) {
    const std::string outside = MakeTempFolder("outside"), victim = outside + "\\victim.txt";
    WriteFileReplacing(victim, "precious");
    auto plant = [&](const std::string& name, const std::string& target) {
        DeleteFileW(Wide(Path(name)).c_str());
        ASSERT_TRUE(CreateHardLinkW(Wide(Path(name)).c_str(), Wide(target).c_str(), nullptr)) << name;
    };
    for (const char* name :
         {"LOG.TXT", "LOG.TXT.~tmp", "ERORI.TXT.~tmp", "VQBROKER.JNL.~tmp", "LISTAGESTIUNI.TXT.~tmp"})
        plant(name, victim);
    Start();
    server.ok["GenComenzi"] = 0;
    server.errors = FakeList::Of({"Linia 4: articol necunoscut"});
    server.lists["GetListaGestiuni"] = FakeList::Of({"G1;Depozit"});
    Put("COMANDA_1.TXT", OrderPackage(1));
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("ERORI.TXT"), "Linia 4: articol necunoscut\r\n");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "G1;Depozit\r\n");
    // In place of the service's own LOG.TXT, a link to a file of the same size and time.
    const std::string twin = outside + "\\twin.txt";
    ASSERT_TRUE(CopyFileW(Wide(Path("LOG.TXT")).c_str(), Wide(twin).c_str(), FALSE));
    plant("LOG.TXT", twin);
    broker.LogMessage("one more line");
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
    EXPECT_EQ(ReadWholeFile(victim), "precious");
    EXPECT_EQ(ReadWholeFile(twin) + "Ver. 3.1 -  one more line\r\n", broker.LogText());
    RemoveFolder(outside);
}

TEST_F(FaultTest, ErrorFileNamedLikeAPackageHoldsUpNoPackageBehindIt) {
    Start();
    for (int n = 0; n < 20; ++n) Put("COMANDA_" + std::to_string(n) + "_ERORI.TXT", "nu este o cerere\r\n");
    Put("COMANDA_1.TXT", OrderPackage(1));
    WIN32_FIND_DATAW first;
    HANDLE search = FindFirstFileW(Wide(Path("COMANDA_*.TXT")).c_str(), &first);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    if (Ansi(first.cFileName) == "COMANDA_1.TXT") GTEST_SKIP() << "the directory lists the package first";
    broker.TimerTimer();
    EXPECT_EQ(broker.FCurrentRequest, "COMANDA_1.TXT");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_TRUE(Exists("COMANDA_0_ERORI.TXT"));
}

TEST_F(FaultTest, ResultFileHeldByAReaderThatDeniesWritingFailsOnlyItsOwnQuery) {
    Start();
    server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
    server.lists["GetListaParteneri"] = FakeList::Of({"P1;P1;;;Alfa"});
    Put("LISTAGESTIUNI.TXT", "vechi\r\n");
    UniqueFile reader(CreateFileW(Wide(Path("LISTAGESTIUNI.TXT")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.valid());
    Put("GETLISTAGESTIUNI.TXT", "");
    Put("GETLISTAPARTENERI.TXT", "");

    const std::string error = ErrorRaisedBy([&] { broker.TimerTimer(); });
    EXPECT_EQ(error.rfind("Cannot create file \"" + Path("LISTAGESTIUNI.TXT") + "\"", 0), 0u) << error;
    EXPECT_FALSE(broker.FBusy);
    EXPECT_FALSE(Exists("GETLISTAGESTIUNI.TXT"));
    EXPECT_FALSE(Exists("LISTAGESTIUNI.TXT.~tmp"));
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "vechi\r\n");

    broker.TimerTimer();  // the next request is not disturbed
    EXPECT_EQ(Read("LISTAPARTENERI.TXT"), "P1;P1;;;Alfa\r\n");
    EXPECT_FALSE(Exists("GETLISTAPARTENERI.TXT"));

    reader.reset();
    Put("GETLISTAGESTIUNI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAGESTIUNI.TXT"), "DEP;Depozit;DEPOZIT\r\n");
    EXPECT_EQ(Log(), TextList{});
}

// A VARIANT array may hold any kind of element; a null BSTR is an empty text.
TEST_F(FaultTest, ListWithEightBitEmptyAndVariantElementsIsWrittenLineForLine) {
    Start();
    server.lists["GetListaParteneri"] = FakeList::OfMixedKinds();
    Put("GETLISTAPARTENERI.TXT", "");
    broker.TimerTimer();
    EXPECT_EQ(Read("LISTAPARTENERI.TXT"),
              "P1;Caf\xE9 Cr\xE8me;\xC0\xFF\r\n\r\n\r\n\r\n-42\r\n\r\n;\xB0;\r\n");
}

}  // namespace
