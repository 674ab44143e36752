// Partner, partner-change and article packages: the record sent, log lines, error files.
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

class MasterDataPackagesTest : public BrokerTest, public ::testing::WithParamInterface<ExpectedPackage> {
protected:
    const std::string file = GetParam().File(4);
    std::string ErrName() const { return GetParam().prefix + std::string("4.ERR"); }
};

TEST_P(MasterDataPackagesTest, AcceptedRecordIsLoggedAndThePackageDeleted) {
    const ExpectedPackage& kind = GetParam();
    Start();
    Put("ERORI.TXT", "old");
    Put(file, " R;1;Nume ;\r\nignored\r\nignored too");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string(kind.call) + "( R;1;Nume ;)");
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + kind.opened, kind.accepted}));
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

TEST_P(MasterDataPackagesTest, RefusedRecordGoesToTheErrorFileOnly) {
    const ExpectedPackage& kind = GetParam();
    Start();
    server.ok[kind.call] = 0;
    server.errors = FakeList::Of({"Cod fiscal invalid"});
    Put(file, "R;2\r\n");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string(kind.call) + "(R;2) GetListaErori");
    EXPECT_EQ(Log(), (TextList{"", "", Stamp() + kind.opened, "Pachetul contine erori "}));
    EXPECT_EQ(Read("ERORI.TXT"), "Cod fiscal invalid\r\n");
    EXPECT_EQ(Read(ErrName()), "R;2\r\n");
}

INSTANTIATE_TEST_SUITE_P(ThreeKinds, MasterDataPackagesTest, ::testing::ValuesIn(ExpectedPackages(false)),
                         [](const auto& info) { return std::string(info.param.call); });

using MasterDataPackageTest = BrokerTest;

TEST_F(MasterDataPackageTest, RecordTextOfEmptyAndBlankPackages) {
    using namespace std::string_literals;
    struct Case {
        std::string content;
        const char* call;
    } cases[] = {
        {""s, "AddPartener(;)"},
        {"\0P;1"s, "AddPartener(;)"},
        {"\r\n"s, "AddPartener()"},
        {"P;1\rP;2\nP;3"s, "AddPartener(P;1)"},
    };
    Start();
    for (const auto& c : cases) {
        server.calls.clear();
        Put("PARTENER_1.TXT", c.content);
        broker.TimerTimer();
        EXPECT_EQ(server.CallsText(), c.call);
    }
}

}  // namespace
