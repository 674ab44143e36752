// The server's error list, reported to the log, to the error file, or both.
#include "core/Broker.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "log/ErrorFileName.h"
#include "server/ServerList.h"

std::string TEBroker::ErrorFileSuffix() const { return ErrorFileSuffixFor(FPrefixErrors, FCurrentRequest); }

std::wstring TEBroker::ErrorFilePath() const {
    return FWorkDir + L"\\" + ErrorFileName(FPrefixErrors, std::wstring_view(FCurrentName));
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
