// Program entry: one copy at a time, COM on this thread, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "base/AppTitle.h"
#include "app/Broker.h"
#include "base/AnsiText.h"

namespace {

std::wstring Title() {
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Wide(ApplicationTitle(Ansi(path)));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Never released or closed: it goes with the process, so the next copy can start
    // only after this one has ended.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"VQBroker");
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, L"Aplicatia deja lucreaza", Title().c_str(), MB_OK);
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        TEBroker broker;  // EBroker
        if (broker.Create(instance, SW_SHOWMINNOACTIVE)) {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                // The dialog manager gives the window its access key (Alt+I) and Tab.
                if (broker.Window() && IsDialogMessageW(broker.Window(), &message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }  // the server reference goes before COM does
    CoUninitialize();
    return 0;
}
