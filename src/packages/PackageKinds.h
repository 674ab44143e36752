// The package kinds, one row each, in the order one tick looks for them: the first row
// that finds a package takes the tick. Adding a kind is one row here, plus a handler of
// its own where neither handler below fits.
#pragma once

#include <string_view>

#include "core/Broker.h"
#include "server/Tallyport.h"

using GenerateCall = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(LONG* ok);
using CountCall = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(LONG* count);
using RecordCall = HRESULT (STDMETHODCALLTYPE ITallyportObject::*)(BSTR record, LONG* ok);

// How a kind's files are found, who serves them, what is logged and which server methods
// are called. A field its handler does not use stays empty.
struct PackageKind {
    std::string_view pattern;  // "*" stands for any run of characters
    bool (TEBroker::*serve)(const std::wstring& path, const PackageKind& kind) = nullptr;
    const char* opened = nullptr;     // logged after a time stamp once the package can be read
    const char* notOpened = nullptr;  // logged instead when its writer held it through the wait

    // Document packages: the documents are generated, then counted for the log.
    GenerateCall generate = nullptr;
    CountCall count = nullptr;
    const char* countText = nullptr;  // logged after the count

    // Master-data packages: the first line is the record; logged when it is taken.
    RecordCall send = nullptr;
    const char* acceptedText = nullptr;
};

namespace package_texts {
constexpr char kOpenedOrders[] = " ... Deschid pachetul cu comenzi";
constexpr char kNotOpenedOrders[] = " ... Nu pot deschide pachetul cu comenzi";
constexpr char kOpenedPartner[] = " ... Deschid pachetul cu informatii partener";
constexpr char kNotOpenedPartner[] = " ... Nu pot deschide pachetul cu informatii partener";
}  // namespace package_texts

inline constexpr PackageKind kPackageKinds[] = {
    {.pattern = "MODIPARTENER_*.TXT",
     .serve = &TEBroker::ServeRecordPackage,
     .opened = package_texts::kOpenedPartner,
     .notOpened = package_texts::kNotOpenedPartner,
     .send = &ITallyportObject::ModiPartener,
     .acceptedText = "Partener modificat !"},
    {.pattern = "PARTENER_*.TXT",
     .serve = &TEBroker::ServeRecordPackage,
     .opened = package_texts::kOpenedPartner,
     .notOpened = package_texts::kNotOpenedPartner,
     .send = &ITallyportObject::AddPartener,
     .acceptedText = "Partener nou generat !"},
    {.pattern = "ARTICOL_*.TXT",
     .serve = &TEBroker::ServeRecordPackage,
     .opened = " ... Deschid pachetul cu informatii articol",
     .notOpened = " ... Nu pot deschide pachetul cu informatii articol",
     .send = &ITallyportObject::AddArticol,
     .acceptedText = "Articol nou generat !"},
    {.pattern = "COMANDA_*.TXT",
     .serve = &TEBroker::ServeDocumentPackage,
     .opened = package_texts::kOpenedOrders,
     .notOpened = package_texts::kNotOpenedOrders,
     .generate = &ITallyportObject::GenComenzi,
     .count = &ITallyportObject::GetNrComenzi,
     .countText = " comenzi in baza de date "},
    {.pattern = "COMANDAFURN_*.TXT",
     .serve = &TEBroker::ServeDocumentPackage,
     .opened = package_texts::kOpenedOrders,
     .notOpened = package_texts::kNotOpenedOrders,
     .generate = &ITallyportObject::GenComenziFurnizori,
     .count = &ITallyportObject::GetNrComenziFurnizori,
     .countText = " comenzi furnizori in baza de date "},
    {.pattern = "FACTURA_*.TXT",
     .serve = &TEBroker::ServeDocumentPackage,
     .opened = " ... Deschid pachetul cu facturi",
     .notOpened = " ... Nu pot deschide pachetul cu facturii",
     .generate = &ITallyportObject::GenFacturi,
     .count = &ITallyportObject::GetNrFacturi,
     .countText = " facturi in baza de date "},
    {.pattern = "FACTURAFURN_*.TXT",
     .serve = &TEBroker::ServeDocumentPackage,
     .opened = " ... Deschid pachetul cu facturi furnizori",
     .notOpened = " ... Nu pot deschide pachetul cu facturii furnizori",
     .generate = &ITallyportObject::GenFacturiFurnizori,
     .count = &ITallyportObject::GetNrFacturiFurnizori,
     .countText = " facturi furnizori in baza de date "},
};

// The row of a pattern; a pattern missing from the table does not compile.
consteval const PackageKind& PackageKindOf(std::string_view pattern) {
    for (const PackageKind& kind : kPackageKinds)
        if (kind.pattern == pattern) return kind;
    throw "no such package kind";
}
