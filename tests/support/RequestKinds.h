// What the tests expect of every request kind, apart from the service's tables; in precedence order.
#pragma once

#include <string>
#include <string_view>

struct ExpectedPackage {
    const char* prefix;
    const char* opened;    // logged after the time stamp
    const char* call;      // generates the documents, or takes the record
    const char* count;     // counts the documents; nullptr for a record
    const char* accepted;  // logged after the count, or alone for a record

    bool Documents() const { return count != nullptr; }
    std::string File(int number) const { return prefix + std::to_string(number) + ".TXT"; }
};

inline constexpr ExpectedPackage kExpectedPackages[] = {
    {"MODIPARTENER_", " ... Deschid pachetul cu informatii partener", "ModiPartener", nullptr,
     "Partener modificat !"},
    {"PARTENER_", " ... Deschid pachetul cu informatii partener", "AddPartener", nullptr,
     "Partener nou generat !"},
    {"ARTICOL_", " ... Deschid pachetul cu informatii articol", "AddArticol", nullptr,
     "Articol nou generat !"},
    {"COMANDA_", " ... Deschid pachetul cu comenzi", "GenComenzi", "GetNrComenzi",
     " comenzi in baza de date "},
    {"COMANDAFURN_", " ... Deschid pachetul cu comenzi", "GenComenziFurnizori", "GetNrComenziFurnizori",
     " comenzi furnizori in baza de date "},
    {"FACTURA_", " ... Deschid pachetul cu facturi", "GenFacturi", "GetNrFacturi",
     " facturi in baza de date "},
    {"FACTURAFURN_", " ... Deschid pachetul cu facturi furnizori", "GenFacturiFurnizori",
     "GetNrFacturiFurnizori", " facturi furnizori in baza de date "},
};

struct ExpectedQuery {
    const char* request;
    const char* result;
    const char* call;  // as recorded for an empty request file

    std::string Method() const { return std::string(call).substr(0, std::string(call).find('(')); }
};

inline constexpr ExpectedQuery kExpectedQueries[] = {
    {"GETSTOC.TXT", "STOCURI.TXT", "GetStocuri"},
    {"GETPRETACHIZSTOC.TXT", "PRETACHIZSTOCURI.TXT", "GetPretAchizStocuri"},
    {"GETINFOART.TXT", "INFOART.TXT", "GetInfoArticol"},
    {"GETPRETART.TXT", "LISTAARTCATPRET.TXT", "GetListaArtCatPret"},
    {"GETLISTAGESTIUNI.TXT", "LISTAGESTIUNI.TXT", "GetListaGestiuni"},
    {"GETLISTAPARTENERI.TXT", "LISTAPARTENERI.TXT", "GetListaParteneri"},
    {"GETINFOCMDBON.TXT", "INFOCMDBON.TXT", "GetInfoCmdBon(0)"},
    {"GETSTOCARTICOL.TXT", "STOCARTICOL.TXT", "GetStocArticol(qqqqqq,0)"},
    {"GETINFOCMDBONURI.TXT", "INFOCMDBONURI.TXT", "GetInfoCmdBonuri(0)"},
    {"GETINCASARILUNA.TXT", "INCASARILUNA.TXT", "GetIncasariLuna"},
    {"GETFACTURICMDONLINE.TXT", "FACTURICMDONLINE.TXT", "GetFacturiCmdOnline"},
};

const ExpectedQuery& ExpectedQueryKind(std::string_view request);
