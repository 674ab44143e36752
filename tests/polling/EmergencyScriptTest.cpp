// The emergency script: started hidden on outage ticks, never twice at a time.
#include <windows.h>

#include <algorithm>

#include "base/AnsiText.h"
#include "base/FileSystem.h"

#include "PollingTest.h"

namespace {

using EmergencyScriptTest = PollingTest;

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 300 && !FileExists(path); ++i) Sleep(50);
    return FileExists(path);
}

TEST_F(EmergencyScriptTest, StartedOnOutageTicksOnlyWhenThereAndNotStillRunning) {
    Start();
    TakeAway();
    const std::string script = exeDir + "Avarie.bat",
                      inactive = Stamp() + " ... Directorul de lucru este inactiv",
                      started = exeDir + "started.txt", stop = exeDir + "stop.txt",
                      done = exeDir + "done.txt";
    broker.TimerTimer();
    broker.TimerTimer();
    EXPECT_EQ(Log(), (TextList{inactive})) << "a missing script starts nothing";

    // Runs until told to stop, or until its folder goes with the test; adds a line on its way out.
    WriteFileReplacing(script, "@echo off\r\necho x>\"" + started + "\"\r\n:wait\r\nif exist \"" + stop +
                                   "\" goto end\r\nif exist \"" + started +
                                   "\" goto wait\r\n:end\r\necho x>>\"" + done + "\"\r\n");
    broker.TimerTimer();
    EXPECT_EQ(Log(), (TextList{inactive, Stamp() + " ... Rulez " + script}));
    ASSERT_TRUE(WaitForFile(started));
    auto runs = [&] {
        const TextList log = Log();
        return std::count(log.begin(), log.end(), Stamp() + " ... Rulez " + script);
    };
    broker.TimerTimer();
    broker.TimerTimer();
    EXPECT_EQ(runs(), 1) << "started again while still running";

    WriteFileReplacing(stop, "");
    ASSERT_TRUE(WaitForFile(done));
    // Once it has ended, the next tick starts it again, and so on, every tick of the outage.
    for (int i = 0; i < 300 && runs() < 3; ++i) {
        broker.TimerTimer();
        Sleep(50);
    }
    EXPECT_EQ(runs(), 3);
    // The folders go only once every run has ended.
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
