// The stand-in's pure logic over the demo's June 2025 tables.
#include "Book.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace docserver {
namespace {

// What a change did: "-FILE n: row" for the row that was at place n, "+FILE n: row" for the one there now.
std::string Changes(const Tables& before, const Tables& after) {
    std::string text;
    for (const auto& [file, rows] : after) {
        const Table& old = before.at(file);
        for (size_t i = 0; i < std::max(old.size(), rows.size()); ++i) {
            if (i < old.size() && i < rows.size() && old[i] == rows[i]) continue;
            const std::string place = file + " " + std::to_string(i) + ": ";
            if (i < old.size()) text += "-" + place + JoinFields(old[i]) + "\n";
            if (i < rows.size()) text += "+" + place + JoinFields(rows[i]) + "\n";
        }
    }
    return text;
}

// Package lines written with "|" between them.
TextList Package(std::string lines) {
    std::replace(lines.begin(), lines.end(), '|', '\n');
    return SplitTextLines(lines);
}
// Behind the header of June 2025.
TextList June(const std::string& lines) { return Package("[InfoPachet]|AnLucru=2025|LunaLucru=6|" + lines); }

const Tables demo = MakeDemoData(2025, 6);
WorkContext Context(KeyKind partners = KeyKind::Intern, KeyKind articles = KeyKind::Intern) {
    return {&demo, "DEMO", 2025, 6, partners, articles};
}

// A text as each reader takes it: a number in its quantity and money writings, a date, a fiscal code.
std::string Reads(const std::string& text) {
    const auto number = ParseNumber(text);
    return (number ? FormatQuantity(*number) + " " + FormatMoney(*number) : "no number") +
           (ParseDate(text) ? ", a date" : "") + (ValidFiscalCode(text) ? ", a fiscal code" : "");
}

// Only what no package, record or query row below reads.
TEST(Text, EachTextReadsAsWhatItMeans) {
    const std::pair<const char*, const char*> cases[] = {
        {" 2.5 ", "2.5 2.50"},
        {"0.125", "0.125 0.12"},
        {"-0.0001", "0 0.00"},
        {"-0.001", "-0.001 0.00"},
        {"1", "1 1.00"},
        {"", "no number"},
        {"1,2.3", "no number"},
        {"2-", "no number"},
        {"+4", "no number"},
        {".", "no number"},
        {"29.02.2024", "no number, a date"},
        {"29.02.2025", "no number"},
        {"31.04.2025", "no number"},
        {"00.06.2025", "no number"},
        {"15.13.2025", "no number"},
        {"1.6.2025", "no number"},
        {"15-06-2025", "no number"},
        {"12", "12 12.00, a fiscal code"},
        {"ro14399840", "no number, a fiscal code"},
        {"RO1850101123456", "no number, a fiscal code"},
        {"RO12345678901234", "no number"},
        {"RO", "no number"},
        {"R0123", "no number"},
    };
    for (const auto& [text, reads] : cases) EXPECT_EQ(Reads(text), reads) << text;
}

// Past a row's end a field is empty.
TEST(Text, FieldsKeepEmptyPiecesAndTablesSkipBlankLines) {
    EXPECT_EQ(SplitFields(";"), (Row{"", ""}));
    EXPECT_EQ(Field(SplitFields(";"), 5), "");
    EXPECT_EQ(FormatTable(ParseTable("a;b\r\n\r\nc;d\n  \nlast")), "a;b\r\nc;d\r\nlast\r\n");
}

// Lines 4..: one invoice of two articles from the warehouse.
const std::string GoodInvoice =
    "[Document]|Numar=F100|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;3;69.90|Articol=A0002;2";
// Lines 4..: partner and article named by fiscal and external codes, in other letter case and blanks.
const std::string ByOtherCodes =
    "[document]|data=12.06.2025|partener=RO16500041|gestiune=mag1|"
    "ComandaOnline=7001|articol=100003 ; 2 ; 10,50";

TEST(Package, EachPackageIsWrittenWholeOrRefusedWithItsLines) {
    const struct {
        const char* behaviour;
        std::vector<std::string> lines;
        const char* errors;
        const char* changes = "";
        long documents = 0;
        DocKind kind = DocKind::Invoice;
        KeyKind partners = KeyKind::Intern, articles = KeyKind::Intern;
    } cases[] = {
        {"unknown location", June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=XYZ|Articol=A0001;1"),
         "Linia 7: gestiune necunoscuta XYZ"},
        {"zero quantity", June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;0"),
         "Linia 8: cantitate invalida 0"},
        {"negative price", June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;1;-5"),
         "Linia 8: pret invalid -5"},
        {"date of another month",
         June("[Document]|Data=01.07.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;1"),
         "Linia 5: data 01.07.2025 nu este in luna de lucru 6.2025"},
        {"line without key", June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=DEP|A0001;1"),
         "Linia 8: linie nerecunoscuta: A0001;1\nLinia 4: documentul nu are articole"},
        {"article line with one field",
         June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001"),
         "Linia 8: articol scris gresit A0001 (cod;cantitate;pret)"},
        {"other year in the header, document without keys",
         Package("[InfoPachet]|AnLucru=2024|LunaLucru=6|[Document]"),
         "Linia 2: AnLucru 2024 nu corespunde lunii de lucru 6.2025\nLinia 4: documentul nu are Data\n"
         "Linia 4: documentul nu are Partener\nLinia 4: documentul nu are Gestiune\n"
         "Linia 4: documentul nu are articole"},
        {"no header", Package("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;1"),
         "Pachetul nu are sectiunea [InfoPachet]"},
        {"no documents", June(""), "Pachetul nu contine documente"},
        {"existing number",
         June("[Document]|Numar=1|Data=12.06.2025|Partener=P0001|Gestiune=DEP|Articol=A0001;1"),
         "Linia 5: documentul 1 exista deja"},
        {"more than in stock",
         June("[Document]|Data=12.06.2025|Partener=P0001|Gestiune=MAG1|Articol=A0001;4|Articol=A0001;2"),
         "Linia 9: stoc insuficient pentru articolul A0001 in gestiunea MAG1 (disponibil 1, cerut 2)"},
        {"one bad document refuses the whole package",
         June(GoodInvoice + "|[Document]|Data=13.06.2025|Partener=P0002|Gestiune=DEP|Articol=A0003;abc"),
         "Linia 15: cantitate invalida abc", "", 0, DocKind::Order},
        {"fiscal and external codes under the internal key kinds", June(ByOtherCodes),
         "Linia 6: partener necunoscut RO16500041\nLinia 9: articol necunoscut 100003"},
        {"invoice lowers stock, at the sale price when the line names none", June(GoodInvoice), "",
         "+FACTURI.TXT 4: F100;12.06.2025;P0001;DEP;A0001;3;69.90;9;\n"
         "+FACTURI.TXT 5: F100;12.06.2025;P0001;DEP;A0002;2;19.90;9;\n"
         "-STOCURI.TXT 0: A0001;DEP;40;45.00;01.06.2025\n"
         "+STOCURI.TXT 0: A0001;DEP;37;45.00;01.06.2025\n"
         "-STOCURI.TXT 3: A0002;DEP;50;12.50;01.06.2025\n"
         "+STOCURI.TXT 3: A0002;DEP;48;12.50;01.06.2025\n",
         1},
        {"supplier invoice raises stock at a weighted price, the purchase price when the line names none",
         June("[Document]|Data=20.06.2025|Partener=P0004|Gestiune=DEP|Articol=A0001;40;55|Articol=A0002;10|"
              "[Document]|Data=21.06.2025|Partener=P0004|Gestiune=ONL|Articol=A0002;5;13"),
         "",
         "+FACTURIFURN.TXT 0: 1;20.06.2025;P0004;DEP;A0001;40;55.00;9;\n"
         "+FACTURIFURN.TXT 1: 1;20.06.2025;P0004;DEP;A0002;10;12.50;9;\n"
         "+FACTURIFURN.TXT 2: 2;21.06.2025;P0004;ONL;A0002;5;13.00;9;\n"
         "-STOCURI.TXT 0: A0001;DEP;40;45.00;01.06.2025\n"
         "+STOCURI.TXT 0: A0001;DEP;80;50.00;20.06.2025\n"  // (40 x 45 + 40 x 55) / 80
         "-STOCURI.TXT 3: A0002;DEP;50;12.50;01.06.2025\n"
         "+STOCURI.TXT 3: A0002;DEP;60;12.50;20.06.2025\n"
         "+STOCURI.TXT 38: A0002;ONL;5;13.00;21.06.2025\n",
         2, DocKind::SupplierInvoice},
        {"codes follow the key kinds, a new number continues the table", June(ByOtherCodes), "",
         "+FACTURI.TXT 4: 4;12.06.2025;P0002;MAG1;A0003;2;10.50;9;7001\n"
         "-STOCURI.TXT 5: A0003;MAG1;7;6.80;01.06.2025\n"
         "+STOCURI.TXT 5: A0003;MAG1;5;6.80;01.06.2025\n",
         1, DocKind::Invoice, KeyKind::Fiscal, KeyKind::Extern},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        Tables work = demo;
        const PackageOutcome outcome = ApplyPackage(c.kind, c.lines, Context(c.partners, c.articles), work);
        EXPECT_EQ(outcome.errors, SplitTextLines(c.errors));
        EXPECT_EQ(outcome.documents, c.documents);
        EXPECT_EQ(Changes(demo, work), c.changes);
    }
}

TEST(Records, EachRecordIsKeptOrRefusedWithTheReasonAndChangesNothing) {
    using enum KeyKind;
    const struct {
        decltype(&AddPartnerRecord) change;
        const char* record;
        const char* errors;
        const char* changes = "";
        KeyKind key = Intern;  // of partners and articles alike
    } cases[] = {
        {AddPartnerRecord, ";", "Lipseste denumirea partenerului"},
        {AddPartnerRecord, ";C1002;;Nou SRL", "Exista deja un partener cu codul extern C1002"},
        {AddPartnerRecord, ";;RO12X;Nou SRL", "Cod fiscal invalid RO12X"},
        {AddPartnerRecord, ";;;Nou SRL", "Lipseste codul fiscal al partenerului", "", Fiscal},
        {AddPartnerRecord, ";;;Nou SRL;a;b;c;d", "Inregistrarea are 8 campuri, cel mult 7 sunt permise"},
        {AddPartnerRecord, ";C2000;RO123456;Nou SRL;Arad;Str. 1;0700", "",
         "+PARTENERI.TXT 10: P0011;C2000;RO123456;Nou SRL;Arad;Str. 1;0700;0.00\n"},
        {ModifyPartnerRecord, ";C1003;;Gama Nou SA;;Str. Noua 1", "",
         "-PARTENERI.TXT 2: P0003;C1003;RO21012016;Gama Construct SA;Iasi;"
         "Str. Pacurari 88;0232111222;350.50\n"
         "+PARTENERI.TXT 2: P0003;C1003;RO21012016;Gama Nou SA;Iasi;Str. Noua 1;0232111222;350.50\n",
         Extern},
        {ModifyPartnerRecord, ";", "Lipseste codul intern al partenerului"},
        {ModifyPartnerRecord, ";C9999;;X", "Partener necunoscut C9999", "", Extern},
        {ModifyPartnerRecord, ";C1003;RO14399840", "Exista deja un partener cu codul fiscal RO14399840", "",
         Extern},
        {ModifyPartnerRecord, "P0001;C1003", "Exista deja un partener cu codul intern P0001", "", Extern},
        {AddArticleRecord, ";200001;Cafea decaf 500g;;9;35.5;20;Cafea;594", "",
         "+ARTICOLE.TXT 20: A0021;200001;Cafea decaf 500g;BUC;9;Cafea;594;20.00;0;;;;;DA;\n"
         "+CATPRET.TXT 30: A0021;PRET VANZARE;35.50\n"},
        {AddArticleRecord, ";", "Lipseste denumirea articolului"},
        {AddArticleRecord, "A0001;;Dublura", "Exista deja un articol cu codul intern A0001"},
        {AddArticleRecord, ";100001;Dublura", "Exista deja un articol cu codul extern 100001"},
        {AddArticleRecord, ";;Fara cod extern", "Lipseste codul extern al articolului", "", Extern},
        {AddArticleRecord, ";;Nou;BUC;150", "Cota TVA invalida 150"},
        {AddArticleRecord, ";;Nou;BUC;19;abc", "Pret de vanzare invalid abc"},
        {AddArticleRecord, ";;Nou;BUC;19;1;-2", "Pret de achizitie invalid -2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        Tables work = demo;
        EXPECT_EQ(c.change(c.record, Context(c.key, c.key), work), SplitTextLines(c.errors));
        EXPECT_EQ(Changes(demo, work), c.changes);
    }
}

TEST(Queries, EachQueryGivesItsRowsOrItsErrorCode) {
    const WorkContext june = Context(), july{&demo, "DEMO", 2025, 7},
                      external = Context(KeyKind::Extern, KeyKind::Extern);
    using enum QueryKind;
    const struct {
        const char* behaviour;
        const WorkContext& context;
        QueryKind kind;
        const char* argument;
        size_t count;
        const char* rows;  // among the rows in this order, "\n" between them; every row has as many fields
        const char* errors = "";  // error code 2 with them
        int location = -1;        // the field that names a known location in every row
    } cases[] = {
        {"stock of each article and location", june, Stock, "", 38,
         "A0001;Cafea boabe 1kg;BUC;40;9;45.00;1800.00;A0001;69.90;100001;76.19;DEP;Depozit central;Cafea;"
         "0;40;5941000000011;0;01.06.2025;3047.60\n"
         "A0005;Zahar tos 1kg;KG;80;9;3.90;312.00;A0005;5.99;100005;6.53;DEP;Depozit central;Alimente;"
         "20;60;5941000000059;0;01.06.2025;522.40",  // 20 ordered this month, 60 free
         "", 11},
        {"purchase prices under external codes", external, PurchasePrices, "", 38,
         "100001;DEP;Cafea boabe 1kg;BUC;40;45.00;9;49.05;01.06.2025"},
        {"partners under external codes", external, Partners, "", 10,
         "C1001;P0001;C1001;RO14399840;Alfa Distributie SRL;Bucuresti;Str. Lalelelor 4;0211234567"},
        {"stock of one article by its external code", external, ArticleStock, "100001", 3,
         "100001;DEP;Depozit central;40;45.00;76.19;BUC"},
        {"an internal code under external codes", external, ArticleStock, "A0001", 0, "",
         "Articol necunoscut A0001"},
        {"catalogue with both codes, stock of all locations, inactive articles", june, Catalogue, "", 20,
         "A0001;Cafea boabe 1kg;BUC;9;69.90;76.19;Cafea;5941000000011;45.00;100001;53;10;2385.00;2;0;0;2;0;1;"
         "Aroma SRL;Romania;Cafea prajita boabe;3;DEMO;DA;\n"
         "A0020;Termos 1l;BUC;19;85.00;101.15;Aparate;5941000000202;55.00;100020;80;4;4400.00;1;0;0;0;0;0.6;"
         "Caffe Tech;China;Termos inox;1;DEMO;NU;Iese din gama"},
        {"cash-ins of the working month", june, CashIns, "", 4, ""},
        {"no cash-ins in another month", july, CashIns, "", 0, ""},
        {"online-order invoices of the working month", june, OnlineInvoices, "", 2,
         "5001;1;02.06.2025;P0010;Client Online Magazin;175.60;19.38;194.98\n"
         "5002;2;04.06.2025;P0010;Client Online Magazin;499.00;94.81;593.81"},
        {"no online-order invoices in another month", july, OnlineInvoices, "", 0, ""},
        {"receipts of another order", june, OrderReceipts, "5002", 1,
         "5002;B102;05.06.2025;A0012;Espressor manual;1;593.81;593.81;ONL"},
        {"receipts of a day", june, DayReceipts, "5", 3, ""},
        {"a day the month does not have", june, DayReceipts, "31", 0, "",
         "Ziua 31 nu exista in luna de lucru 6.2025"},
        {"day 0", june, DayReceipts, "0", 0, "", "Ziua 0 nu exista in luna de lucru 6.2025"},
        {"balance of one partner", june, Balances, "P0010", 1,
         "P0010;Client Online Magazin;RO24563728;0.00;788.79;788.79;0.00;0.00"},
        {"balance of an unknown partner", june, Balances, "P0099", 0, "", "Partener necunoscut P0099"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const QueryResult result = RunQuery(c.kind, c.context, c.argument);
        EXPECT_EQ(result.errorCode, *c.errors ? QueryBadArgument : QueryOk);
        EXPECT_EQ(result.errors, SplitTextLines(c.errors));
        EXPECT_EQ(result.rows.size(), c.count);
        const TextList expected = SplitTextLines(c.rows);
        auto next = result.rows.begin();
        for (const std::string& row : expected)
            EXPECT_NE(next = std::find(next, result.rows.end(), row), result.rows.end()) << row;
        for (const std::string& row : result.rows) {
            const auto fields = SplitFields(row);
            EXPECT_TRUE(expected.empty() || fields.size() == SplitFields(expected[0]).size()) << row;
            EXPECT_TRUE(c.location < 0 || c.context.Location(fields.at(size_t(c.location)))) << row;
        }
    }
}

}  // namespace
}  // namespace docserver
