// The real program with its real timer works off a backlog of every kind of request.
#include <gtest/gtest.h>

#include "ServiceWatch.h"
#include "base/Text.h"
#include "support/ServiceProcess.h"

namespace {

std::string Document(const std::string& body) {
    return "[InfoPachet]\r\nAnLucru=2025\r\nLunaLucru=6\r\n\r\n[Document]\r\n" + body;
}

const std::string kOrder =
    Document("Data=10.06.2025\r\nPartener=P0001\r\nGestiune=DEP\r\nArticol=A0005;1\r\n");
const std::string kSupplierOrder =
    Document("Data=11.06.2025\r\nPartener=P0004\r\nGestiune=DEP\r\nArticol=A0013;2;92.00\r\n");
const std::string kInvoice =
    Document("Data=12.06.2025\r\nPartener=P0002\r\nGestiune=DEP\r\nArticol=A0001;1\r\n");
const std::string kSupplierInvoice =
    Document("Data=14.06.2025\r\nPartener=P0004\r\nGestiune=DEP\r\nArticol=A0002;5;12.00\r\n");
const std::string kRefusedInvoice =
    Document("Data=13.06.2025\r\nPartener=P0003\r\nGestiune=DEP\r\nArticol=ART99;1\r\n");

struct Request {
    std::string name;
    std::string content;
};

std::vector<Request> Backlog() {
    std::vector<Request> requests = {{"MODIPARTENER_1.TXT", "P0002;;;Beta Nou SRL;;;\r\n"},
                                     {"FACTURA_9.TXT", kRefusedInvoice}};
    for (int n = 1; n <= 3; ++n)
        requests.push_back({"PARTENER_" + std::to_string(n) + ".TXT",
                            ";;;Partener Test " + std::to_string(n) + ";Iasi;;\r\n"});
    for (int n = 1; n <= 2; ++n)
        requests.push_back({"ARTICOL_" + std::to_string(n) + ".TXT",
                            ";;Articol test " + std::to_string(n) + ";BUC;19;10.00;5.00;;\r\n"});
    for (int n = 1; n <= 5; ++n) requests.push_back({"COMANDA_" + std::to_string(n) + ".TXT", kOrder});
    requests.push_back({"comanda_6.txt", kOrder});
    for (int n = 1; n <= 5; ++n)
        requests.push_back({"COMANDAFURN_" + std::to_string(n) + ".TXT", kSupplierOrder});
    for (int n = 1; n <= 3; ++n) requests.push_back({"FACTURA_" + std::to_string(n) + ".TXT", kInvoice});
    requests.push_back({"factura_4.txt", kInvoice});
    for (int n = 1; n <= 4; ++n)
        requests.push_back({"FACTURAFURN_" + std::to_string(n) + ".TXT", kSupplierInvoice});
    for (const char* query :
         {"GETSTOC.TXT", "GETPRETACHIZSTOC.TXT", "GETINFOART.TXT", "GETPRETART.TXT", "GETLISTAGESTIUNI.TXT",
          "GETLISTAPARTENERI.TXT", "GETINCASARILUNA.TXT", "GETFACTURICMDONLINE.TXT"})
        requests.push_back({query, ""});
    requests.push_back({"GETINFOCMDBON.TXT", "5003\r\n"});
    requests.push_back({"GETSTOCARTICOL.TXT", "A0001\r\n"});
    requests.push_back({"GETINFOCMDBONURI.TXT", "5\r\n"});
    return requests;
}

const char* const kResults[] = {"STOCURI.TXT",         "PRETACHIZSTOCURI.TXT", "INFOART.TXT",
                                "LISTAARTCATPRET.TXT", "LISTAGESTIUNI.TXT",    "LISTAPARTENERI.TXT",
                                "INCASARILUNA.TXT",    "FACTURICMDONLINE.TXT", "INFOCMDBON.TXT",
                                "STOCARTICOL.TXT",     "INFOCMDBONURI.TXT"};

TEST(LoadE2ETest, RealTimerWorksOffABacklogOfThirtySevenRequestsOnceEach) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni("PrefixareErori=D\r\n"));
    const std::vector<Request> requests = Backlog();
    ASSERT_EQ(requests.size(), 37u);
    for (const Request& request : requests) service.Put(request.name, request.content);
    service.Put("COMANDA_ERORI.TXT", "nu este o cerere\r\n");
    service.Start();

    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const Request& request : requests)
                if (service.Exists(request.name)) return false;
            return true;
        },
        240000))
        << service.ViewText();
    Sleep(1500);  // a tick more: nothing is left to serve
    EXPECT_TRUE(ServiceProcess::Dialogs(service.ProcessId()).empty());
    const TextList log = UnstampedLines(ReadShared(service.Path("LOG.TXT")));
    service.Close();

    // Four lines per package, and the traced queries' own: each request exactly once.
    EXPECT_EQ(log.size(), 26u * 4 + 6 + 6 + 1) << ReadShared(service.Path("LOG.TXT"));
    EXPECT_EQ(CountLines(log, "Partener modificat !"), 1u);
    EXPECT_EQ(CountLines(log, "Partener nou generat !"), 3u);
    EXPECT_EQ(CountLines(log, "Articol nou generat !"), 2u);
    EXPECT_EQ(CountLines(log, "Au fost generate 1 comenzi in baza de date "), 6u);
    EXPECT_EQ(CountLines(log, "Au fost generate 1 comenzi furnizori in baza de date "), 5u);
    EXPECT_EQ(CountLines(log, "Au fost generate 1 facturi in baza de date "), 4u);
    EXPECT_EQ(CountLines(log, "Au fost generate 1 facturi furnizori in baza de date "), 4u);
    EXPECT_EQ(CountLines(log, "Pachetul contine erori "), 1u);

    // Precedence: the outcome lines of the packages come kind by kind, in the table's order.
    const TextList outcomeOrder = {"Partener modificat !",
                                   "Partener nou generat !",
                                   "Articol nou generat !",
                                   "Au fost generate 1 comenzi in baza de date ",
                                   "Au fost generate 1 comenzi furnizori in baza de date ",
                                   "",
                                   "Au fost generate 1 facturi furnizori in baza de date "};
    size_t rank = 0;
    for (const std::string& line : log) {
        if (line == "Pachetul contine erori " || line == "Au fost generate 1 facturi in baza de date ") {
            EXPECT_LE(rank, 5u) << line;
            rank = std::max<size_t>(rank, 5);
            continue;
        }
        for (size_t r = 0; r < outcomeOrder.size(); ++r) {
            if (outcomeOrder[r].empty() || line != outcomeOrder[r]) continue;
            EXPECT_LE(rank, r) << line;
            rank = r;
        }
    }

    EXPECT_EQ(service.Read("FACTURA_9.ERR"), kRefusedInvoice);
    EXPECT_EQ(service.Read("ERORI_FACTURA_9.TXT"), "Linia 9: articol necunoscut ART99\r\n");
    EXPECT_EQ(service.Read("COMANDA_ERORI.TXT"), "nu este o cerere\r\n");
    for (const char* result : kResults) EXPECT_NE(service.Read(result), "") << result;
}

}  // namespace
