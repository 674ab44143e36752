// With "RaspunsImediat", a watch on the working directory lets the front end's message loop
// tick as soon as a request arrives, besides the one-second timer.
#include <map>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "core/Broker.h"
#include "log/LogHistory.h"
#include "polling/NameMatch.h"
#include "queries/QueryKinds.h"
#include "watch/StatusFile.h"

namespace {

// A name only the service writes: LOG.TXT, STARE.TXT, the journal, answers, error files and
// packages set aside, with the temporary names they are written under; LOGURI's own files are
// in a folder the watch does not look into. None of them is ever a request.
bool IsOwnFileName(std::wstring_view name) {
    constexpr std::string_view kTemp = ".~TMP";
    if (name.size() > kTemp.size() && NameEndsWith(name, kTemp)) name.remove_suffix(kTemp.size());
    if (IsErrorFileName(name) || (name.size() > 4 && NameEndsWith(name, ".ERR"))) return true;
    for (std::string_view own : {std::string_view(kLogFileName), std::string_view(kStatusFileName),
                                 std::string_view(kJournalFileName), std::string_view("SOLDURI.TXT")})
        if (NameIs(name, own)) return true;
    for (const QueryKind& query : kQueryKinds)
        if (NameIs(name, query.result)) return true;
    return false;
}

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
    if (FWatch.Open(FWorkDir)) ++FWatchOpened;
    FWatchedDir = DirectoryIdentity(FWorkDir);
    FWatchCheckAt = UptimeMs() + kNameCheckMs;
    if (FWatch.valid() || FWatchFailedLogged) return;
    FWatchFailedLogged = true;  // some network shares cannot be watched
    LogStamped(" ... Directorul de lucru nu poate fi urmarit; cererile sunt cautate o data pe secunda");
}

void TEBroker::DirectoryChanged() {
    if (RequestChanged()) Tick(TickCause::Change);
}

// Whether the changes recorded since the last look may bring a request: a name that is not one
// of the service's own was added, renamed in or written to, and is still there at the end of
// what was recorded. The service's own writes (LOG.TXT, answers, error files, STARE.TXT, the
// journal, LOGURI) and whatever was removed wake no tick, and a request written in several
// steps wakes one. Changes lost to an overflow, or a watch that failed, wake one: the tick
// lists the directory afresh.
bool TEBroker::RequestChanged() {
    if (!FWatch.valid()) return false;
    std::map<std::wstring, bool> arrived;  // by upper-case name: there after its last change
    bool listingStale = false;
    const ChangeWatch::Taken taken = FWatch.Take([&](DWORD action, std::wstring_view name) {
        if (IsOwnFileName(name)) return;
        const bool there = action == FILE_ACTION_ADDED || action == FILE_ACTION_MODIFIED ||
                           action == FILE_ACTION_RENAMED_NEW_NAME;
        arrived[UpperAscii(name)] = there;
        // A file the kept listing still shows was removed from outside: the listing is stale.
        if (!there && FListing.Find(name)) listingStale = true;
    });
    if (taken != ChangeWatch::Taken::Changes) {
        if (taken != ChangeWatch::Taken::None) FListingWatched = 0;
        return taken != ChangeWatch::Taken::None;
    }
    bool request = false;
    for (const auto& [key, there] : arrived) request = request || there;
    if (request || listingStale) FListingWatched = 0;
    return request;
}

// A tick at once after a served request serves from the last tick's listing while the watch
// that was set before it was taken has seen nothing but the service's own writes since: a
// backlog then costs no listing a request. Anything else, and the timer's tick, lists afresh.
bool TEBroker::ListingStillHolds() {
    if (!std::exchange(FMayReuseListing, false) || FListingWatched == 0 || !FWatch.valid() ||
        FListingWatched != FWatchOpened)
        return false;
    RequestChanged();  // what has come since, taken now
    return FListingWatched != 0;
}
