// Program entry: one copy at a time, COM on this thread, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Broker.h"
#include "base/AnsiText.h"
#include "base/AppTitle.h"
#include "base/Owners.h"

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
    const UniqueComApartment apartment(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    if (!apartment) return 1;
    TEBroker broker;  // EBroker; declared after the apartment, so its server goes first
    if (!broker.Create(instance, SW_SHOWMINNOACTIVE)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager gives the window its access key (Alt+I) and Tab.
        if (broker.Window() && IsDialogMessageW(broker.Window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
