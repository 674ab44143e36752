// A backlog of 500 request files dropped at once: each served once, in precedence order,
// one per tick, and nothing lost.
#include <windows.h>

#include <algorithm>
#include <set>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

// What each query's request file holds, and the bytes of its answer here.
struct QueryFile {
    const char* content;
    const char* resultBytes;
};

QueryFile QueryFileOf(std::string_view request) {
    if (request == "GETLISTAGESTIUNI.TXT") return {"", "DEP;Depozit;DEPOZIT\r\n"};
    if (request == "GETLISTAPARTENERI.TXT") return {"", "P1;P1;;;Alfa\r\n"};
    if (request == "GETINFOCMDBON.TXT") return {"5003\r\n", "5003;B1\r\n"};
    if (request == "GETSTOCARTICOL.TXT") return {"A0001\r\n", "A0001;DEP;40\r\n"};
    if (request == "GETINFOCMDBONURI.TXT") return {"5\r\n", "5003;B2\r\n"};
    if (request == "GETINCASARILUNA.TXT") return {"", "I1;100\r\n"};
    if (request == "GETFACTURICMDONLINE.TXT") return {"", "5003;F1\r\n"};
    return {"", ""};
}

// Files that hold "ERORI.TXT" in their names: never requests, and never in the way of
// the requests of the kind whose pattern they match.
const TextList kErrorNamed = {"COMANDA_7_ERORI.TXT",    "FACTURA_ERORI.TXT", "partener_x_erori.txt",
                              "MODIPARTENER_ERORI.TXT", "ARTICOL_ERORI.TXT", "COMANDAFURN_ERORI.TXT",
                              "FACTURAFURN_ERORI.TXT",  "ERORI.TXT",         "ERORI_COMANDA_OLD.TXT"};

constexpr size_t kPackages = 480;

struct Package {
    std::string name;
    size_t kind;
    bool refused;
    std::string content;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(std::tolower(c)); });
    return text;
}

std::vector<Package> MakePackages() {
    std::vector<Package> packages;
    for (size_t n = 0; n < kPackages; ++n) {
        const size_t kind = n % std::size(kExpectedPackages);
        const bool refused = n % 9 == 4;
        std::string name = kExpectedPackages[kind].prefix + std::to_string(n) + ".TXT";
        if (n % 5 == 2) name = Lower(name);
        const std::string record = std::string(refused ? "REFUZ" : "R") + ";" + std::to_string(n);
        const std::string header = kExpectedPackages[kind].Documents() ? kMonthHeader : "";
        packages.push_back({name, kind, refused, header + record + "\r\n"});
    }
    return packages;
}

std::string ErrorFileOf(const std::string& name) { return "ERORI_" + name.substr(0, name.size() - 4) + ".TXT"; }

std::string SetAsideOf(const std::string& name) { return name.substr(0, name.size() - 4) + ".ERR"; }

class LoadTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        WriteIni(DefaultIni() + "PrefixareErori=D\r\n");
        Start();
        server.refuseMarker = "REFUZ";
        server.errors = FakeList::Of({"Linia 4: refuzat"});
        for (const char* method :
             {"GetNrComenzi", "GetNrComenziFurnizori", "GetNrFacturi", "GetNrFacturiFurnizori"})
            server.count[method] = 2;
        server.lists["GetListaGestiuni"] = FakeList::Of({"DEP;Depozit;DEPOZIT"});
        server.lists["GetListaParteneri"] = FakeList::Of({"P1;P1;;;Alfa"});
        server.lists["GetInfoCmdBon"] = FakeList::Of({"5003;B1"});
        server.lists["GetStocArticol"] = FakeList::Of({"A0001;DEP;40"});
        server.lists["GetInfoCmdBonuri"] = FakeList::Of({"5003;B2"});
        server.lists["GetIncasariLuna"] = FakeList::Of({"I1;100"});
        server.lists["GetFacturiCmdOnline"] = FakeList::Of({"5003;F1"});
    }

    // What the log gains when a request is served.
    TextList Served(const std::string& name, const std::vector<Package>& packages) const {
        for (const Package& package : packages) {
            if (package.name != name) continue;
            const ExpectedPackage& kind = kExpectedPackages[package.kind];
            const std::string accepted =
                kind.Documents() ? "Au fost generate 2" + std::string(kind.accepted) : kind.accepted;
            return {"", "", Stamp() + kind.opened, package.refused ? "Pachetul contine erori " : accepted};
        }
        const std::string s = Stamp();
        if (name == "GETINFOCMDBON.TXT" || name == "GETSTOCARTICOL.TXT") {
            const bool bon = name == "GETINFOCMDBON.TXT";
            return {s + " ... Setez luna lucru 2026_12",
                    s + (bon ? " ... Citesc informatii bonuri pentru comanda 5003" : " ... Citesc stoc articol A0001"),
                    s + (bon ? " ... Functiea GetInfoCmdBon" : " ... Functia GetStocArticol") +
                        " a fost rulata fara eroare ",
                    s + " ... Cod Eroare :0", s + " ... Au fost returnate :0 linii",
                    s + " ... Scriu informatiile in " + Path(bon ? "INFOCMDBON.TXT" : "STOCARTICOL.TXT")};
        }
        if (name == "GETINFOCMDBONURI.TXT") return {s + " ... Citesc informatii bonuri pentru ziua 5"};
        return {};
    }
};

// Precedence rank of a served request: package rows 0-6, then the queries 7-17.
size_t RankOf(const std::string& name, const std::vector<Package>& packages) {
    for (const Package& package : packages)
        if (package.name == name) return package.kind;
    for (size_t q = 0; q < std::size(kExpectedQueries); ++q)
        if (name == kExpectedQueries[q].request) return std::size(kExpectedPackages) + q;
    ADD_FAILURE() << "not a request: " << name;
    return SIZE_MAX;
}

TEST_F(LoadTest, FiveHundredRequestsAreEachServedOnceInPrecedenceOrder) {
    const std::vector<Package> packages = MakePackages();
    for (const std::string& name : kErrorNamed) Put(name, "nu este o cerere\r\n");
    for (const ExpectedQuery& query : kExpectedQueries)
        Put(query.request, QueryFileOf(query.request).content);
    for (const Package& package : packages) Put(package.name, package.content);
    const size_t requests = packages.size() + std::size(kExpectedQueries);
    ASSERT_EQ(requests + kErrorNamed.size(), 500u);

    TextList expectedLog;
    std::set<std::string> served;
    size_t lastRank = 0;
    for (size_t tick = 0; tick < requests; ++tick) {
        const std::string before = broker.FCurrentRequest;
        broker.TimerTimer();
        const std::string& name = broker.FCurrentRequest;
        ASSERT_NE(name, before) << "tick " << tick << " served nothing";
        ASSERT_TRUE(served.insert(name).second) << name << " served twice";
        ASSERT_FALSE(broker.FBusy);
        const size_t rank = RankOf(name, packages);
        ASSERT_GE(rank, lastRank) << name << " served out of precedence";
        lastRank = rank;
        for (const std::string& line : Served(name, packages)) expectedLog.push_back(line);
    }
    const size_t callsWhenDone = server.calls.size();
    broker.TimerTimer();
    EXPECT_EQ(server.calls.size(), callsWhenDone) << "a tick after the backlog served something";

    for (const Package& package : packages) {
        SCOPED_TRACE(package.name);
        EXPECT_FALSE(Exists(package.name));
        EXPECT_EQ(Exists(SetAsideOf(package.name)), package.refused);
        if (!package.refused) continue;
        EXPECT_EQ(Read(SetAsideOf(package.name)), package.content);
        EXPECT_EQ(Read(ErrorFileOf(package.name)), "Linia 4: refuzat\r\n");
    }
    for (const std::string& name : kErrorNamed) EXPECT_EQ(Read(name), "nu este o cerere\r\n") << name;
    for (const ExpectedQuery& query : kExpectedQueries) {
        EXPECT_FALSE(Exists(query.request)) << query.request;
        EXPECT_EQ(Read(query.result), QueryFileOf(query.request).resultBytes) << query.result;
    }
    EXPECT_EQ(Log(), expectedLog);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());

    // The server saw each package once: one list per document package, one record per other.
    size_t lists = 0, records = 0;
    for (const std::string& call : server.calls) {
        lists += call.rfind("SetPachet(", 0) == 0;
        records += call.rfind("AddPartener(", 0) == 0 || call.rfind("ModiPartener(", 0) == 0 ||
                   call.rfind("AddArticol(", 0) == 0;
    }
    size_t documents = 0;
    for (const Package& package : packages) documents += kExpectedPackages[package.kind].Documents();
    EXPECT_EQ(lists, documents);
    EXPECT_EQ(records, packages.size() - documents);
}

}  // namespace
