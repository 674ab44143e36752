// Query handlers (being built).
#include "app/Broker.h"

void TEBroker::ServeGetStoc() {}
void TEBroker::ServeGetPretAchizStoc() {}
void TEBroker::ServeGetInfoArt() {}
void TEBroker::ServeGetPretArt() {}
void TEBroker::ServeGetListaGestiuni() {}
void TEBroker::ServeGetListaParteneri() {}
void TEBroker::ServeGetInfoCmdBon() {}
void TEBroker::ServeGetStocArticol() {}
void TEBroker::ServeGetInfoCmdBonuri() {}
void TEBroker::ServeGetIncasariLuna() {}
void TEBroker::ServeGetFacturiCmdOnline() {}
