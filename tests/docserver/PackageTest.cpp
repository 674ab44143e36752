// Document packages: all documents or none, errors that name the line, stock moved by invoices.
#include "Demo.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

std::vector<std::string> Package(std::initializer_list<std::string> documentLines) {
    std::vector<std::string> lines = {"[InfoPachet]", "AnLucru=2025", "LunaLucru=6"};
    lines.insert(lines.end(), documentLines);
    return lines;
}

// Lines 4..: one invoice of two articles from the warehouse.
const std::initializer_list<std::string> GoodInvoice = {"[Document]",      "Numar=F100",
                                                        "Data=12.06.2025", "Partener=P0001",
                                                        "Gestiune=DEP",    "Articol=A0001;3;69.90",
                                                        "Articol=A0002;2"};

TEST(Package, InvoiceIsWrittenAndLowersStock) {
    Demo demo;
    Tables work = demo.tables;
    const PackageOutcome outcome = ApplyPackage(DocKind::Invoice, Package(GoodInvoice), demo.Context(), work);
    ASSERT_TRUE(outcome.errors.empty()) << outcome.errors.front();
    EXPECT_EQ(outcome.documents, 1);
    const Table& invoices = work.at(file::Invoices);
    EXPECT_EQ(invoices.size(), demo.tables.at(file::Invoices).size() + 2);
    EXPECT_EQ(invoices.back(), (Row{"F100", "12.06.2025", "P0001", "DEP", "A0002", "2", "19.90", "9", ""}));
    Demo after{work};
    EXPECT_EQ(after.Stock("A0001", "DEP"), 37);
    EXPECT_EQ(after.Stock("A0002", "DEP"), 48);
}

TEST(Package, EachFaultIsRefusedWithItsLineAndNothingChanges) {
    const struct {
        const char* name;
        std::vector<std::string> lines;
        const char* error;
    } cases[] = {
        {"unknown article",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "Articol=ART99;1"}),
         "Linia 8: articol necunoscut ART99"},
        {"unknown partner",
         Package({"[Document]", "Data=12.06.2025", "Partener=P999", "Gestiune=DEP", "Articol=A0001;1"}),
         "Linia 6: partener necunoscut P999"},
        {"unknown location",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=XYZ", "Articol=A0001;1"}),
         "Linia 7: gestiune necunoscuta XYZ"},
        {"zero quantity",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "Articol=A0001;0"}),
         "Linia 8: cantitate invalida 0"},
        {"negative price",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "Articol=A0001;1;-5"}),
         "Linia 8: pret invalid -5"},
        {"date of another month",
         Package({"[Document]", "Data=01.07.2025", "Partener=P0001", "Gestiune=DEP", "Articol=A0001;1"}),
         "Linia 5: data 01.07.2025 nu este in luna de lucru 6.2025"},
        {"no date", Package({"[Document]", "Partener=P0001", "Gestiune=DEP", "Articol=A0001;1"}),
         "Linia 4: documentul nu are Data"},
        {"no articles", Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP"}),
         "Linia 4: documentul nu are articole"},
        {"line without key",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "A0001;1"}),
         "Linia 8: linie nerecunoscuta: A0001;1"},
        {"article line with one field",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "Articol=A0001"}),
         "Linia 8: articol scris gresit A0001 (cod;cantitate;pret)"},
        {"other year in header",
         {"[InfoPachet]", "AnLucru=2024", "LunaLucru=6", "[Document]"},
         "Linia 2: AnLucru 2024 nu corespunde lunii de lucru 6.2025"},
        {"no header",
         {"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP", "Articol=A0001;1"},
         "Pachetul nu are sectiunea [InfoPachet]"},
        {"no documents", Package({}), "Pachetul nu contine documente"},
        {"existing number",
         Package({"[Document]", "Numar=1", "Data=12.06.2025", "Partener=P0001", "Gestiune=DEP",
                  "Articol=A0001;1"}),
         "Linia 5: documentul 1 exista deja"},
        {"more than in stock",
         Package({"[Document]", "Data=12.06.2025", "Partener=P0001", "Gestiune=MAG1", "Articol=A0001;4",
                  "Articol=A0001;2"}),
         "Linia 9: stoc insuficient pentru articolul A0001 in gestiunea MAG1 (disponibil 1, cerut 2)"},
    };
    for (const auto& c : cases) {
        Demo demo;
        Tables work = demo.tables;
        const PackageOutcome outcome = ApplyPackage(DocKind::Invoice, c.lines, demo.Context(), work);
        EXPECT_NE(std::find(outcome.errors.begin(), outcome.errors.end(), c.error), outcome.errors.end())
            << c.name << ": " << (outcome.errors.empty() ? "no error" : outcome.errors.front());
        EXPECT_EQ(outcome.documents, 0) << c.name;
        EXPECT_EQ(work.at(file::Invoices), demo.tables.at(file::Invoices)) << c.name;
        EXPECT_EQ(work.at(file::Stock), demo.tables.at(file::Stock)) << c.name;
    }
}

TEST(Package, OneBadDocumentRefusesTheWholePackage) {
    Demo demo;
    Tables work = demo.tables;
    std::vector<std::string> lines = Package(GoodInvoice);
    for (const char* line :
         {"[Document]", "Data=13.06.2025", "Partener=P0002", "Gestiune=DEP", "Articol=A0003;abc"})
        lines.push_back(line);
    const PackageOutcome outcome = ApplyPackage(DocKind::Order, lines, demo.Context(), work);
    EXPECT_EQ(outcome.errors, (std::vector<std::string>{"Linia 15: cantitate invalida abc"}));
    EXPECT_EQ(work.at(file::Orders), demo.tables.at(file::Orders));
}

TEST(Package, SupplierInvoiceRaisesStockAtAWeightedPurchasePrice) {
    Demo demo;
    Tables work = demo.tables;
    const auto lines = Package({"[Document]", "Data=20.06.2025", "Partener=P0004", "Gestiune=DEP",
                                "Articol=A0001;40;55", "Articol=A0002;10", "[Document]", "Data=21.06.2025",
                                "Partener=P0004", "Gestiune=ONL", "Articol=A0002;5;13"});
    const PackageOutcome outcome = ApplyPackage(DocKind::SupplierInvoice, lines, demo.Context(), work);
    ASSERT_TRUE(outcome.errors.empty()) << outcome.errors.front();
    EXPECT_EQ(outcome.documents, 2);
    const Row* held = nullptr;
    for (const Row& row : work.at(file::Stock))
        held = row[stock::Article] == "A0001" && row[stock::Location] == "DEP" ? &row : held;
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(*held, (Row{"A0001", "DEP", "80", "50.00", "20.06.2025"}));  // (40 x 45 + 40 x 55) / 80
    EXPECT_EQ(work.at(file::Stock).back(), (Row{"A0002", "ONL", "5", "13.00", "21.06.2025"}));
    const Table& documents = work.at(file::SupplierInvoices);
    ASSERT_EQ(documents.size(), 3u);
    EXPECT_EQ(documents[1][doc::Price], "12.50");  // the purchase price when the line names none
    EXPECT_EQ(documents[0][doc::Number], "1");
    EXPECT_EQ(documents[2][doc::Number], "2");
}

TEST(Package, CodesFollowTheKeyKindsAndNumbersContinueTheTable) {
    Demo demo;
    Tables work = demo.tables;
    const auto lines = Package({"[document]", "data=12.06.2025", "partener=RO16500041", "gestiune=mag1",
                                "ComandaOnline=7001", "articol=100003 ; 2 ; 10,50"});
    const PackageOutcome outcome =
        ApplyPackage(DocKind::Invoice, lines, demo.Context(KeyKind::Fiscal, KeyKind::Extern), work);
    ASSERT_TRUE(outcome.errors.empty()) << outcome.errors.front();
    EXPECT_EQ(work.at(file::Invoices).back(),
              (Row{"4", "12.06.2025", "P0002", "MAG1", "A0003", "2", "10.50", "9", "7001"}));
    const PackageOutcome internal = ApplyPackage(DocKind::Invoice, lines, demo.Context(), work);
    EXPECT_EQ(internal.errors.front(), "Linia 6: partener necunoscut RO16500041");
}

}  // namespace
}  // namespace docserver
