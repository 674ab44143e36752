// Packages and answers far larger than usual: served whole, or refused with a clear
// error and the package set aside, never a crash.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/BrokerFixture.h"

namespace {

using LargeInputTest = BrokerTest;

// A package whose bytes cannot fit the 32-bit address space, made sparse so it costs
// no disk: its size alone must stop the read.
TEST_F(LargeInputTest, PackageBeyondTheAddressSpaceIsSetAsideWithAClearError) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "only a 32-bit process has an address space a sparse file can exceed cheaply";
    Start();
    {
        UniqueFile file(CreateFileW(Wide(Path("COMANDA_1.TXT")).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD written = 0;
        ASSERT_TRUE(
            WriteFile(file.get(), kMonthHeader.data(), DWORD(kMonthHeader.size()), &written, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = 3LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_EQ(ErrorRaisedBy([&] { broker.TimerTimer(); }),
              "File too large \"" + Path("COMANDA_1.TXT") + "\"");
    EXPECT_FALSE(broker.FBusy);
    EXPECT_EQ(server.CallsText(), "");
    EXPECT_FALSE(Exists("COMANDA_1.TXT"));
    EXPECT_TRUE(Exists("COMANDA_1.ERR"));
    DeleteFileW(Wide(Path("COMANDA_1.ERR")).c_str());
    EXPECT_EQ(ServeOneQuery(), "DEP;Depozit;DEPOZIT\r\n");
}

TEST_F(LargeInputTest, PackageOfTwoHundredThousandLinesReachesTheServerWhole) {
    Start();
    std::string content = kMonthHeader;
    for (int n = 0; n < 200000; ++n)
        content.append("Articol=A").append(std::to_string(n)).append(";1;9.99\r\n");
    Put("FACTURA_1.TXT", content);
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), "SetLunaLucru(2026,12) SetPachet(200003) GenFacturi GetNrFacturi");
    ASSERT_EQ(server.package.size(), 200003u);
    EXPECT_EQ(server.package[3], "Articol=A0;1;9.99");
    EXPECT_EQ(server.package.back(), "Articol=A199999;1;9.99");
    EXPECT_FALSE(Exists("FACTURA_1.TXT"));
}

TEST_F(LargeInputTest, AnswerOfThreeHundredThousandRowsIsWrittenWhole) {
    Start();
    std::vector<std::string> rows;
    std::string expected;
    for (int n = 0; n < 300000; ++n) {
        const std::string number = std::to_string(n);
        rows.push_back("P" + number + ";P" + number + ";;RO" + number + ";Partener");
        expected += rows.back() + "\r\n";
    }
    server.lists["GetListaParteneri"] = FakeList::OfVariants(std::move(rows));
    Put("GETLISTAPARTENERI.TXT", "");
    broker.TimerTimer();
    EXPECT_TRUE(Read("LISTAPARTENERI.TXT") == expected);
    EXPECT_FALSE(Exists("LISTAPARTENERI.TXT.~tmp"));
}

}  // namespace
