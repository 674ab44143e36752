// A thread beside the message loop: the status file, the alert of a request in hand too
// long, and the end of a stop that the request in hand holds up.
#include "watch/RequestWatch.h"

#include <algorithm>
#include <utility>

#include "base/FileSystem.h"
#include "base/LocalClock.h"
#include "watch/StatusFile.h"

namespace {

constexpr char kServerMissing[] = "Serverul de documente nu este disponibil";
constexpr char kServerOccupied[] = "Serverul de documente este ocupat";

// "1 secunda", "19 secunde", "20 de secunde", "101 secunde".
std::string Seconds(ULONGLONG ms) {
    const ULONGLONG seconds = ms / 1000;
    if (seconds == 1) return "1 secunda";
    return std::to_string(seconds) + (seconds % 100 >= 1 && seconds % 100 <= 19 ? " secunde" : " de secunde");
}

}  // namespace

void RequestWatch::Start(const Setup& setup) {
    if (thread_.joinable()) return;
    setup_ = setup;
    started_ = Stamp();
    quit_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    {
        std::lock_guard<std::mutex> hold(lock_);  // a control thread may wake it already
        wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    }
    thread_ = std::thread([this] { Run(); });
}

void RequestWatch::Stop() {
    if (!thread_.joinable()) return;
    SetEvent(quit_.get());
    thread_.join();
    const Shared state = Take();
    WriteStatus(state, GetTickCount64(), false, false, Stamp());
}

void RequestWatch::Configure(const std::wstring& workDir, int alertSeconds) {
    std::lock_guard<std::mutex> hold(lock_);
    shared_.workDir = workDir;
    shared_.alertMs = ULONGLONG(alertSeconds) * 1000;
    shared_.rewrite = true;
    if (wake_) SetEvent(wake_.get());
}

void RequestWatch::Begin(std::string_view what) {
    std::string since = Stamp();
    std::lock_guard<std::mutex> hold(lock_);
    shared_.inHand = what;
    shared_.inHandSince = std::move(since);
    shared_.inHandAt = GetTickCount64();
    ++shared_.inHandSerial;
    if (wake_) SetEvent(wake_.get());  // to notice it once it has been in hand a while
}

void RequestWatch::End(RequestOutcome outcome) {
    std::lock_guard<std::mutex> hold(lock_);
    if (shared_.stopAskedAt) shared_.stopHeldMs = StopHeld(shared_, GetTickCount64());
    shared_.inHand.clear();
    shared_.inHandSince.clear();
    if (outcome == RequestOutcome::Served) ++shared_.served;
    if (outcome == RequestOutcome::Failed) ++shared_.failed;
    if (wake_) SetEvent(wake_.get());  // a status file that shows the request is put right at once
}

void RequestWatch::ServerSteps(bool ready) {
    std::lock_guard<std::mutex> hold(lock_);
    shared_.serverReady = ready;
    shared_.rewrite = true;
    if (wake_) SetEvent(wake_.get());
}

void RequestWatch::ServerOccupied(bool occupied) {
    std::lock_guard<std::mutex> hold(lock_);
    if (occupied == (shared_.occupiedSince != 0)) return;
    shared_.occupiedSince = occupied ? std::max<ULONGLONG>(GetTickCount64(), 1) : 0;
    shared_.rewrite = true;
    if (wake_) SetEvent(wake_.get());  // to raise the alert once the server has been occupied too long
}

void RequestWatch::ErrorReported(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock_);
    shared_.lastError = text;
}

void RequestWatch::StopAsked() {
    std::lock_guard<std::mutex> hold(lock_);
    if (shared_.stopAskedAt == 0) shared_.stopAskedAt = std::max<ULONGLONG>(GetTickCount64(), 1);
    if (wake_) SetEvent(wake_.get());
}

void RequestWatch::Closing() {
    std::lock_guard<std::mutex> hold(lock_);
    shared_.closingAt = std::max<ULONGLONG>(GetTickCount64(), 1);
    if (wake_) SetEvent(wake_.get());
}

// Only what is in hand holds up a stop: the time from the stop, or from the request's
// start after it, to the request's end counts; the orderly stop counts from its start.
ULONGLONG RequestWatch::StopHeld(const Shared& state, ULONGLONG now) {
    if (state.closingAt) return now - state.closingAt;
    if (!state.stopAskedAt || state.inHand.empty()) return state.stopHeldMs;
    return state.stopHeldMs + now - std::max(state.inHandAt, state.stopAskedAt);
}

RequestWatch::Shared RequestWatch::Take() {
    std::lock_guard<std::mutex> hold(lock_);
    Shared state = shared_;
    shared_.rewrite = false;
    return state;
}

// The log's time stamp without the blank that separates it from a log line's text.
std::string RequestWatch::Stamp() const {
    std::string stamp = LocalTimeStamp(setup_.clock ? setup_.clock() : SystemLocalTime());
    stamp.pop_back();
    return stamp;
}

// Each round looks at a copy of what the loop's thread told, acts on what is due, and
// sleeps until the next thing can be due, or until it is told something new.
void RequestWatch::Run() {
    ULONGLONG lastWrite = 0;
    uint64_t noticed = 0, alerted = 0, shown = 0;  // shown: the request the file names
    bool occupiedShown = false;
    for (;;) {
        const Shared state = Take();
        const ULONGLONG now = GetTickCount64();
        const bool inHand = !state.inHand.empty();
        const ULONGLONG held = inHand ? now - state.inHandAt : 0;
        bool write = state.rewrite || lastWrite == 0 || now - lastWrite >= limits.statusEveryMs ||
                     (!inHand && shown != 0);
        if (inHand && held >= limits.noticeInHandMs && noticed != state.inHandSerial) {
            noticed = state.inHandSerial;
            write = true;
        }
        const bool hung = inHand && state.alertMs && held >= state.alertMs;
        if (hung && alerted != state.inHandSerial) {
            alerted = state.inHandSerial;
            setup_.events->Report(EventKind::Warning, "In lucru de " + Seconds(held) + ": " + state.inHand +
                                                          " (de la " + state.inHandSince +
                                                          "); serverul de documente nu raspunde");
            write = true;
        }
        const ULONGLONG occupiedFor = state.occupiedSince ? now - state.occupiedSince : 0;
        const bool occupied = state.occupiedSince && state.alertMs && occupiedFor >= state.alertMs;
        write = write || occupied != occupiedShown;
        occupiedShown = occupied;
        if (write && WriteStatus(state, now, hung, occupied)) {
            lastWrite = now;
            shown = inHand ? state.inHandSerial : 0;
        }
        const bool stopping = state.stopAskedAt || state.closingAt;
        const ULONGLONG stopHeld = StopHeld(state, now);
        if (stopping && stopHeld >= limits.stopLimitMs) {
            GiveUp(state);
            return;
        }
        // The next moment something can fall due; a failed write is tried again within a second.
        ULONGLONG wait = write && lastWrite != now ? 1000 : limits.statusEveryMs - (now - lastWrite);
        if (inHand && noticed != state.inHandSerial) wait = std::min(wait, limits.noticeInHandMs - held);
        if (inHand && state.alertMs && alerted != state.inHandSerial) wait = std::min(wait, state.alertMs - held);
        if (stopping && (inHand || state.closingAt)) wait = std::min(wait, limits.stopLimitMs - stopHeld);
        if (state.occupiedSince && state.alertMs && !occupied) wait = std::min(wait, state.alertMs - occupiedFor);
        const HANDLE events[] = {quit_.get(), wake_.get()};
        if (WaitForMultipleObjects(2, events, FALSE, DWORD(wait)) == WAIT_OBJECT_0) return;
    }
}

bool RequestWatch::WriteStatus(const Shared& state, ULONGLONG now, bool hung, bool occupied,
                               const std::string& stopped) {
    if (!DirectoryExists(state.workDir)) return true;  // a directory not set, or gone: nobody to tell
    ServiceStatus status{setup_.version, setup_.form, started_, Stamp(), state.serverReady, state.inHand,
                         state.inHandSince, state.served, state.failed, state.lastError, {}};
    status.stopped = stopped;
    if (hung) status.alert = "In lucru de " + Seconds(now - state.inHandAt) + ": " + state.inHand;
    for (const char* alert : {occupied ? kServerOccupied : nullptr, state.serverReady ? nullptr : kServerMissing})
        if (alert) status.alert += (status.alert.empty() ? "" : "; ") + std::string(alert);
    try {
        WriteFileReplacing(state.workDir + L"\\" + WideAscii(kStatusFileName), FormatStatusFile(status));
        return true;
    } catch (const std::exception&) {
        return false;  // the working directory may be gone for a while
    }
}

// The request in hand never returned: the journal on the disk holds it already, so the
// next start sets it aside instead of handing it over again.
void RequestWatch::GiveUp(const Shared& state) {
    const std::string what = state.inHand.empty() ? std::string("oprirea") : state.inHand + " (de la " +
                                                                                  state.inHandSince + ")";
    setup_.events->Report(EventKind::Error, "VQBroker se opreste fara sa mai astepte: dupa " +
                                                Seconds(limits.stopLimitMs) + " nu s-a terminat " + what);
    WriteStatus(state, GetTickCount64(), false, false, Stamp());
    if (setup_.stopOverdue) setup_.stopOverdue();
}
