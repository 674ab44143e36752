// The service object: the service state shared by every handler, the handlers, and the
// few entry points that a front end (the operator's window, the service host) drives. It
// creates no window and shows no box: what it has to say goes to the front end it is given
// and to the Event Log. Members are declared in blocks, each headed by the file that
// implements them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/ChangeWatch.h"
#include "base/DayShift.h"
#include "base/EventLog.h"
#include "base/FileSystem.h"
#include "base/Owners.h"
#include "base/Text.h"
#include "base/TimeStamp.h"
#include "base/TraceFile.h"
#include "core/FrontEnd.h"
#include "journal/PackageJournal.h"
#include "log/LogStore.h"
#include "polling/WorkListing.h"
#include "server/ServerFaults.h"
#include "server/Tallyport.h"
#include "watch/RequestWatch.h"

struct PackageKind;     // one row of the package kinds (packages/PackageKinds.h)
class PackageLines;     // a package's lines (packages/PackageText.h)
struct QueryKind;       // one row of the query kinds (queries/QueryKinds.h)
struct QueryParameter;  // what a query's request file gives

class TEBroker {
public:
    // ---- core/Broker.cpp: the entry points, start-up and closing
    TEBroker();
    ~TEBroker();
    TEBroker(const TEBroker&) = delete;
    TEBroker& operator=(const TEBroker&) = delete;

    // Every entry point runs on the thread that made the object (COM's apartment); none
    // raises: an error goes to the Event Log and to the front end's ErrorLeft.
    void AttachFrontEnd(BrokerFrontEnd* frontEnd) { FFrontEnd = frontEnd; }
    void Start();  // the request watch, then FormCreate held busy against a stop
    // TimerTimer. A tick woken by a change in the working directory serves nothing while
    // the last tick left its request in place: that request waits for the timer.
    // A tick that comes at once after a served request (TickDue) may serve from the last
    // tick's listing, kept up to date by the watch; the timer's always lists afresh.
    enum class TickCause { Timer, Change, Again };
    void Tick(TickCause cause = TickCause::Timer);
    void ExportBalances();  // ImportSolduriClick
    // With "RaspunsImediat": the handle that is signalled when the working directory
    // changes (null while there is no watch), and whether the last tick served a request
    // so that the next is due at once. Off, neither ever asks for a tick.
    HANDLE ChangeEvent() const { return FWatch.valid() ? FWatch.get() : nullptr; }
    void DirectoryChanged();  // the change event was signalled: a tick if a request came
    bool TickDue() const { return FTickAgain; }
    // True when nothing is in hand and the front end may call Stop at once; otherwise
    // the request or export in hand finishes first, nothing else is served, and the
    // front end's StopReady follows. The request watch ends the process when the stop
    // is still not done a minute later.
    bool RequestStop();
    bool StopRequested() const { return FStopRequested; }
    void Stop();  // FormClose and FormDestroy; the server is released

    void FormCreate();
    void FormClose();
    void FormDestroy();

private:
    template <class Handler>
    void RunHandler(Handler handler);
    // logged: LOG.TXT has the text already, in both forms.
    void ReportError(const std::string& text, EventKind kind = EventKind::Error, bool logged = false);

    // What a handler raises for the log to show in both forms, its request named: logged and
    // reported once the request is no longer in hand.
    struct RequestWarning : BrokerError {
        RequestWarning(const std::string& text, EventKind kind) : BrokerError(text), kind(kind) {}
        EventKind kind;
    };

    BrokerFrontEnd* FFrontEnd = nullptr;
    bool FStopRequested = false;  // a stop arrived: no request is served from then on
    // What the running tick did with the request it served.
    enum class Served { Nothing, Disposed, LeftInPlace, Redone } FServedInTick = Served::Nothing;
    bool FLeftInPlace = false;    // the last tick served a request that is still there
    TraceFile FRequestTrace{L"RequestTrace"};  // each request's own time, for the benchmark
    bool FTickAgain = false;      // with "RaspunsImediat", the next tick is due at once

public:
    // ---- watch/RequestWatch.cpp: the status file, a request in hand too long, a stop
    // held up; thread-safe, so a front end may tell it of a stop from another thread
    RequestWatch FRequestWatch;

public:
    // ---- polling/DirectoryWatch.cpp: a tick as soon as a request arrives ("RaspunsImediat")
    void KeepWatch();  // sets the watch up, once the tick has found the directory

private:
    bool RequestChanged();
    bool ListingStillHolds();

    ChangeWatch FWatch;
    unsigned FWatchOpened = 0;      // how many times the watch was made: a new one missed what came between
    FileIdentity FWatchedDir;      // the directory the watch was set on
    ULONGLONG FWatchCheckAt = 0;   // when the working directory's name is next checked
    bool FWatchFailedLogged = false;

public:
    // ---- core/LoadSettings.cpp
    void LoadSettings();

    // ---- core/Clock.cpp: what today is, the time stamp that begins most log lines, and
    // the milliseconds since the machine started, for intervals
    LocalTime Now() const;
    std::string TimeStamp() const;
    ULONGLONG UptimeMs() const;
    // A file the service failed to save (LOG.TXT, the journal) waits this long for its next try.
    static constexpr ULONGLONG kSaveRetryMs = 1000;

private:
    mutable DayShift FDayShift{L"ClockDays"};  // days a benchmark adds to the clock; off unless set

public:
    // ---- core/ServerSteps.cpp: start-up's server steps, as a whole or not at all, tried
    // again while they fail; a failing server call raised as a ServerCallError
    void ConnectServer();
    bool ServerReady();  // false while requests must wait for the server
    // The server for a call about to be made. A call may last, and the window shows no new
    // line while it waits: what was logged before it reaches LOG.TXT and is shown first.
    ITallyportObject* Server();
    void CheckServer(HRESULT hr);
    // The one call of a package that changes the books, once it has returned: its status and ok.
    void CheckBooksCall(HRESULT hr, LONG ok);

private:
    struct ServerFailure;
    ServerFailure RunServerSteps();
    ServerFailure CompanyRefused();
    void ServerStepsFailed(const ServerFailure& failure);
    void ServerStepsSucceeded();
    void ShowServerFailure();  // once start-up or a retry no longer holds the service busy
    void ReleaseServerIfGone();

    ULONGLONG FServerRetryAt = 0;  // when the server steps are tried again
    ComRef<ITallyportObject> FServerWaiting;  // made, but occupied when its steps ran
    std::string FServerFailure;    // the failure of the server steps reported last
    std::string FServerFailureToShow;  // its text, for the front end's box or line
    bool FServerGone = false;      // a call found the server gone: it is made anew
    bool FServerPaced = false;     // released after a fault: the next is made a second later
    bool FNoServerLogged = false;  // the wait for the server has been logged in this outage

public:
    // ---- core/RequestFate.cpp: what a failing server call makes of the request in hand (the
    // rules of server/ServerFaults.h): a request of which nothing can have reached the books
    // stays in place for the next tick, one whose documents may be there is set aside, and one
    // that the books accepted is served. A request's tries and its occupied server's wait are
    // its own, forgotten once it has gone.
    void BeginRequest(std::string_view name);  // before its first server call
    // In the catch of the request's handler: the rule for the error being handled; a redo is
    // counted and logged, and a server found gone is released.
    FaultRule RequestFailed();
    void RequestDone();  // its handler returned: a server found gone meanwhile is released
    FaultRule RuleOf(const ServerCallError& error) const;
    void ForgetGoneRequests();  // each tick: the tries of requests no longer there
    bool RedoRecordCleared();   // false while nothing may be served (a redone package's record stands)
    static constexpr char kExportInHand[] = "export solduri";

private:
    void PackageFailed(const std::wstring& name, RequestWatch::InHand& inHand);
    void SetAsideRaisedPackage(const std::wstring& name, bool mayBeBooked);
    void KeepForRedo(ServerFault fault);
    void ForgetRequest(const std::string& name);
    bool StillThere(const std::string& name) const;

    std::string FInHandName;                    // the request the rules apply to
    BooksCall FBooksCall = BooksCall::NotMade;  // how far it got with the books
    std::map<std::string, int> FRenewedTries;   // by upper-case name: tries that made a server anew
    std::string FOccupiedLoggedFor;             // an occupied server's wait is logged once per request
    bool FExportAgain = false;                  // the export met a fault that left it undone
    bool FRedoUncleared = false;                // a redone package's journal record could not be cleared

public:
    // ---- core/ActivityLog.cpp: every line to the front end and to LOG.TXT, whose earlier
    // days go to LOGURI. None of these raises: the log never decides a request's outcome,
    // and a line that cannot reach LOG.TXT now reaches it at the next save that can.
    void LogMessage(const std::string& text);
    void LogStamped(std::string_view text);  // time stamp + text
    // An error that no box shows, as a stamped line " ... " + text.
    void LogErrorLine(const std::string& text) noexcept;
    // During a tick lines are held and reach LOG.TXT together, before the server call, the
    // file operation or the tick's end that follows them; the front end has each at once.
    void FlushLog() noexcept;
    const std::string& LogText() const { return FLog.Text(); }  // what LOG.TXT must hold
    std::string RecentLog() const { return FLog.Recent(); }     // the newest lines across days

private:
    void LogLine(const std::string& text, const LocalTime& now);
    void RetryLogSave();  // each tick while LOG.TXT lags behind the log
    TextList SaveLog(LockWait wait);
    void ReportLogOutage(const std::string& text);

    LogStore FLog;            // the current day's lines (the run's, without a history)
    bool FLogOutage = false;  // LOG.TXT could not be written at the last save
    int FLogHeld = 0;           // lines are held for one append (a tick is running)
    bool FLogPending = false;   // lines have been added since the last save
    ULONGLONG FLogRetryAt = 0;  // a failed save, or move into LOGURI, is not tried again before

public:
    // ---- core/ServerErrors.cpp: the server's refusals, to the log and the error file
    void ReportServerErrors(bool toLog, bool toFile);  // notes that the request in hand was refused
    std::string ErrorFileSuffix() const;
    std::wstring ErrorFilePath() const;

    // ---- polling/PollCycle.cpp: the tick and the one request it serves
    void TimerTimer();

    // The tick's listing of the working directory answers whether a file the service is about
    // to remove or replace is there; the service's own writes and removals keep it up to date.
    void WriteListed(const std::wstring& path, std::string_view bytes, Durability durability = Durability::Cached);
    bool RemoveListed(const std::wstring& path);  // true when removed; a file the listing lacks is not asked for
    bool ListedAbsent(const std::wstring& path) const;
    ReplaceWays ListedWays(const std::wstring& path, Durability durability) const;
    void NoteWritten(const std::wstring& path);

private:
    static WorkListing RequestListing();
    std::wstring NameIn(const std::wstring& path) const;  // "" for a path outside the working directory
    bool ListWorkDir();
    bool RequestWaiting() const;
    bool ServeFirstPackage();
    void ServePackage(const std::wstring& name, const PackageKind& kind);
    void ServeQuery(const QueryKind& query, const WorkListing::Entry& file);
    bool Disposed(const std::wstring& name) const;
    void OnWorkDirMissing();

    WorkListing FListing = RequestListing();
    bool FDirListed = false;           // FListing is this tick's
    bool FMayReuseListing = false;     // this tick comes at once after a served request
    unsigned FListingWatched = 0;      // the watch (FWatchOpened) that saw every change since the last listing; 0 none
    WorkListing::Entry FRequestFile;   // the query's request file, as listed

public:
    // ---- polling/Disposal.cpp: what becomes of a served package
    bool SetAsideFailedPackage(const std::wstring& name);  // true when renamed to ".ERR"

private:
    enum class PackageOutcome { Accepted, Refused, Raised };
    void DisposeOfPackage(const std::wstring& name, PackageOutcome outcome);

    // ---- polling/PackageMemory.cpp: packages never served twice, across a crash too
    struct InHandNotSaved {};  // raised before any server call when the record cannot be saved
    struct PackageGone {};     // raised before any server call: listed, but gone when opened
    bool IsRemembered(const std::wstring& name) const;
    bool StampOf(const std::wstring& name, PackageStamp& stamp) const;
    bool Unchanged(const PackageStamp& known) const;
    void RememberPackage(const std::wstring& name, PassedOver::Pending pending);
    bool RecordInHand(const PackageStamp& stamp);  // the package as listed or as opened
    bool ClearInHand();  // false while the journal on disk still has it
    bool SaveJournal();
    void RetryPassedOver();
    bool RecoverInterruptedPackage();

    PackageJournal FJournal;           // the package in hand and those passed over, on disk too
    bool FJournalChecked = false;      // the journal left by the last run has been read
    bool FJournalReadFailed = false;   // logged: the journal could not be read
    bool FJournalWriteFailed = false;  // logged: the journal could not be written, until it can
    ULONGLONG FJournalRetryAt = 0;     // after a failed save, the next is not tried before

public:
    // ---- polling/EmergencyScript.cpp
    void RunEmergencyScript();

private:
    UniqueHandle FScriptProcess;  // the emergency script started last, while it may run

public:
    // ---- packages/PackageFile.cpp, DocumentPackages.cpp, MasterDataPackages.cpp: each
    // handler takes the package's full path and its kind's row
    bool WaitOpenPackage(const std::wstring& path, const PackageKind& kind);
    bool WaitReadPackage(const std::wstring& path, const PackageKind& kind, std::string& content);
    std::unique_ptr<const PackageLines> OpenPackage(const std::wstring& path, const PackageKind& kind);
    bool ServeDocumentPackage(const std::wstring& path, const PackageKind& kind);
    bool ServeRecordPackage(const std::wstring& path, const PackageKind& kind);
    // Raises "Linia <n>: textul nu este UTF-8", written to the error file first.
    [[noreturn]] void RefuseText(size_t badLine);

    // ---- queries/QueryFrame.cpp: the steps every query shares
    void AnswerQuery(const QueryKind& query);

private:
    QueryParameter ReadQueryParameter(const QueryKind& query);
    bool SelectQueryMonth(const QueryKind& query);
    LONG CallQueryList(const QueryKind& query, const QueryParameter& parameter, UniqueVariant& list);

public:
    // ---- balances/BalanceExport.cpp
    void ImportSolduriClick();

private:
    void ExportPartnerBalances();

public:

    // ---- Service state, read and written by every handler
    bool FBusy = false;
    bool FPrefixErrors = false;
    bool FImmediate = false;  // "RaspunsImediat"
    bool FInactiveLogged = false;
    ComRef<ITallyportObject> FServer;
    std::wstring FWorkDir;     // as the settings give it, and every path built from it
    std::string FWorkDirText;  // its 8-bit form, for the log and the messages
    std::string FCompany;
    std::string FCurrentRequest;
    std::string FPartnerIdKind;
    std::string FArticleIdKind;
    TextList FGestiuni;
    // The last answer's room, kept for the next: a large answer built in memory the system
    // must find and clear anew takes half as long again.
    std::string FAnswerBuffer;
    bool FRefused = false;  // the server refused something in the request in hand

    // What the front end sets before Start: its form's name in the status file, and how
    // it ends the process when a stop is overdue (on the request watch's thread).
    std::string FForm = "fereastra";
    void (*FStopOverdue)() = nullptr;

    // Seams the tests set before FormCreate: where the executable lives (with a
    // trailing "\"), how the server is made, what today is, the milliseconds since the
    // machine started, the Event Log, and the most the files in LOGURI may take together.
    std::wstring FExeDir;
    ComRef<ITallyportObject> (*FCreateServer)() = nullptr;
    LocalTime (*FClock)() = nullptr;
    ULONGLONG (*FUptime)() = nullptr;
    std::unique_ptr<EventLog> FEvents;
    uint64_t FLogHistoryCap = 500'000'000;
};
