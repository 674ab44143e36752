// The operator's window: its captions, its button, and its view of the log.
#include "support/BrokerFixture.h"

#include "base/Owners.h"
#include "window/BrokerWindow.h"

namespace {

class WindowTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        WriteIni(DefaultIni());
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_HIDE));
    }
    void TearDown() override {
        DestroyWindow(window.Window());
        BrokerTest::TearDown();
    }
    // The view once it has taken what was logged.
    std::string Shown() {
        window.ShowPendingLines();
        return WindowText(window.Messages);
    }
    BrokerWindow window{broker};
};

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

// The button is never smaller than designed, nor than its caption in the font in use.
TEST_F(WindowTest, CaptionsAreTheApplicationsAndTheButtonFitsItsCaption) {
    EXPECT_EQ(WindowText(window.Window()), "Generator comenzi Velquoria - ver.3.1");
    EXPECT_EQ(WindowText(window.ImportSolduri), "&Import solduri parteneri");
    RECT button{};
    GetClientRect(window.ImportSolduri, &button);
    const int dpi = GetDeviceCaps(UniqueScreenDc(GetDC(nullptr)).get(), LOGPIXELSY);
    EXPECT_GE(button.right, MulDiv(176, dpi, 120));
    EXPECT_GE(button.bottom, MulDiv(31, dpi, 120));
    EXPECT_GT(button.right, CaptionSize(window.ImportSolduri).cx);
    EXPECT_GT(button.bottom, CaptionSize(window.ImportSolduri).cy);
}

// Past its limit, the view holds the newest whole lines of the log, across midnight too.
TEST_F(WindowTest, ViewShowsTheNewestWholeLinesOfTheLog) {
    broker.LogMessage("first");
    broker.LogMessage("second");
    EXPECT_EQ(Shown(), "Ver. 3.1 -  first\r\nVer. 3.1 -  second\r\n");
    for (int i = 0; i < 300; ++i) {
        if (i == 290) today = {2026, 12, 8, 0, 0, 1};
        broker.LogMessage("line " + std::to_string(i) + std::string(400, '.'));
    }
    const std::string view = Shown(), log = broker.RecentLog();
    EXPECT_NE(view.find("line 289."), std::string::npos);
    EXPECT_EQ(broker.LogText().find("line 289."), std::string::npos);
    EXPECT_LT(view.size(), log.size());
    EXPECT_EQ(log.substr(log.size() - view.size()), view);
    EXPECT_EQ(view.substr(0, 12), "Ver. 3.1 -  ");
}

// The newest line stays in sight however long: whole while it fits, else its end.
TEST_F(WindowTest, NewestLineStaysInSight) {
    for (int i = 0; i < 100; ++i) broker.LogMessage(std::string(400, 'o'));  // pushed out by the next
    const std::string longLine = std::string(39988, 'x') + "end";
    broker.LogMessage(longLine);
    EXPECT_EQ(Shown(), "Ver. 3.1 -  " + longLine + "\r\n");
    broker.LogMessage(std::string(70000, 'y') + "newest");
    const std::string tail = Shown();
    EXPECT_GT(tail.size(), 30000u);
    EXPECT_EQ(tail.substr(tail.size() - 9), "ynewest\r\n");
}

}  // namespace
