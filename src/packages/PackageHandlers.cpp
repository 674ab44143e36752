// Package handlers (being built).
#include "app/Broker.h"

bool TEBroker::WaitOpenPackage(const std::string&, PackageKind) { return false; }
bool TEBroker::ServeComanda(const std::string&) { return false; }
bool TEBroker::ServeComandaFurn(const std::string&) { return false; }
bool TEBroker::ServeFactura(const std::string&) { return false; }
bool TEBroker::ServeFacturaFurn(const std::string&) { return false; }
bool TEBroker::ServePartener(const std::string&) { return false; }
bool TEBroker::ServeModiPartener(const std::string&) { return false; }
bool TEBroker::ServeArticol(const std::string&) { return false; }
