// The expected query kinds and the service's own rows, by name.
#include "support/RequestKinds.h"

#include <stdexcept>

#include "queries/QueryKinds.h"

const ExpectedQuery& ExpectedQueryKind(std::string_view request) {
    for (const ExpectedQuery& kind : kExpectedQueries)
        if (kind.request == request) return kind;
    throw std::invalid_argument("no request kind " + std::string(request));
}

const QueryKind& ServiceQueryKind(std::string_view request) {
    for (const QueryKind& kind : kQueryKinds)
        if (kind.request == request) return kind;
    throw std::invalid_argument("the service has no query " + std::string(request));
}
