// The emergency script: started hidden on outage ticks, never twice at a time.
#include <windows.h>

#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "support/BrokerFixture.h"

namespace {

class EmergencyScriptTest : public BrokerTest {
protected:
    void SetUp() override {
        BrokerTest::SetUp();
        Start();
        script = exeDir + "Avarie.bat";
        away = workDir + "_away";
        ASSERT_TRUE(MoveFileW(Wide(workDir).c_str(), Wide(away).c_str()));
    }
    void TearDown() override {
        MoveFileW(Wide(away).c_str(), Wide(workDir).c_str());
        BrokerTest::TearDown();
    }
    // Ticks until the log has n " ... Rulez " lines; false after a generous wait.
    bool TickUntilStarted(size_t n) {
        for (int i = 0; i < 300; ++i) {
            if (Started() >= n) return true;
            broker.TimerTimer();
            Sleep(50);
        }
        return Started() >= n;
    }
    static bool WaitForFile(const std::string& path) {
        for (int i = 0; i < 300 && !FileExists(path); ++i) Sleep(50);
        return FileExists(path);
    }
    size_t Started() const {
        size_t n = 0;
        for (const std::string& line : Log()) n += line == Stamp() + " ... Rulez " + script;
        return n;
    }

    std::string script, away;
};

TEST_F(EmergencyScriptTest, MissingScriptStartsNothingAndLogsOnlyTheOutage) {
    broker.TimerTimer();
    broker.TimerTimer();
    EXPECT_EQ(Log(), (std::vector<std::string>{Stamp() + " ... Directorul de lucru este inactiv"}));
}

TEST_F(EmergencyScriptTest, ScriptStillRunningIsNotStartedAgain) {
    const std::string started = exeDir + "started.txt", stop = exeDir + "stop.txt",
                      done = exeDir + "done.txt";
    // Runs until told to stop, or until its folder goes with the test.
    WriteFileReplacing(script, "@echo off\r\necho x>\"" + started +
                                   "\"\r\n:wait\r\n"
                                   "if exist \"" +
                                   stop +
                                   "\" goto end\r\n"
                                   "if exist \"" +
                                   started +
                                   "\" goto wait\r\n"
                                   ":end\r\necho x>>\"" +
                                   done + "\"\r\n");
    broker.TimerTimer();
    EXPECT_EQ(Log(), (std::vector<std::string>{Stamp() + " ... Directorul de lucru este inactiv",
                                               Stamp() + " ... Rulez " + script}));
    ASSERT_TRUE(WaitForFile(started));
    broker.TimerTimer();
    broker.TimerTimer();
    EXPECT_EQ(Started(), 1u);

    WriteFileReplacing(stop, "");
    ASSERT_TRUE(WaitForFile(done));
    EXPECT_TRUE(TickUntilStarted(2));  // once it has ended, the next tick starts it again
    EXPECT_TRUE(TickUntilStarted(3));  // and so on, every tick of the outage
    // Each run adds a line on its way out; the folders go only once all have ended.
    auto ended = [&] {
        try {
            return ReadWholeFile(done);
        } catch (const std::exception&) {
            return std::string();  // being written
        }
    };
    for (int i = 0; i < 300 && ended().size() < 3 * 3; ++i) Sleep(50);
    EXPECT_EQ(ended(), "x\r\nx\r\nx\r\n");
}

}  // namespace
