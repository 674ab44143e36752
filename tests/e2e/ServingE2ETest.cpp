// One copy of the real program, served by the other kind's local server when it is built.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "support/RequestKinds.h"
#include "support/ServiceProcess.h"

namespace {

using Request = std::pair<std::string, std::string>;  // a name and its content

// Every example (FACTURA_2 is refused), and two packages named in lower case.
std::vector<Request> Backlog() {
    std::vector<Request> requests;
    for (const ExpectedPackage& kind : kExpectedPackages)
        requests.push_back({kind.File(1), ExampleFile(kind.File(1))});
    for (const ExpectedQuery& query : kExpectedQueries)
        requests.push_back({query.request, ExampleFile(query.request)});
    requests.insert(requests.end(), {{"FACTURA_2.TXT", ExampleFile("FACTURA_2.TXT")},
                                     {"comanda_6.txt", kOneOrder},
                                     {"factura_4.txt", ExampleFile("FACTURA_1.TXT")}});
    return requests;
}

// What the backlog's packages log when done, and how many times.
constexpr std::pair<const char*, size_t> kOutcomes[] = {
    {"Partener modificat !", 1},
    {"Partener nou generat !", 1},
    {"Articol nou generat !", 1},
    {"Au fost generate 1 comenzi in baza de date ", 2},
    {"Au fost generate 1 comenzi furnizori in baza de date ", 1},
    {"Au fost generate 2 facturi in baza de date ", 2},
    {"Pachetul contine erori ", 1},
    {"Au fost generate 1 facturi furnizori in baza de date ", 1},
};

HWND Focus(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

class ServingE2ETest : public ::testing::Test {
protected:
    // The backlog, dropped before the start; its LOG.TXT.
    static void SetUpTestSuite() {
        const bool other = FileExists(Wide(VQ_OTHER_BIN "\\VQDocServer.exe"));
        service = std::make_unique<ServiceProcess>(DocServerForm::Local, other ? VQ_OTHER_BIN : "");
        service->WriteIni(service->DefaultIni("PrefixareErori=D\r\n"));
        const std::vector<Request> backlog = Backlog();
        for (const auto& [name, content] : backlog) service->Put(name, content);
        service->Put("COMANDA_ERORI.TXT", "nu este o cerere\r\n");
        service->Start();
        WaitUntil(
            [&] {
                return std::none_of(backlog.begin(), backlog.end(),
                                    [](const Request& request) { return service->Exists(request.first); });
            },
            120000);
        service->Answers();  // a tick more: nothing is left to serve
        workedOff = service->Read("LOG.TXT");
    }
    static void TearDownTestSuite() { service.reset(); }
    static inline std::unique_ptr<ServiceProcess> service;
    static inline std::string workedOff;
};

TEST_F(ServingE2ETest, RealTimerWorksOffABacklogOfEveryKindOnce) {
    for (const auto& [name, content] : Backlog()) EXPECT_FALSE(service->Exists(name)) << name;
    EXPECT_EQ(service->BoxTexts(), "");

    // Four lines a package, and the detailed queries' own: each request once.
    const TextList log = StampFreeLines(workedOff);
    EXPECT_EQ(log.size(), 10u * 4 + 6 + 6 + 1) << workedOff;
    for (const auto& [line, times] : kOutcomes) EXPECT_EQ(CountLines(log, kLine + line), times) << line;
    EXPECT_TRUE(service->Exists("FACTURA_2.ERR"));
    EXPECT_EQ(service->Read("COMANDA_ERORI.TXT"), "nu este o cerere\r\n");
    for (const ExpectedQuery& query : kExpectedQueries)
        EXPECT_NE(service->Read(query.result), "") << query.result;
}

// The backlog was logged while the window was minimized.
TEST_F(ServingE2ETest, RestoredViewShowsTheWholeLogWithTheNewestLineInSight) {
    const HWND view = service->Child(L"EDIT");
    ShowWindow(service->MainWindow(), SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(view) == ReadShared(service->Path("LOG.TXT")); }, 5000));
    const LRESULT lines = SendMessageW(view, EM_GETLINECOUNT, 0, 0);  // the last one is empty
    ASSERT_GE(lines, 50);
    const LRESULT newest = SendMessageW(view, EM_LINEINDEX, WPARAM(lines - 2), 0);
    const int top = short(HIWORD(SendMessageW(view, EM_POSFROMCHAR, WPARAM(newest), 0)));
    RECT client{};
    GetClientRect(view, &client);
    EXPECT_GT(SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_GE(top, 0);
    EXPECT_LT(top, client.bottom);
}

// As a keyboard sends them; none closes the window.
TEST_F(ServingE2ETest, KeysMoveTheFocusOrPressTheButton) {
    const HWND view = service->Child(L"EDIT"), button = service->Child(L"BUTTON");
    ShowWindow(service->MainWindow(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return Focus(service->ThreadId()) == button; }, 5000));
    const struct {
        WPARAM key;
        bool alt;
        HWND focus;  // after it
        bool exports;
    } cases[] = {
        {VK_TAB, false, view, false}, {VK_ESCAPE, false, view, false}, {VK_RETURN, false, view, false},
        {'I', true, button, true},    {VK_TAB, false, view, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        service->Remove("SOLDURI.TXT");
        const HWND to = Focus(service->ThreadId());
        const LPARAM alt = c.alt ? LPARAM(1) << 29 : 0;
        PostMessageW(to, c.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, c.key, alt);
        PostMessageW(to, c.alt ? WM_SYSCHAR : WM_CHAR, c.alt ? 'i' : c.key, alt);
        PostMessageW(to, c.alt ? WM_SYSKEYUP : WM_KEYUP, c.key, alt | LPARAM(3) << 30);
        EXPECT_TRUE(service->Answers());
        EXPECT_TRUE(WaitUntil([&] { return Focus(service->ThreadId()) == c.focus; }, 5000));
        EXPECT_EQ(WaitUntil([&] { return service->Exists("SOLDURI.TXT"); }, c.exports ? 10000 : 1000),
                  c.exports);
        EXPECT_TRUE(service->Running());
    }
}

TEST_F(ServingE2ETest, SecondCopySaysItIsAlreadyRunningAndEnds) {
    EXPECT_EQ(service->AnotherCopysBox(), "Aplicatia deja lucreaza\n");
    EXPECT_TRUE(service->Running());
    EXPECT_TRUE(IsWindow(service->MainWindow()));
}

TEST_F(ServingE2ETest, ExportFromTheCommandLineIsTheButtonOfTheRunningCopy) {
    service->Remove("SOLDURI.TXT");
    const size_t before = service->Log().size();
    EXPECT_EQ(service->RunForm("/export-balances").exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return service->Exists("SOLDURI.TXT"); }, 10000));
    EXPECT_NE(service->Read("SOLDURI.TXT").find("P0001"), std::string::npos);
    WaitUntil([&] { return !service->Log(before).empty(); }, 10000);  // logged once the file is there
    EXPECT_EQ(service->Log(before), TextList{kStamped + " ... Import solduri parteneri "});
}

}  // namespace
