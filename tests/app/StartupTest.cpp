// Start-up: reading the settings into the service state and configuring the server.
#include "support/BrokerFixture.h"

#include "base/AnsiText.h"
#include "base/BrokerError.h"

namespace {

using StartupTest = BrokerTest;

TEST_F(StartupTest, CompleteSettingsConfigureTheServerAndLogNothing) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir +
             "\\\r\nFirmaLucru=ACME SRL\r\n"
             "IDArticol=CODINTERN\r\nIDPartener=CODINTERN\r\nGestiune=g1;g2;\r\nPrefixareErori=d\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.CallsText(),
              "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN) SetFirmaLucru(ACME SRL)");
    EXPECT_EQ(broker.FWorkDir, workDir);
    EXPECT_EQ(broker.FGestiuni, (TextList{"G1", "G2"}));
    EXPECT_TRUE(broker.FPrefixErrors);
    EXPECT_TRUE(broker.LogText().empty());
    EXPECT_FALSE(Exists("LOG.TXT"));
}

TEST_F(StartupTest, KeyKindsSelectTheConfigurationCalls) {
    struct Case {
        const char* partner;
        const char* article;
        const char* calls;
    } cases[] = {
        {"IDPartener=codfiscal", "IDArticol=CODINTERN",
         "SetTipIDPartener(CODINTERN) SetTipIDPartener(CODFISCAL) SetTipIDArticol(CODINTERN)"},
        {"IDPartener=CodExtern", "IDArticol=codextern",
         "SetTipIDPartener(CODINTERN) SetTipIDPartener(CODEXTERN) SetTipIDArticol(CODEXTERN)"},
        {"IDPartener=COD FISCAL", "IDArticol=CODFISCAL",
         "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)"},
        {"", "", "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)"},
    };
    for (const auto& c : cases) {
        server.calls.clear();
        WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=F\r\n" + c.partner + "\r\n" +
                 c.article + "\r\n");
        broker.FormCreate();
        EXPECT_EQ(server.CallsText(), std::string(c.calls) + " SetFirmaLucru(F)") << c.partner;
    }
}

TEST_F(StartupTest, CompanyEmptyMissingOrRefused) {
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.calls.back(), "SetFirmaLucru()");

    server.calls.clear();
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini firma de lucru"}));

    server.calls.clear();
    server.ok["SetFirmaLucru"] = 0;
    server.errors = FakeList::Of({"Firma X nu exista", "A doua linie"});
    WriteIni("[Generale]\r\nDirectorLucru=" + workDir + "\r\nFirmaLucru=X\r\n");
    broker.FormCreate();
    EXPECT_EQ(server.calls.back(), "GetListaErori");
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini firma de lucru", "Firma X nu exista",
                               "A doua linie"}));
    EXPECT_FALSE(Exists("ERORI.TXT"));  // refusals at start-up go to the log only
}

TEST_F(StartupTest, MissingSettingsFileLogsBothMessagesOnScreenOnly) {
    broker.FormCreate();
    EXPECT_EQ(Log(), (TextList{"Nu ai precizat in VQBroker.Ini directorul de lucru",
                               "Nu ai precizat in VQBroker.Ini firma de lucru"}));
    EXPECT_EQ(broker.FWorkDir, "?");
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
}

TEST_F(StartupTest, FailingConfigurationCallStopsFormCreateWithTheServersText) {
    server.failures["SetTipIDArticol"] = {E_FAIL, "Serverul nu raspunde"};
    WriteIni(DefaultIni());
    try {
        broker.FormCreate();
        FAIL() << "no error";
    } catch (const BrokerError& error) {
        EXPECT_STREQ(error.what(), "Serverul nu raspunde");
    }
    EXPECT_EQ(server.CallsText(), "SetTipIDPartener(CODINTERN) SetTipIDArticol(CODINTERN)");
}

TEST_F(StartupTest, ServerThatCannotBeCreatedLeavesNoServer) {
    broker.FCreateServer = []() -> ComRef<ITallyportObject> { throw BrokerError("Class not registered"); };
    WriteIni(DefaultIni());
    EXPECT_THROW(broker.FormCreate(), BrokerError);
    EXPECT_FALSE(broker.FServer);
    EXPECT_EQ(broker.FWorkDir, workDir);  // settings were read before the server was made
}

}  // namespace

namespace {

std::string ViewText(HWND view) {
    std::wstring text(size_t(GetWindowTextLengthW(view)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(view, text.data(), int(text.size()))));
    return Ansi(text);
}

// The caption's size in the font the button really got.
SIZE CaptionSize(HWND button) {
    wchar_t caption[64] = L"";
    GetWindowTextW(button, caption, 64);
    UniqueScreenDc screen(GetDC(nullptr));
    HGDIOBJ previous = SelectObject(screen.get(), HGDIOBJ(SendMessageW(button, WM_GETFONT, 0, 0)));
    RECT text{};
    DrawTextW(screen.get(), caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(screen.get(), previous);
    return {text.right, text.bottom};
}

TEST_F(StartupTest, WindowShowsTheLogInItsView) {
    WriteIni(DefaultIni());
    ASSERT_TRUE(broker.Create(GetModuleHandleW(nullptr), SW_HIDE));
    broker.LogMessage("first");
    broker.LogMessage("second");
    EXPECT_EQ(ViewText(broker.Messages), "Ver. 3.1 -  first\r\nVer. 3.1 -  second\r\n");
    wchar_t caption[128] = L"";
    GetWindowTextW(broker.Window(), caption, 128);
    EXPECT_STREQ(caption, L"Generator comenzi Velquoria - ver.3.1");
    GetWindowTextW(broker.ImportSolduri, caption, 128);
    EXPECT_STREQ(caption, L"&Import solduri parteneri");

    // The button is never smaller than designed, nor than its caption in the font in use.
    RECT button{};
    GetClientRect(broker.ImportSolduri, &button);
    const int dpi = GetDeviceCaps(UniqueScreenDc(GetDC(nullptr)).get(), LOGPIXELSY);
    EXPECT_GE(button.right, MulDiv(176, dpi, 120));
    EXPECT_GE(button.bottom, MulDiv(31, dpi, 120));
    EXPECT_GT(button.right, CaptionSize(broker.ImportSolduri).cx);
    EXPECT_GT(button.bottom, CaptionSize(broker.ImportSolduri).cy);

    // Past the view's limit, it holds the newest whole lines of the log.
    for (int i = 0; i < 2000; ++i) broker.LogMessage("line " + std::to_string(i) + std::string(40, '.'));
    const std::string view = ViewText(broker.Messages), log = broker.LogText();
    EXPECT_LT(view.size(), log.size());
    EXPECT_EQ(log.substr(log.size() - view.size()), view);
    EXPECT_EQ(view.substr(0, 12), "Ver. 3.1 -  ");

    // The newest line stays in sight however long: whole while it fits, else its end.
    const std::string longLine = std::string(39988, 'x') + "end";
    broker.LogMessage(longLine);
    EXPECT_EQ(ViewText(broker.Messages), "Ver. 3.1 -  " + longLine + "\r\n");
    broker.LogMessage(std::string(70000, 'y') + "newest");
    const std::string tail = ViewText(broker.Messages);
    EXPECT_GT(tail.size(), 30000u);
    EXPECT_EQ(tail.substr(tail.size() - 9), "ynewest\r\n");
    DestroyWindow(broker.Window());
}

}  // namespace
