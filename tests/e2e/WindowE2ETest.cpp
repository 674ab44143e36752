// What the operator meets on the window: the view keeps up with the log, the keys work.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "support/ServiceProcess.h"

namespace {

HWND Focus(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

TEST(WindowE2ETest, ViewShowsTheNewestLineAndTheKeysReachTheButton) {
    ServiceProcess service;
    service.WriteIni(service.DefaultIni());
    service.Start();
    // Fifteen refused packages, four lines or more each, while the window is minimized.
    for (int n = 1; n <= 15; ++n)
        service.Put("COMANDA_" + std::to_string(n) + ".TXT", "nu este un pachet\r\n");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return SplitTextLines(ReadShared(service.Path("LOG.TXT"))).size() >= 60 &&
                   !service.Exists("COMANDA_15.TXT");
        },
        60000));
    Sleep(1500);  // the last package's lines are all logged

    const HWND window = service.MainWindow();
    const HWND view = FindWindowExW(window, nullptr, L"EDIT", nullptr);
    const HWND button = FindWindowExW(window, nullptr, L"BUTTON", nullptr);
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(service.ViewText(), ReadShared(service.Path("LOG.TXT")));
    const LRESULT lines = SendMessageW(view, EM_GETLINECOUNT, 0, 0);  // the last one is empty
    const LRESULT newest = SendMessageW(view, EM_LINEINDEX, WPARAM(lines - 2), 0);
    const int top = short(HIWORD(SendMessageW(view, EM_POSFROMCHAR, WPARAM(newest), 0)));
    RECT client{};
    GetClientRect(view, &client);
    EXPECT_GT(SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_GE(top, 0);
    EXPECT_LT(top, client.bottom);

    EXPECT_TRUE(WaitUntil([&] { return Focus(service.ThreadId()) == button; }, 5000));
    PostMessageW(button, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitUntil([&] { return Focus(service.ThreadId()) == view; }, 5000));
    PostMessageW(view, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(WaitUntil([&] { return Focus(service.ThreadId()) == button; }, 5000));
    // Esc and Enter in the view neither close the window nor press the button.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageW(view, WM_KEYDOWN, key, 0);
        PostMessageW(view, WM_CHAR, key, 0);
        PostMessageW(view, WM_KEYUP, key, LPARAM(3) << 30);
    }
    service.Put("GETLISTAGESTIUNI.TXT", "");
    EXPECT_TRUE(WaitUntil([&] { return !service.Exists("GETLISTAGESTIUNI.TXT"); }, 10000));
    EXPECT_TRUE(service.Running());
    EXPECT_FALSE(service.Exists("SOLDURI.TXT"));
    PostMessageW(view, WM_SYSCHAR, 'i', LPARAM(1) << 29);  // Alt+I
    EXPECT_TRUE(WaitUntil([&] { return service.Exists("SOLDURI.TXT"); }, 10000));
    service.Close();
}

}  // namespace
