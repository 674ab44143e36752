// The expected request kinds by name, and the service's own rows by name.
#include "support/RequestKinds.h"

#include <stdexcept>

#include "queries/QueryKinds.h"

namespace {

template <class Kind, class Range>
const Kind& Named(const Range& kinds, std::string_view name, const char* Kind::*field) {
    for (const Kind& kind : kinds)
        if (kind.*field == name) return kind;
    throw std::invalid_argument("no request kind " + std::string(name));
}

}  // namespace

const ExpectedPackage& ExpectedPackageKind(std::string_view prefix) {
    return Named(kExpectedPackages, prefix, &ExpectedPackage::prefix);
}

const ExpectedQuery& ExpectedQueryKind(std::string_view request) {
    return Named(kExpectedQueries, request, &ExpectedQuery::request);
}

std::vector<ExpectedPackage> ExpectedPackages(bool documents) {
    std::vector<ExpectedPackage> kinds;
    for (const ExpectedPackage& kind : kExpectedPackages)
        if (kind.Documents() == documents) kinds.push_back(kind);
    return kinds;
}

std::vector<ExpectedQuery> PlainQueries() {
    std::vector<ExpectedQuery> kinds;
    for (const ExpectedQuery& kind : kExpectedQueries)
        if (kind.plain) kinds.push_back(kind);
    return kinds;
}

const QueryKind& ServiceQueryKind(std::string_view request) {
    for (const QueryKind& kind : kQueryKinds)
        if (kind.request == request) return kind;
    throw std::invalid_argument("the service has no query " + std::string(request));
}
