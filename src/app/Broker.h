// The service object: the main window, its components, the service state shared by
// every handler, and the handlers themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "log/LogFile.h"
#include "base/TimeStamp.h"
#include "polling/PackageJournal.h"
#include "base/Owners.h"
#include "server/Tallyport.h"

using TextList = std::vector<std::string>;

// Which package handler is waiting: selects the texts WaitOpenPackage logs.
enum class PackageKind { Comanda, ComandaFurn, Factura, FacturaFurn, Partener, ModiPartener, Articol };

struct QueryKind;       // one row of the query table (queries/QueryTable.h)
struct QueryParameter;  // what a query's request file gives

class TEBroker {
public:
    TEBroker();
    ~TEBroker();
    TEBroker(const TEBroker&) = delete;
    TEBroker& operator=(const TEBroker&) = delete;

    // Builds the main window (which arms the timer and runs FormCreate) and shows it.
    bool Create(HINSTANCE instance, int showCommand);
    HWND Window() const { return FWindow; }

    // Event handlers, in the order of declaration of the form.
    void TimerTimer();
    void FormCreate();
    void FormClose();
    void ImportSolduriClick();
    void FormDestroy();

    // Settings, log and error reports.
    void LoadSettings();
    void LogMessage(const std::string& text);
    void ReportServerErrors(bool toLog, bool toFile);
    std::string ErrorFileSuffix() const;
    std::string ErrorFilePath() const;
    void CheckServer(HRESULT hr) const;
    std::string TimeStamp() const;
    LocalTime Now() const;
    const std::string& LogText() const { return FLogText; }

    // Shows an error that left a tick, a click or FormCreate; while one box is open a
    // further error is logged instead, so boxes never nest.
    void ShowError(const std::string& text);

    // Poll cycle and disposal.
    void RunEmergencyScript();
    bool SetAsideFailedPackage(const std::string& name);   // true when renamed to ".ERR"

    // Package access and handlers; each handler takes the package's full path.
    bool WaitOpenPackage(const std::string& path, PackageKind kind);
    bool ServeComanda(const std::string& path);
    bool ServeComandaFurn(const std::string& path);
    bool ServeFactura(const std::string& path);
    bool ServeFacturaFurn(const std::string& path);
    bool ServePartener(const std::string& path);
    bool ServeModiPartener(const std::string& path);
    bool ServeArticol(const std::string& path);

    // Query handlers.
    void ServeGetStoc();
    void ServeGetPretAchizStoc();
    void ServeGetInfoArt();
    void ServeGetPretArt();
    void ServeGetListaGestiuni();
    void ServeGetListaParteneri();
    void ServeGetInfoCmdBon();
    void ServeGetStocArticol();
    void ServeGetInfoCmdBonuri();
    void ServeGetIncasariLuna();
    void ServeGetFacturiCmdOnline();

    // Components.
    HWND Messages = nullptr;        // read-only view of the activity log
    UINT_PTR Timer = 0;             // the one-second poll timer
    HWND ImportSolduri = nullptr;   // "&Import solduri parteneri"

    // Service state.
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

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(WPARAM kind);
    void OnTimer();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnClose();
    void OnDestroy();
    template <class Handler> void RunHandler(Handler handler);
    void CreateComponents();
    int Scaled(int designed) const;
    void AppendToView(const std::string& line);
    void ShowLogTail();
    void ScrollViewToEnd();

    HWND FWindow = nullptr;
    HFONT FWindowFont = nullptr;
    HFONT FViewFont = nullptr;
    int FDpi = 120;
    std::string FLogText;         // the run's whole log, each line ended by CR LF
    LogFile FLogFile;
    bool FErrorBoxOpen = false;
    bool FCloseRequested = false;   // a close arrived while a request or the export was in hand

    // Poll cycle and package state (polling/, packages/).
    struct FoundEntry;              // polling/PollCycle.cpp
    enum class PackageOutcome { Accepted, Refused, Raised };
    bool ServeFirstPackage();
    bool FindPackage(const char* pattern, FoundEntry& found);
    void ServePackage(const std::string& name, bool (TEBroker::*handler)(const std::string&));
    void DisposeOfPackage(const std::string& name, PackageOutcome outcome);
    void ServeQuery(const char* name, void (TEBroker::*handler)());
    void OnWorkDirMissing();
    bool ServerMissing();
    bool IsRemembered(const std::string& name) const;
    void RememberPackage(const std::string& name, PassedOver::Pending pending);
    bool RecordInHand(const std::string& name);
    void ClearInHand();
    bool SaveJournal();
    void RetryPassedOver();
    bool RecoverInterruptedPackage();
    bool ServeDocumentPackage(const std::string& path, PackageKind kind);
    bool ServeRecordPackage(const std::string& path, PackageKind kind);

    PackageJournal FJournal;        // the package in hand and those passed over, on disk too
    bool FJournalChecked = false;   // the journal left by the last run has been read
    bool FJournalReadFailed = false;   // logged: the journal could not be read
    bool FJournalWriteFailed = false;  // logged: the journal could not be written, until it can
    bool FNoServerLogged = false;   // the missing server has been logged in this run
    UniqueHandle FScriptProcess;    // the emergency script started last, while it may run

    // Query state (queries/, balances/).
    // The steps every query shares.
    void AnswerQuery(const QueryKind& query);
    QueryParameter ReadQueryParameter(const QueryKind& query) const;
    bool SelectQueryMonth(const QueryKind& query);
    LONG CallQueryList(const QueryKind& query, const QueryParameter& parameter, UniqueVariant& list);
    void LogStamped(const std::string& text);   // time stamp + text
};
