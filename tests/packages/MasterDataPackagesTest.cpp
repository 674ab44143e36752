// Partner, partner-change and article packages: the record sent, log lines, error files.
#include "support/BrokerFixture.h"

namespace {

using Lines = std::vector<std::string>;

struct Kind {
    const char* file;
    const char* method;
    const char* opened;
    const char* accepted;
};

const Kind kKinds[] = {
    {"PARTENER_4.TXT", "AddPartener", " ... Deschid pachetul cu informatii partener", "Partener nou generat !"},
    {"MODIPARTENER_4.TXT", "ModiPartener", " ... Deschid pachetul cu informatii partener", "Partener modificat !"},
    {"ARTICOL_4.TXT", "AddArticol", " ... Deschid pachetul cu informatii articol", "Articol nou generat !"},
};

class MasterDataPackagesTest : public BrokerTest, public ::testing::WithParamInterface<Kind> {
protected:
    std::string ErrName() const {
        std::string name = GetParam().file;
        return name.replace(name.size() - 4, 4, ".ERR");
    }
};

TEST_P(MasterDataPackagesTest, AcceptedRecordIsLoggedAndThePackageDeleted) {
    const Kind& kind = GetParam();
    Start();
    Put("ERORI.TXT", "old");
    Put(kind.file, " R;1;Nume ;\r\nignored\r\nignored too");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string(kind.method) + "( R;1;Nume ;)");
    EXPECT_EQ(Log(), (Lines{"", "", Stamp() + kind.opened, kind.accepted}));
    EXPECT_FALSE(Exists(kind.file));
    EXPECT_FALSE(Exists("ERORI.TXT"));
}

TEST_P(MasterDataPackagesTest, RefusedRecordGoesToTheErrorFileOnly) {
    const Kind& kind = GetParam();
    Start();
    server.ok[kind.method] = 0;
    server.errors = FakeList::Of({"Cod fiscal invalid"});
    Put(kind.file, "R;2\r\n");
    broker.TimerTimer();
    EXPECT_EQ(server.CallsText(), std::string(kind.method) + "(R;2) GetListaErori");
    EXPECT_EQ(Log(), (Lines{"", "", Stamp() + kind.opened, "Pachetul contine erori "}));
    EXPECT_EQ(Read("ERORI.TXT"), "Cod fiscal invalid\r\n");
    EXPECT_EQ(Read(ErrName()), "R;2\r\n");
}

INSTANTIATE_TEST_SUITE_P(ThreeKinds, MasterDataPackagesTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.method); });

using MasterDataPackageTest = BrokerTest;

TEST_F(MasterDataPackageTest, RecordTextOfEmptyAndBlankPackages) {
    using namespace std::string_literals;
    struct Case { std::string content; const char* call; } cases[] = {
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
