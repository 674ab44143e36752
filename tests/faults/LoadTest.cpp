// 500 request files dropped at once: each served once, one per tick, in precedence order.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "base/FileSystem.h"
#include "base/Text.h"
#include "support/BrokerFixture.h"
#include "support/RequestKinds.h"

namespace {

// The queries answered: the request file's content, the one line answered; the others get none.
const std::map<std::string, std::pair<const char*, const char*>> kAnswered = {
    {"GETLISTAGESTIUNI.TXT", {"", "DEP;Depozit;DEPOZIT"}},
    {"GETLISTAPARTENERI.TXT", {"", "P1;P1;;;Alfa"}},
    {"GETINFOCMDBON.TXT", {"5003\r\n", "5003;B1"}},
    {"GETSTOCARTICOL.TXT", {"A0001\r\n", "A0001;DEP;40"}},
    {"GETINFOCMDBONURI.TXT", {"5\r\n", "5003;B2"}},
    {"GETINCASARILUNA.TXT", {"", "I1;100"}},
    {"GETFACTURICMDONLINE.TXT", {"", "5003;F1"}},
};

// Names holding "ERORI.TXT": never requests, nor in the way of the packages their pattern matches.
const TextList kErrorNamed = {"COMANDA_7_ERORI.TXT",    "FACTURA_ERORI.TXT", "partener_x_erori.txt",
                              "MODIPARTENER_ERORI.TXT", "ARTICOL_ERORI.TXT", "COMANDAFURN_ERORI.TXT",
                              "FACTURAFURN_ERORI.TXT",  "ERORI.TXT",         "ERORI_COMANDA_OLD.TXT"};

struct Package {
    size_t kind;  // its row of kExpectedPackages, which is its precedence
    bool refused;
    std::string content;
};

// 480 packages of every kind in turn, some in lower case, some that the server refuses.
std::map<std::string, Package> MakePackages() {
    std::map<std::string, Package> packages;
    for (size_t n = 0; n < 480; ++n) {
        const size_t kind = n % std::size(kExpectedPackages);
        const bool refused = n % 9 == 4;
        std::string name = kExpectedPackages[kind].File(int(n));
        if (n % 5 == 2)
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(tolower(c)); });
        const std::string record = std::string(refused ? "REFUZ" : "R") + ";" + std::to_string(n) + "\r\n";
        packages[name] = {kind, refused, (kExpectedPackages[kind].Documents() ? kMonthHeader : "") + record};
    }
    return packages;
}

using LoadTest = BrokerTest;

TEST_F(LoadTest, FiveHundredRequestsAreEachServedOnceInPrecedenceOrder) {
    WriteIni(DefaultIni("PrefixareErori=D\r\n"));
    Start();
    server.refuseMarker = "REFUZ";
    server.errors = FakeList::Of({"Linia 4: refuzat"});
    for (const char* method :
         {"GetNrComenzi", "GetNrComenziFurnizori", "GetNrFacturi", "GetNrFacturiFurnizori"})
        server.count[method] = 2;
    for (const auto& [request, answer] : kAnswered)
        server.lists[ExpectedQueryKind(request).Method()] = FakeList::Of({answer.second});

    const std::map<std::string, Package> packages = MakePackages();
    for (const std::string& name : kErrorNamed) Put(name, "nu este o cerere\r\n");
    for (const ExpectedQuery& query : kExpectedQueries)
        Put(query.request, kAnswered.count(query.request) ? kAnswered.at(query.request).first : "");
    for (const auto& [name, package] : packages) Put(name, package.content);
    const size_t requests = packages.size() + std::size(kExpectedQueries);
    ASSERT_EQ(requests + kErrorNamed.size(), 500u);

    // What the log gains when a request is served, and its precedence (packages, then queries).
    const std::string s = Stamp();
    auto served = [&](const std::string& name, size_t& rank) -> TextList {
        if (packages.count(name)) {
            const Package& package = packages.at(name);
            const ExpectedPackage& kind = kExpectedPackages[rank = package.kind];
            const std::string accepted =
                (kind.Documents() ? "Au fost generate 2" : "") + std::string(kind.accepted);
            return {"", "", s + kind.opened, package.refused ? "Pachetul contine erori " : accepted};
        }
        rank = std::size(kExpectedPackages) + size_t(&ExpectedQueryKind(name) - kExpectedQueries);
        if (name == "GETINFOCMDBONURI.TXT") return {s + " ... Citesc informatii bonuri pentru ziua 5"};
        if (name != "GETINFOCMDBON.TXT" && name != "GETSTOCARTICOL.TXT") return {};
        const bool bon = name == "GETINFOCMDBON.TXT";
        return {s + " ... Setez luna lucru 2026_12",
                s + (bon ? " ... Citesc informatii bonuri pentru comanda 5003"
                         : " ... Citesc stoc articol A0001"),
                s + (bon ? " ... Functiea GetInfoCmdBon" : " ... Functia GetStocArticol") +
                    " a fost rulata fara eroare ",
                s + " ... Cod Eroare :0",
                s + " ... Au fost returnate :0 linii",
                s + " ... Scriu informatiile in " + Path(bon ? "INFOCMDBON.TXT" : "STOCARTICOL.TXT")};
    };
    TextList expectedLog;
    std::set<std::string> seen;
    size_t lastRank = 0;
    for (size_t tick = 0; tick < requests; ++tick) {
        const std::string before = broker.FCurrentRequest;
        broker.TimerTimer();
        const std::string& name = broker.FCurrentRequest;
        ASSERT_NE(name, before) << "tick " << tick << " served nothing";
        ASSERT_TRUE(seen.insert(name).second) << name << " served twice";
        size_t rank = 0;
        for (const std::string& line : served(name, rank)) expectedLog.push_back(line);
        ASSERT_GE(rank, lastRank) << name << " served out of precedence";
        lastRank = rank;
    }
    EXPECT_EQ(CallsOfATick(broker), "") << "a tick after the backlog served something";

    for (const auto& [name, package] : packages) {
        SCOPED_TRACE(name);
        const std::string stem = name.substr(0, name.size() - 4);
        EXPECT_FALSE(Exists(name));
        EXPECT_EQ(Contents(stem + ".ERR"), package.refused ? package.content : kNoFile);
        EXPECT_EQ(Contents("ERORI_" + stem + ".TXT"), package.refused ? "Linia 4: refuzat\r\n" : kNoFile);
    }
    for (const std::string& name : kErrorNamed) EXPECT_EQ(Read(name), "nu este o cerere\r\n") << name;
    for (const ExpectedQuery& query : kExpectedQueries) {
        EXPECT_FALSE(Exists(query.request)) << query.request;
        const bool answered = kAnswered.count(query.request);
        EXPECT_EQ(Read(query.result),
                  answered ? kAnswered.at(query.request).second + std::string("\r\n") : "");
    }
    EXPECT_EQ(Log(), expectedLog);
    EXPECT_EQ(Read("LOG.TXT"), broker.LogText());
}

}  // namespace
