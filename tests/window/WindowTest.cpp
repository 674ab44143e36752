// The operator's window.
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
    std::string Shown() {
        window.ShowPendingLines();
        return WindowText(window.Messages);
    }
    BrokerWindow window{broker};
};

// Never smaller than designed, nor than its caption in the font it really got.
TEST_F(WindowTest, CaptionsAreTheApplicationsAndTheButtonFitsItsCaption) {
    EXPECT_EQ(WindowText(window.Window()), "Generator comenzi Velquoria - ver.3.1");
    EXPECT_EQ(WindowText(window.ImportSolduri), "&Import solduri parteneri");
    RECT button{}, caption{};
    GetClientRect(window.ImportSolduri, &button);
    UniqueScreenDc screen(GetDC(nullptr));
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    EXPECT_GE(button.right, MulDiv(176, dpi, 120));
    EXPECT_GE(button.bottom, MulDiv(31, dpi, 120));
    SelectObject(screen.get(), HGDIOBJ(SendMessageW(window.ImportSolduri, WM_GETFONT, 0, 0)));
    DrawTextW(screen.get(), L"&Import solduri parteneri", -1, &caption, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(button.right, caption.right);
    EXPECT_GT(button.bottom, caption.bottom);
}

// Past its limit, the view holds the newest whole lines, across midnight too.
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

// The newest line stays in sight: whole while it fits, else its end.
TEST_F(WindowTest, NewestLineStaysInSight) {
    for (int i = 0; i < 100; ++i) broker.LogMessage(std::string(400, 'o'));
    const std::string longLine = std::string(39988, 'x') + "end";
    broker.LogMessage(longLine);
    EXPECT_EQ(Shown(), "Ver. 3.1 -  " + longLine + "\r\n");
    broker.LogMessage(std::string(70000, 'y') + "newest");
    const std::string tail = Shown();
    EXPECT_GT(tail.size(), 30000u);
    EXPECT_EQ(tail.substr(tail.size() - 9), "ynewest\r\n");
}

TEST_F(WindowTest, LinesLoggedBeforeAServerCallAreShownBeforeItStarts) {
    broker.LogMessage("before");
    broker.Server();
    EXPECT_EQ(WindowText(window.Messages), "Ver. 3.1 -  before\r\n");
}

}  // namespace
