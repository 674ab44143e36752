// The message loop that a front end runs over the service's work.
#include "core/MessageLoop.h"

int RunMessageLoop(TEBroker& broker, const std::function<bool(MSG&)>& handled) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return int(message.wParam);
            if (handled && handled(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Messages first, so the window stays alive while a backlog drains.
        if (broker.TickDue()) {
            broker.Tick(TEBroker::TickCause::Again);
            continue;
        }
        HANDLE watch = broker.ChangeEvent();
        if (MsgWaitForMultipleObjectsEx(watch ? 1 : 0, &watch, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
                WAIT_OBJECT_0 &&
            watch)
            broker.DirectoryChanged();
    }
}
