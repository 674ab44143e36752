// The measured ratios, one function per concern, and the service object they share.
#pragma once

#include <string>
#include <vector>

#include "Measure.h"
#include "base/Owners.h"
#include "core/Broker.h"
#include "server/Tallyport.h"

// Log cost (1) and memory (6): both need a log of 100,000 lines.
std::vector<Figure> LogFigures();
// Idle tick (2) and the failed five-second wait (5).
Figure IdleTickFigure();
Figure FailedWaitFigure();
// The real program from outside: the round trip of a query (7) and a backlog (8), with
// "RaspunsImediat" off and on.
std::vector<Figure> ServeFigures();
class ServiceProcess;
class WorkFolder;
// Seconds from dropping GETSTOCARTICOL.TXT (article A0001) until it is gone and STOCARTICOL.TXT
// is a new file; negative after ten seconds.
double QueryRoundTrip(const WorkFolder& folder);
// Seconds from the window's appearance until the last of count orders put in the working
// directory beforehand is disposed of.
double DrainBacklog(ServiceProcess& service, bool immediate, int count);
class TraceNamed;
// Each request's own time, in seconds, in the order served, as the service noted them in the
// file that the registry value RequestTrace names.
std::vector<double> OwnTimes(const TraceNamed& trace);
// The real program for twenty days of 5,000 requests (9): memory and request time at the
// end against the second day, LOG.TXT one day, LOGURI seven.
std::vector<Figure> MonthsFigures();
// Large package (3) and large query (4); given a server in a process of its own, through it.
// With utf8, under "CodificareFisiere=UTF8", its text holding Romanian letters, against the
// floor of UTF-8's conversions.
Figure LargePackageFigure(ITallyportObject* server = nullptr, bool utf8 = false);
Figure LargeQueryFigure(ITallyportObject* server = nullptr, bool utf8 = false);
// Row i of a 20-field stock answer, and an answer of rows as the server gives it.
std::string StockRow(int i, bool utf8 = false);
SAFEARRAY* AnswerOf(const std::vector<std::string>& rows);

// The document server in a process of its own, as a user's is: (3) and (4) through a server
// whose answers cost it little, (7) and (8) through the stand-in, each against a bare client
// making the same calls on the same server process, and (10) a server that died.
std::vector<Figure> LocalServerFigures();
// VQBench.exe serve: the process that serves (3) and (4) their server.
int ServePreparedAnswers();

// VQBench.exe respond DIR: the reference responder, serving DIR until told to stop; and its
// process, started for as long as this lives, its server in the stand-in process already running.
int RunResponder(const std::wstring& dir);
class ResponderProcess {
public:
    explicit ResponderProcess(const std::string& dir);
    ~ResponderProcess();
    ResponderProcess(const ResponderProcess&) = delete;
    ResponderProcess& operator=(const ResponderProcess&) = delete;

private:
    UniqueHandle stop_, process_;
};

// (11) an idle tick in a directory of 20,000 other files against one bare listing of it.
Figure FullDirectoryFigure();
// (12) the mean time an order takes in a backlog of 5,000 against one of 500.
Figure LongBacklogFigure();

// A service object working in workDir with a fixed clock and no window, as the
// unit tests use it.
void PrepareBroker(TEBroker& broker, const std::string& workDir);
