// The one-second poll cycle (being built).
#include "app/Broker.h"

void TEBroker::TimerTimer() {}
void TEBroker::RunEmergencyScript() {}
void TEBroker::SetAsideFailedPackage(const std::string&) {}
