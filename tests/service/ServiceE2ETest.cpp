// The real VQBroker.exe under Wine's Service Control Manager.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/EventLog.h"
#include "support/ServiceProcess.h"
#include "watch/StatusFile.h"

namespace {

UniqueService ServiceHandle(DWORD access) {
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    return UniqueService(manager ? OpenServiceW(manager.get(), L"VQBroker", access) : nullptr);
}

SERVICE_STATUS_PROCESS Status() {
    SERVICE_STATUS_PROCESS status{};
    UniqueService service = ServiceHandle(SERVICE_QUERY_STATUS);
    DWORD needed = 0;
    if (!service || !QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                          reinterpret_cast<BYTE*>(&status), sizeof status, &needed))
        status.dwCurrentState = 0;  // no such service
    return status;
}

bool ReachesState(DWORD state, DWORD milliseconds = 60000) {
    return WaitUntil([&] { return Status().dwCurrentState == state; }, milliseconds);
}

bool Control(DWORD control) {  // 0: start it
    UniqueService service = ServiceHandle(SERVICE_STOP | SERVICE_START);
    SERVICE_STATUS status{};
    return control ? ControlService(service.get(), control, &status) != 0
                   : StartServiceW(service.get(), 0, nullptr) != 0;
}

// Sends STOP or CONT to the folder's stand-in server process; Wine gives no Unix program's
// exit code, so pkill's goes to a file.
bool SignalServer(const ServiceProcess& service, const std::string& signal) {
    std::string folder = service.exeDir.substr(0, service.exeDir.size() - 1);
    folder = folder.substr(folder.find_last_of('\\') + 1);
    const std::string said = "Z:\\tmp\\" + folder + ".signal";
    const std::string command = "Z:\\bin\\sh -c \"pkill -" + signal + " -f '" + folder +
                                ".[V]QDocServer'; echo $? >/tmp/" + folder + ".signal\"";
    if (WinExec(command.c_str(), SW_HIDE) < 32) return false;
    std::string exitCode;
    WaitUntil([&] { return (exitCode = ReadShared(said)).find('\n') != std::string::npos; }, 10000);
    DeleteFileW(Wide(said).c_str());
    return exitCode == "0\n";
}

// Event Log records in events.txt.
class ServiceE2ETest : public ::testing::Test {
protected:
    std::string Form(const char* argument, DWORD exitCode) {
        const ServiceProcess::Outcome run = service.RunForm(argument);
        EXPECT_EQ(run.exitCode, exitCode) << argument << ": " << run.output;
        return run.output;
    }
    ServiceProcess service;
    const TraceNamed events{L"EventTrace", service.exeDir + "events.txt"};
};

// In process: Wine carries no server's own error text out of a local server.
TEST_F(ServiceE2ETest, ServesAsAServiceStopsAfterTheRequestInHandAndUninstallsWithoutTrace) {
    service.Register(DocServerForm::InProcess);
    service.WriteServerIni(
        "[Test]\r\nFailMethod=GetStocuri\r\nFailText=Baza de date nu raspunde\r\n"
        "WaitMethods=GenComenzi\r\nWaitMs=4000\r\n");
    service.WriteIni(service.DefaultIni());
    // By hand, the service form says who starts it.
    EXPECT_NE(Form("/service", 1).find("Service Control Manager"), std::string::npos);
    Form("/install-service", 0);
    ASSERT_TRUE(ReachesState(SERVICE_RUNNING));
    Form("/install-service", 2);

    // Served as the window serves, with the window's log lines.
    service.Put("GETLISTAGESTIUNI.TXT", "");
    service.Put("COMANDA_1.TXT", kOneOrder);
    EXPECT_TRUE(service.Gone("COMANDA_1.TXT", 30000) && service.Gone("GETLISTAGESTIUNI.TXT", 30000));
    EXPECT_NE(service.Read("LISTAGESTIUNI.TXT"), "");
    EXPECT_EQ(service.Log(), (TextList{kLine, kLine, kStamped + " ... Deschid pachetul cu comenzi",
                                       kLine + "Au fost generate 1 comenzi in baza de date "}));

    // An error the window would show in a box.
    service.Put("GETSTOC.TXT", "");
    EXPECT_TRUE(service.Logged(kStamped + " ... Baza de date nu raspunde"));

    Form("/export-balances", 0);
    EXPECT_TRUE(WaitUntil([&] { return service.Exists("SOLDURI.TXT"); }, 20000));

    // A window copy refuses to start while the service runs, which shows no box.
    EXPECT_EQ(service.AnotherCopysBox(), "Aplicatia deja lucreaza\n");
    EXPECT_TRUE(ServiceProcess::Dialogs(Status().dwProcessId).empty());

    // A stop during a package's call: it is finished, nothing else served.
    service.Put("COMANDA_2.TXT", kOneOrder);
    ASSERT_TRUE(service.Logged(kStamped + " ... Deschid pachetul cu comenzi", 2));
    service.Put("GETLISTAGESTIUNI.TXT", "");
    EXPECT_TRUE(Control(SERVICE_CONTROL_STOP));
    EXPECT_TRUE(ReachesState(SERVICE_STOPPED));
    EXPECT_EQ(Status().dwWin32ExitCode, 0u);
    Form("/status", 1);
    EXPECT_FALSE(service.Exists("COMANDA_2.TXT"));
    EXPECT_EQ(CountLines(service.Log(), kLine + "Au fost generate 1 comenzi in baza de date "), 2u);
    EXPECT_TRUE(service.Exists("GETLISTAGESTIUNI.TXT"));
    service.Start();
    Form("/status", 0);
    service.Close();

    // Uninstalled while running: stopped, waited for, gone with its process and event source.
    ASSERT_TRUE(Control(0));
    ASSERT_TRUE(ReachesState(SERVICE_RUNNING));
    const DWORD processId = Status().dwProcessId;
    Form("/uninstall-service", 0);
    EXPECT_EQ(Status().dwCurrentState, 0u);
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    EXPECT_TRUE(!process || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    Form("/uninstall-service", 2);
    Form("/export-balances", 1);

    const std::string started =
                          "I Generator comenzi Velquoria a pornit; directorul de lucru: " + service.workDir,
                      stopped = "I Generator comenzi Velquoria s-a oprit";
    EXPECT_EQ(SplitTextLines(ReadShared(events.path)),
              (TextList{started, "E Baza de date nu raspunde", stopped, started, stopped, started, stopped}));
}

// The server's process stopped by a signal; the stop gives up after about a minute.
TEST_F(ServiceE2ETest, HungCallIsSeenItsStopIsBoundedAndRestartsComeBack) {
    service.WriteIni(service.DefaultIni("AlertaSecunde=2\r\n"));
    auto status = [&](const char* key) {
        return StatusValue(ReadShared(service.Path(kStatusFileName)), key);
    };
    EXPECT_NE(Form("/install-service", 0).find("Actiuni"), std::string::npos);  // set, or said not to be kept
    ASSERT_TRUE(ReachesState(SERVICE_RUNNING));
    EXPECT_TRUE(WaitUntil([&] { return status("Server") == "D"; }, 30000));
    EXPECT_NE(Form("/status", 0).find("Serviciul VQBroker: instalat, ruleaza."), std::string::npos);

    const std::string orders = service.exeDir + "VQDocServerData\\DEMO\\COMENZI.TXT";
    const size_t ordersBefore = SplitTextLines(ReadShared(orders)).size();
    ASSERT_TRUE(SignalServer(service, "STOP"));
    service.Put("COMANDA_1.TXT", kOneOrder);
    EXPECT_TRUE(WaitUntil(
        [&] { return status("CerereInCurs") == "COMANDA_1.TXT" && !status("Alerta").empty(); }, 30000));
    Form("/status", 2);
    EXPECT_NE(service.RunForm("/UnregServer", "VQDocServer.exe").exitCode, 0u);
    Sleep(3000);
    const TextList reported = SplitTextLines(ReadShared(events.path));
    EXPECT_EQ(std::count_if(reported.begin(), reported.end(),
                            [](const std::string& line) { return line.rfind("W In lucru de", 0) == 0; }),
              1);
    const ULONGLONG asked = GetTickCount64();
    EXPECT_TRUE(Control(SERVICE_CONTROL_STOP));
    EXPECT_TRUE(ReachesState(SERVICE_STOPPED, 90000));
    EXPECT_LT(GetTickCount64() - asked, 80000u);
    EXPECT_EQ(Status().dwWin32ExitCode, 0u);
    EXPECT_NE(ReadShared(events.path).find("E VQBroker se opreste fara sa mai astepte"), std::string::npos);

    ASSERT_TRUE(SignalServer(service, "CONT"));  // it may yet finish the call
    EXPECT_TRUE(service.ServersEnd(15000));
    service.Register(DocServerForm::Local);
    for (int restart = 0; restart < 6; ++restart) {
        SCOPED_TRACE(restart);
        if (restart > 0) {
            EXPECT_TRUE(Control(SERVICE_CONTROL_STOP));
            EXPECT_TRUE(ReachesState(SERVICE_STOPPED));
        }
        EXPECT_TRUE(Control(0));
        EXPECT_TRUE(ReachesState(SERVICE_RUNNING));
        service.Put("GETLISTAGESTIUNI.TXT", "");
        EXPECT_TRUE(service.Gone("GETLISTAGESTIUNI.TXT", 30000));
    }
    EXPECT_TRUE(service.Exists("COMANDA_1.ERR"));  // in hand when the stop gave up: set aside
    EXPECT_FALSE(service.Exists("COMANDA_1.TXT"));
    EXPECT_LE(SplitTextLines(ReadShared(orders)).size(), ordersBefore + 1);  // never handed over again
    Form("/status", 0);
    Form("/uninstall-service", 0);
}

}  // namespace
