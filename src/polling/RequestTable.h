// The request kinds in the order one tick looks for them: the first row with work wins.
#pragma once

#include "app/Broker.h"

// Rows 1 to 7: packages, found by a name pattern.
struct PackageRow {
    const char* pattern;
    bool (TEBroker::*handler)(const std::string& path);
};

// Rows 8 to 18: queries, found by a fixed file name.
struct QueryRow {
    const char* name;
    void (TEBroker::*handler)();
};

inline constexpr PackageRow kPackageRows[] = {
    {"MODIPARTENER_*.TXT", &TEBroker::ServeModiPartener},
    {"PARTENER_*.TXT", &TEBroker::ServePartener},
    {"ARTICOL_*.TXT", &TEBroker::ServeArticol},
    {"COMANDA_*.TXT", &TEBroker::ServeComanda},
    {"COMANDAFURN_*.TXT", &TEBroker::ServeComandaFurn},
    {"FACTURA_*.TXT", &TEBroker::ServeFactura},
    {"FACTURAFURN_*.TXT", &TEBroker::ServeFacturaFurn},
};

inline constexpr QueryRow kQueryRows[] = {
    {"GETSTOC.TXT", &TEBroker::ServeGetStoc},
    {"GETPRETACHIZSTOC.TXT", &TEBroker::ServeGetPretAchizStoc},
    {"GETINFOART.TXT", &TEBroker::ServeGetInfoArt},
    {"GETPRETART.TXT", &TEBroker::ServeGetPretArt},
    {"GETLISTAGESTIUNI.TXT", &TEBroker::ServeGetListaGestiuni},
    {"GETLISTAPARTENERI.TXT", &TEBroker::ServeGetListaParteneri},
    {"GETINFOCMDBON.TXT", &TEBroker::ServeGetInfoCmdBon},
    {"GETSTOCARTICOL.TXT", &TEBroker::ServeGetStocArticol},
    {"GETINFOCMDBONURI.TXT", &TEBroker::ServeGetInfoCmdBonuri},
    {"GETINCASARILUNA.TXT", &TEBroker::ServeGetIncasariLuna},
    {"GETFACTURICMDONLINE.TXT", &TEBroker::ServeGetFacturiCmdOnline},
};
