// The server's error list, reported to the log, to the error file, or both.
#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "log/ErrorFileName.h"
#include "server/ServerList.h"

std::string TEBroker::ErrorFileSuffix() const { return ErrorFileSuffixFor(FPrefixErrors, FCurrentRequest); }

// The listing admits only names that the service's encoding spells, so the request's 8-bit name
// leads back to the name the directory gave.
std::wstring TEBroker::ErrorFilePath() const {
    return FWorkDir + L"\\" + Wide(ErrorFileName(FPrefixErrors, FCurrentRequest));
}

void TEBroker::ReportServerErrors(bool toLog, bool toFile) {
    FRefused = true;
    UniqueVariant list;
    CheckServer(Server()->GetListaErori(list.addressof()));
    ServerList errors = ReadServerList(list.get());
    if (!errors.isArray) return;
    if (toLog)
        for (const std::string& line : errors.lines) LogMessage(line);
    if (toFile) WriteListed(ErrorFilePath(), JoinLines(errors.lines));
}
