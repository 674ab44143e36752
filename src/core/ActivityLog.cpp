// The activity log: every line goes to the front end (the window's view) and to LOG.TXT
// in the working directory.
#include "base/FileSystem.h"
#include "core/Broker.h"

namespace {

constexpr char kLinePrefix[] = "Ver. 3.1 -  ";

}  // namespace

void TEBroker::LogMessage(const std::string& text) {
    std::string line = kLinePrefix + text;
    FLogText.append(line).append("\r\n");
    if (FFrontEnd) FFrontEnd->LineLogged(line);
    if (!DirectoryExists(FWorkDir)) {
        FLogFile.Forget();
        return;
    }
    FLogFile.Save(FWorkDir + "\\LOG.TXT", FLogText);
}

void TEBroker::LogStamped(std::string_view text) { LogMessage(TimeStamp().append(text)); }

void TEBroker::LogErrorLine(const std::string& text) noexcept {
    try {
        LogStamped(" ... " + text);
    } catch (...) {
        // Nothing more to tell it with.
    }
}
