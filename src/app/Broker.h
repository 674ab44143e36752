// The service object: the main window, its components, the service state shared by
// every handler, and the handlers themselves. Members are declared in blocks, each
// headed by the file that implements them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/Owners.h"
#include "base/Text.h"
#include "base/TimeStamp.h"
#include "log/LogFile.h"
#include "polling/PackageJournal.h"
#include "server/Tallyport.h"

struct PackageKind;     // one row of the package kinds (packages/PackageKinds.h)
struct QueryKind;       // one row of the query kinds (queries/QueryKinds.h)
struct QueryParameter;  // what a query's request file gives

class TEBroker {
public:
    // ---- app/Broker.cpp: the window, its components, start-up and closing
    TEBroker();
    ~TEBroker();
    TEBroker(const TEBroker&) = delete;
    TEBroker& operator=(const TEBroker&) = delete;

    // Builds the main window (which arms the timer and runs FormCreate) and shows it.
    bool Create(HINSTANCE instance, int showCommand);
    HWND Window() const { return FWindow; }
    void FormCreate();
    void FormClose();
    void FormDestroy();
    // Shows an error that left a tick, a click or FormCreate; while one box is open a
    // further error is logged instead, so boxes never nest.
    void ShowError(const std::string& text);

    HWND Messages = nullptr;       // read-only view of the activity log
    UINT_PTR Timer = 0;            // the one-second poll timer
    HWND ImportSolduri = nullptr;  // "&Import solduri parteneri"

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(WPARAM kind);
    void OnTimer();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDestroy();
    template <class Handler>
    void RunHandler(Handler handler);
    void CreateComponents();
    int Scaled(int designed) const;

    HWND FWindow = nullptr;
    UniqueFont FWindowFont;
    UniqueFont FViewFont;
    int FDpi = 120;
    bool FErrorBoxOpen = false;
    bool FCloseRequested = false;  // a close arrived while a request or the export was in hand

public:
    // ---- app/LoadSettings.cpp
    void LoadSettings();

    // ---- app/Clock.cpp: what today is, and the time stamp that begins most log lines
    LocalTime Now() const;
    std::string TimeStamp() const;

    // ---- log/ActivityLog.cpp: every line to the view and to LOG.TXT
    void LogMessage(const std::string& text);
    void LogStamped(std::string_view text);  // time stamp + text
    const std::string& LogText() const { return FLogText; }

private:
    void AppendToView(const std::string& line);
    void ShowLogTail();
    void ScrollViewToEnd();

    std::string FLogText;  // the run's whole log, each line ended by CR LF
    LogFile FLogFile;

public:
    // ---- log/ServerErrors.cpp: the server's refusals, to the log and the error file
    void ReportServerErrors(bool toLog, bool toFile);
    std::string ErrorFileSuffix() const;
    std::string ErrorFilePath() const;

    // ---- server/DocumentServer.cpp: a failing server call raised with its readable text
    void CheckServer(HRESULT hr) const;

    // ---- polling/PollCycle.cpp: the tick and the one request it serves
    void TimerTimer();

private:
    struct FoundEntry;
    bool ServeFirstPackage();
    bool FindPackage(std::string_view pattern, FoundEntry& found);
    void ServePackage(const std::string& name, const PackageKind& kind);
    void ServeQuery(const QueryKind& query);
    void OnWorkDirMissing();
    bool ServerMissing();

    bool FNoServerLogged = false;  // the missing server has been logged in this run

public:
    // ---- polling/Disposal.cpp: what becomes of a served package
    bool SetAsideFailedPackage(const std::string& name);  // true when renamed to ".ERR"

private:
    enum class PackageOutcome { Accepted, Refused, Raised };
    void DisposeOfPackage(const std::string& name, PackageOutcome outcome);

    // ---- polling/PackageMemory.cpp: packages never served twice, across a crash too
    struct InHandNotSaved {};  // raised before any server call when the record cannot be saved
    bool IsRemembered(const std::string& name) const;
    void RememberPackage(const std::string& name, PassedOver::Pending pending);
    bool RecordInHand(const std::string& name);
    void ClearInHand();
    bool SaveJournal();
    void RetryPassedOver();
    bool RecoverInterruptedPackage();

    PackageJournal FJournal;           // the package in hand and those passed over, on disk too
    bool FJournalChecked = false;      // the journal left by the last run has been read
    bool FJournalReadFailed = false;   // logged: the journal could not be read
    bool FJournalWriteFailed = false;  // logged: the journal could not be written, until it can

public:
    // ---- polling/EmergencyScript.cpp
    void RunEmergencyScript();

private:
    UniqueHandle FScriptProcess;  // the emergency script started last, while it may run

public:
    // ---- packages/PackageFile.cpp, DocumentPackages.cpp, MasterDataPackages.cpp: each
    // handler takes the package's full path and its kind's row
    bool WaitOpenPackage(const std::string& path, const PackageKind& kind);
    bool ServeDocumentPackage(const std::string& path, const PackageKind& kind);
    bool ServeRecordPackage(const std::string& path, const PackageKind& kind);

    // ---- queries/QueryFrame.cpp: the steps every query shares
    void AnswerQuery(const QueryKind& query);

private:
    QueryParameter ReadQueryParameter(const QueryKind& query) const;
    bool SelectQueryMonth(const QueryKind& query);
    LONG CallQueryList(const QueryKind& query, const QueryParameter& parameter, UniqueVariant& list);

public:
    // ---- balances/BalanceExport.cpp
    void ImportSolduriClick();

    // ---- Service state, read and written by every handler
    bool FBusy = false;
    bool FPrefixErrors = false;
    bool FInactiveLogged = false;
    ComRef<ITallyportObject> FServer;
    std::string FWorkDir;
    std::string FCompany;
    std::string FCurrentRequest;
    std::string FPartnerIdKind;
    std::string FArticleIdKind;
    TextList FGestiuni;

    // Seams the tests set before FormCreate: where the executable lives (with a
    // trailing "\"), how the server is made, and what today is.
    std::string FExeDir;
    ComRef<ITallyportObject> (*FCreateServer)() = nullptr;
    LocalTime (*FClock)() = nullptr;
};
