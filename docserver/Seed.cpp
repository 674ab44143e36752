// The demo data: one company, ten partners, twenty articles, three stock locations.
#include "Store.h"

#include <iterator>

namespace docserver {

namespace {

constexpr char Partners[] =
    R"(P0001;C1001;RO14399840;Alfa Distributie SRL;Bucuresti;Str. Lalelelor 4;0211234567;1200.00
P0002;C1002;RO16500041;Beta Market SRL;Cluj-Napoca;Bd. Eroilor 12;0264123456;0.00
P0003;C1003;RO21012016;Gama Construct SA;Iasi;Str. Pacurari 88;0232111222;350.50
P0004;C1004;RO9010105;Delta Logistic SRL;Timisoara;Calea Aradului 3;0256333444;0.00
P0005;C1005;RO30834857;Epsilon Food SRL;Brasov;Str. Lunga 101;0268555666;-800.00
P0006;C1006;RO6859662;Zeta Impex SRL;Constanta;Bd. Tomis 45;0241777888;0.00
P0007;C1007;RO13972740;Eta Comert SRL;Oradea;Str. Republicii 9;0259999000;75.00
P0008;C1008;RO18547290;Theta Service SRL;Sibiu;Str. Avram Iancu 2;0269101010;0.00
P0009;C1009;1850101123456;Ion Popescu;Ploiesti;Str. Mare 7;0722000111;0.00
P0010;C1010;RO24563728;Client Online Magazin;Bucuresti;Str. Web 1;0211000000;0.00
)";

// intern;extern;name;unit;VAT;group;barcode;purchase price;minimum
// stock;weight;maker;country;description;active;notes
constexpr char Articles[] =
    R"(A0001;100001;Cafea boabe 1kg;BUC;9;Cafea;5941000000011;45.00;10;1;Aroma SRL;Romania;Cafea prajita boabe;DA;
A0002;100002;Cafea macinata 250g;BUC;9;Cafea;5941000000028;12.50;20;0.25;Aroma SRL;Romania;Cafea macinata;DA;
A0003;100003;Ceai verde 20 plicuri;BUC;9;Ceai;5941000000035;6.80;20;0.05;Herba SA;Romania;Ceai verde;DA;
A0004;100004;Ceai negru 20 plicuri;BUC;9;Ceai;5941000000042;6.20;20;0.05;Herba SA;Romania;Ceai negru;DA;
A0005;100005;Zahar tos 1kg;KG;9;Alimente;5941000000059;3.90;50;1;Dulce SA;Romania;Zahar alb;DA;
A0006;100006;Lapte UHT 1l;BUC;9;Lactate;5941000000066;4.70;30;1;Lacto SRL;Romania;Lapte 3.5% grasime;DA;
A0007;100007;Apa minerala 2l;BUC;9;Bauturi;5941000000073;2.10;60;2;Izvor SA;Romania;Apa carbogazoasa;DA;
A0008;100008;Suc portocale 1l;BUC;9;Bauturi;5941000000080;5.40;30;1;Fructa SRL;Spania;Suc natural;DA;
A0009;100009;Pahare carton 50 buc;SET;19;Consumabile;5941000000097;8.00;10;0.3;Ambalaj SRL;Romania;Pahare 200 ml;DA;
A0010;100010;Servetele 100 buc;SET;19;Consumabile;5941000000103;3.20;25;0.2;Ambalaj SRL;Romania;Servetele albe;DA;
A0011;100011;Filtru cafea nr. 4;SET;19;Consumabile;5941000000110;4.10;15;0.1;Ambalaj SRL;Germania;Filtre hartie;DA;
A0012;100012;Espressor manual;BUC;19;Aparate;5941000000127;320.00;2;4.5;Caffe Tech;Italia;Espressor 15 bar;DA;
A0013;100013;Rasnita cafea;BUC;19;Aparate;5941000000134;95.00;3;1.2;Caffe Tech;Italia;Rasnita electrica;DA;
A0014;100014;Cana ceramica;BUC;19;Vesela;5941000000141;11.00;12;0.4;Ceramica SA;Romania;Cana 300 ml;DA;
A0015;100015;Set lingurite 6 buc;SET;19;Vesela;5941000000158;18.50;5;0.2;Inox SRL;China;Inox;DA;
A0016;100016;Biscuiti unt 200g;BUC;9;Alimente;5941000000165;4.30;40;0.2;Dulce SA;Romania;Biscuiti;DA;
A0017;100017;Ciocolata neagra 100g;BUC;9;Alimente;5941000000172;5.10;40;0.1;Dulce SA;Elvetia;Cacao 70%;DA;
A0018;100018;Miere salcam 500g;BORCAN;9;Alimente;5941000000189;19.00;10;0.5;Apicola SRL;Romania;Miere;DA;
A0019;100019;Detergent vase 500ml;BUC;19;Curatenie;5941000000196;6.60;15;0.5;Clean SA;Romania;Detergent lichid;DA;
A0020;100020;Termos 1l;BUC;19;Aparate;5941000000202;55.00;4;0.6;Caffe Tech;China;Termos inox;NU;Iese din gama
)";

// Sale price (category PRET VANZARE) by article.
constexpr double SalePrices[] = {69.90, 19.90,  10.50,  9.90,  5.99,  7.20, 3.50, 8.90,  12.90, 4.99,
                                 6.50,  499.00, 149.00, 17.90, 29.90, 6.90, 7.99, 29.00, 9.99,  85.00};

constexpr char Locations[] = R"(DEP;Depozit central;DEPOZIT
MAG1;Magazin Centru;MAGAZIN
ONL;Magazin online;MAGAZIN
)";

// Dates are "DD.@", the @ standing for the month and year of the demo.
constexpr char Invoices[] = R"(1;02.@;P0010;ONL;A0001;2;69.90;9;5001
1;02.@;P0010;ONL;A0014;2;17.90;19;5001
2;04.@;P0010;ONL;A0012;1;499.00;19;5002
3;05.@;P0002;DEP;A0007;24;3.20;9;
)";

constexpr char Orders[] = R"(1;06.@;P0001;DEP;A0005;20;5.99;9;
1;06.@;P0001;DEP;A0006;10;7.20;9;
)";

constexpr char Receipts[] = R"(B101;03.@;5001;A0001;2;76.19;ONL
B101;03.@;5001;A0014;2;21.30;ONL
B102;05.@;5002;A0012;1;593.81;ONL
B103;05.@;5003;A0003;3;11.45;ONL
B103;05.@;5003;A0017;1;8.71;ONL
B104;10.@;5004;A0008;4;9.70;ONL
)";

constexpr char CashIns[] = R"(I1;02.@;P0010;194.98;1;CARD
I2;04.@;P0010;593.81;2;CARD
I3;07.@;P0002;500.00;;BANCA
I4;08.@;P0009;120.00;;NUMERAR
)";

Table Dated(const char* text, const std::string& monthYear) {
    std::string dated(text);
    for (size_t at; (at = dated.find('@')) != std::string::npos;) dated.replace(at, 1, monthYear);
    return ParseTable(dated);
}

}  // namespace

Tables MakeDemoData(int year, int month) {
    const std::string firstDay = FormatDate({year, month, 1});
    const std::string monthYear = firstDay.substr(3);
    Tables tables = {{file::Partners, ParseTable(Partners)},
                     {file::Articles, ParseTable(Articles)},
                     {file::Locations, ParseTable(Locations)},
                     {file::Invoices, Dated(Invoices, monthYear)},
                     {file::Orders, Dated(Orders, monthYear)},
                     {file::SupplierOrders, {}},
                     {file::SupplierInvoices, {}},
                     {file::Receipts, Dated(Receipts, monthYear)},
                     {file::CashIns, Dated(CashIns, monthYear)}};
    // Every article in the warehouse, the shops hold some; half the articles have a second price category.
    for (size_t i = 0; i < std::size(SalePrices); ++i) {
        const Row& item = tables[file::Articles][i];
        const std::string& code = item[article::Intern];
        tables[file::PriceCategories].push_back({code, SaleCategory, FormatMoney(SalePrices[i])});
        if (i % 2 == 0)
            tables[file::PriceCategories].push_back({code, "PRET ENGROS", FormatMoney(SalePrices[i] * 0.9)});
        const auto hold = [&](const char* where, size_t quantity) {
            tables[file::Stock].push_back(
                {code, where, std::to_string(quantity), item[article::PurchasePrice], firstDay});
        };
        hold("DEP", 40 + 10 * (i % 5));
        if (i % 2 == 0) hold("MAG1", 5 + i % 7);
        if (i % 3 == 0 || i == 13) hold("ONL", 8 + i % 4);
    }
    return tables;
}

}  // namespace docserver
