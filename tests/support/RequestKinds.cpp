// The expected query kinds by name.
#include "support/RequestKinds.h"

#include <stdexcept>

const ExpectedQuery& ExpectedQueryKind(std::string_view request) {
    for (const ExpectedQuery& kind : kExpectedQueries)
        if (kind.request == request) return kind;
    throw std::invalid_argument("no request kind " + std::string(request));
}
