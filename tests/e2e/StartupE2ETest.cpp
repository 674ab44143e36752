// Start-up and closing of the real program under Wine.
#include <gtest/gtest.h>

#include "support/ServiceProcess.h"

namespace {

TEST(StartupE2ETest, CompleteSettingsStartAndCloseAddNoLogLine) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    Sleep(2500);  // a couple of idle ticks
    EXPECT_EQ(service.ViewText(), "");
    EXPECT_TRUE(ServiceProcess::Dialogs(service.ProcessId()).empty());
    service.Close();
    EXPECT_EQ(service.Exists("LOG.TXT") ? service.Read("LOG.TXT") : "", "");
}

TEST(StartupE2ETest, StartWithoutSettingsShowsTheTwoSettingsMessages) {
    ServiceProcess service;
    service.Start();
    std::string view = service.ViewText();
    EXPECT_NE(view.find("Ver. 3.1 -  Nu ai precizat in VQBroker.Ini directorul de lucru"), std::string::npos)
        << view;
    EXPECT_NE(view.find("Ver. 3.1 -  Nu ai precizat in VQBroker.Ini firma de lucru"), std::string::npos)
        << view;
    service.Close();
}

TEST(StartupE2ETest, SecondCopySaysItIsAlreadyRunningAndEnds) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    PROCESS_INFORMATION second = service.Launch();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            auto boxes = ServiceProcess::Dialogs(second.dwProcessId);
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr && !ServiceProcess::DialogText(box).empty();
        },
        20000));
    EXPECT_EQ(ServiceProcess::DialogText(box), "Aplicatia deja lucreaza");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    EXPECT_TRUE(service.Running());
    EXPECT_TRUE(IsWindow(service.MainWindow()));
    service.Close();
}

TEST(StartupE2ETest, ServerThatCannotBeCreatedShowsOneErrorBoxThenTheWindowOpens) {
    ServiceProcess service(false);
    service.WriteIni(service.DefaultIni());
    PROCESS_INFORMATION process = service.Launch();
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil(
        [&] {
            boxes = ServiceProcess::Dialogs(process.dwProcessId);
            return !boxes.empty() && !ServiceProcess::DialogText(boxes.front()).empty();
        },
        20000));
    Sleep(3000);  // ticks go on meanwhile: they must not open boxes of their own
    boxes = ServiceProcess::Dialogs(process.dwProcessId);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(ServiceProcess::DialogText(boxes.front()).empty());
    PostMessageW(boxes.front(), WM_COMMAND, IDOK, 0);
    HWND window = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            window = FindWindowW(L"TEBroker", nullptr);
            return window && IsWindowVisible(window);
        },
        10000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace
