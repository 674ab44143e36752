// With "RaspunsImediat", a watch on the working directory lets the front end's message loop
// tick as soon as a request arrives, besides the one-second timer.
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "core/Broker.h"

namespace {

// A file created, renamed into the directory or written to: what a writer does to a
// request, and what the service's own writes do too. The latter cost one more tick at most,
// which serves nothing and so asks for no further tick.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

// A watch follows the directory it was set on, also when that is renamed away: every few
// seconds the working directory's name is checked to still lead there.
constexpr ULONGLONG kNameCheckMs = 3000;

}  // namespace

// Called by each tick that found the directory. While the directory is gone there is no
// watch (the outage drops it): the once-a-second tick logs the outage and starts the
// emergency script as it does without the setting; the watch is made anew when it returns.
void TEBroker::KeepWatch() {
    if (!FImmediate) return;
    if (FWatch.valid() && UptimeMs() >= FWatchCheckAt) {
        FWatchCheckAt = UptimeMs() + kNameCheckMs;
        if (!(DirectoryIdentity(FWorkDir) == FWatchedDir)) FWatch.reset();
    }
    if (FWatch.valid()) return;
    FWatch.reset(FindFirstChangeNotificationW(Wide(FWorkDir).c_str(), FALSE, kChanges));
    FWatchedDir = DirectoryIdentity(FWorkDir);
    FWatchCheckAt = UptimeMs() + kNameCheckMs;
    if (FWatch.valid() || FWatchFailedLogged) return;
    FWatchFailedLogged = true;  // some network shares cannot be watched
    LogStamped(" ... Directorul de lucru nu poate fi urmarit; cererile sunt cautate o data pe secunda");
}

void TEBroker::DirectoryChanged() {
    if (FWatch.valid() && !FindNextChangeNotification(FWatch.get())) FWatch.reset();
    Tick(TickCause::Change);
}
