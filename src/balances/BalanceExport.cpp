// The operator's export of partner balances (being built).
#include "app/Broker.h"

void TEBroker::ImportSolduriClick() {}
