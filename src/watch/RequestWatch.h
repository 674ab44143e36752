// A thread beside the message loop that sees what the loop's own thread cannot while a
// server call does not return: how long the request in hand has been in hand, and a stop
// that it holds up. It writes the status file, records in the Event Log and, when a stop
// is overdue, ends the process through the front end's function; it never calls into the
// service's work. The loop's thread tells it what is in hand in one call at the start and
// one at the end of each request.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/EventLog.h"
#include "base/Owners.h"
#include "base/TimeStamp.h"

// How a request in hand ended, for the status file's counts.
enum class RequestOutcome { Served, Failed, NotCounted };

class RequestWatch {
public:
    struct Limits {
        ULONGLONG statusEveryMs = 10000;  // the status file is written at least this often
        ULONGLONG noticeInHandMs = 1000;  // and once a request has been in hand this long
        ULONGLONG stopLimitMs = 60000;    // a stop waits this long for the request in hand
    };
    // What the thread is given when it starts.
    struct Setup {
        std::string version;
        std::string form;                  // "fereastra" or "serviciu"
        LocalTime (*clock)() = nullptr;    // the local time now, safe on any thread
        EventLog* events = nullptr;        // safe on any thread
        void (*stopOverdue)() = nullptr;   // ends the process; runs on the watch's thread
    };

    RequestWatch() = default;
    ~RequestWatch() { Stop(); }
    RequestWatch(const RequestWatch&) = delete;
    RequestWatch& operator=(const RequestWatch&) = delete;

    Limits limits;  // set before Start

    // From the loop's thread: the thread's start and its end (joined at once), whose last
    // status file says that the program has stopped; the working directory that the status
    // file goes to, while it exists, and after how many seconds in hand an alert is raised
    // (0: never).
    void Start(const Setup& setup);
    void Stop();
    void Configure(const std::wstring& workDir, int alertSeconds);

    // From the loop's thread, around each request, the export and start-up's server steps.
    void Begin(std::string_view what);
    void End(RequestOutcome outcome);
    void ServerSteps(bool ready);              // they succeeded, or failed
    void ServerOccupied(bool occupied);        // a call was refused for now, or a request ended otherwise
    void ErrorReported(const std::string& text);

    // From any thread: a stop was asked for; from now on the process ends once what is in
    // hand has held it up for limits.stopLimitMs in all.
    void StopAsked();
    // From the loop's thread: nothing is in hand and the orderly stop begins; it gets
    // limits.stopLimitMs of its own.
    void Closing();

    // Tells the watch what is in hand for as long as it lives; a request counts as failed
    // unless told otherwise, so that one whose handler raised is counted as such.
    class InHand {
    public:
        InHand(RequestWatch& watch, std::string_view what, RequestOutcome outcome = RequestOutcome::Failed)
            : watch_(watch), outcome_(outcome) {
            watch_.Begin(what);
        }
        ~InHand() { watch_.End(outcome_); }
        InHand(const InHand&) = delete;
        InHand& operator=(const InHand&) = delete;
        void Ended(RequestOutcome outcome) { outcome_ = outcome; }

    private:
        RequestWatch& watch_;
        RequestOutcome outcome_;
    };

private:
    // What the loop's thread tells, copied by the watch's thread under the lock.
    struct Shared {
        std::wstring workDir;
        ULONGLONG alertMs = 0;
        std::string inHand;
        std::string inHandSince;
        ULONGLONG inHandAt = 0;
        uint64_t inHandSerial = 0;  // which request: each is noticed and alerted once
        bool serverReady = false;
        ULONGLONG occupiedSince = 0;  // 0: the server took the last call it was given
        bool rewrite = true;        // something the status file must show at once
        uint64_t served = 0, failed = 0;
        std::string lastError;
        ULONGLONG stopAskedAt = 0;  // 0: no stop asked for
        ULONGLONG stopHeldMs = 0;   // how long requests that ended held up the stop
        ULONGLONG closingAt = 0;    // 0: the orderly stop has not begun
    };

    void Run();
    Shared Take();
    static ULONGLONG StopHeld(const Shared& state, ULONGLONG now);
    bool WriteStatus(const Shared& state, ULONGLONG now, bool hung, bool occupied, const std::string& stopped = {});
    void GiveUp(const Shared& state);
    std::string Stamp() const;

    Setup setup_;
    std::string started_;
    std::mutex lock_;
    Shared shared_;
    UniqueHandle wake_;  // auto-reset: something to look at now
    UniqueHandle quit_;  // manual-reset: the thread ends
    std::thread thread_;
};
