// The operator's window: its creation, components, messages, keys and error boxes.
#include "window/BrokerWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "base/AnsiText.h"
#include "base/AppTitle.h"
#include "base/FileSystem.h"
#include "core/MessageLoop.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TEBroker";
constexpr wchar_t kCaption[] = L"Generator comenzi Velquoria - ver.3.1";
constexpr int kDesignDpi = 120;
constexpr int kButtonId = 1;

// Designed geometry, in pixels at 120 pixels per inch.
constexpr RECT kWindowRect = {482, 464, 482 + 595, 464 + 316};
constexpr RECT kButtonRect = {2, 1, 2 + 176, 1 + 31};
constexpr int kViewTop = 32;

// The exit code of a window copy that a request in hand kept from closing for a minute.
constexpr UINT kStopOverdueExitCode = 3;

void EndStopOverdue() { TerminateProcess(GetCurrentProcess(), kStopOverdueExitCode); }

HFONT MakeFont(int height, bool bold) {
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"MS Sans Serif");
}

// The room a push button needs for its caption in the font it really got (the designed
// face may be missing and another one wider): the text, its frame and a margin.
SIZE ButtonRoom(HWND button, HFONT font) {
    wchar_t caption[64] = L"";
    GetWindowTextW(button, caption, 64);
    RECT text{};
    UniqueScreenDc screen(GetDC(nullptr));
    HGDIOBJ previous = SelectObject(screen.get(), font);
    ScopeExit restore([&] { SelectObject(screen.get(), previous); });
    DrawTextW(screen.get(), caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);  // "&" takes no room
    const int margin = text.bottom / 2;
    return {text.right + 2 * (GetSystemMetrics(SM_CXEDGE) + margin),
            text.bottom + 2 * (GetSystemMetrics(SM_CYEDGE) + margin / 2)};
}

// The view is read only, and in dialog mode a multi-line edit posts a close to its
// parent on Esc: no key typed into it may close the window or press the button.
LRESULT CALLBACK ViewKeys(HWND view, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const bool key = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
    if (key && (wParam == VK_ESCAPE || wParam == VK_RETURN)) return 0;
    return DefSubclassProc(view, message, wParam, lParam);
}

}  // namespace

BrokerWindow::BrokerWindow(TEBroker& broker) : FBroker(broker) {
    FBroker.AttachFrontEnd(this);
    FBroker.FStopOverdue = EndStopOverdue;
}

BrokerWindow::~BrokerWindow() {
    if (FWindow) DestroyWindow(FWindow);  // before its fonts go
    FBroker.AttachFrontEnd(nullptr);
}

bool BrokerWindow::Create(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);  // already registered by an earlier object is fine

    FDpi = GetDeviceCaps(UniqueScreenDc(GetDC(nullptr)).get(), LOGPIXELSY);

    CreateWindowExW(0, kWindowClass, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    Scaled(kWindowRect.left), Scaled(kWindowRect.top),
                    Scaled(kWindowRect.right - kWindowRect.left),
                    Scaled(kWindowRect.bottom - kWindowRect.top), nullptr, nullptr, instance, this);
    if (!FWindow) return FBroker.StopRequested();  // closed under start-up's box: it ended as asked
    ShowWindow(FWindow, showCommand);
    return true;
}

int BrokerWindow::Scaled(int designed) const { return MulDiv(designed, FDpi, kDesignDpi); }

LRESULT CALLBACK BrokerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<BrokerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->FWindow = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<BrokerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT BrokerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: OnSize(wParam); return 0;
    case WM_SETFOCUS: SetFocus(ImportSolduri); return 0;
    case WM_NEXTDLGCTL: {  // Tab from the view, as a dialog box would move on
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(FWindow, GetFocus(), wParam != 0);
        if (next) SetFocus(next);
        return 0;
    }
    case WM_TIMER: wParam == kViewTimerId ? ShowPendingLines() : FBroker.Tick(); return 0;
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: {
        HWND window = std::exchange(FWindow, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        Messages = ImportSolduri = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return DefWindowProcW(FWindow, message, wParam, lParam);
}

void BrokerWindow::CreateComponents() {
    FWindowFont.reset(MakeFont(Scaled(14), true));
    FViewFont.reset(MakeFont(Scaled(15), false));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ImportSolduri = CreateWindowExW(
        0, L"BUTTON", L"&Import solduri parteneri", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
        Scaled(kButtonRect.left), Scaled(kButtonRect.top), Scaled(kButtonRect.right - kButtonRect.left),
        Scaled(kButtonRect.bottom - kButtonRect.top), FWindow, reinterpret_cast<HMENU>(INT_PTR(kButtonId)),
        instance, nullptr);
    // No scroll bars; without ES_AUTOVSCROLL the control would refuse a line past its height.
    Messages =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0,
                        Scaled(kViewTop), 0, 0, FWindow, nullptr, instance, nullptr);
    SendMessageW(ImportSolduri, WM_SETFONT, WPARAM(FWindowFont.get()), FALSE);
    SendMessageW(Messages, WM_SETFONT, WPARAM(FViewFont.get()), FALSE);
    SendMessageW(Messages, EM_SETLIMITTEXT, 1 << 20, 0);  // the view keeps far less
    SetWindowSubclass(Messages, ViewKeys, 0, 0);
    SIZE room = ButtonRoom(ImportSolduri, FWindowFont.get());
    SetWindowPos(
        ImportSolduri, nullptr, 0, 0, std::max(int(room.cx), Scaled(kButtonRect.right - kButtonRect.left)),
        std::max(int(room.cy), Scaled(kButtonRect.bottom - kButtonRect.top)), SWP_NOMOVE | SWP_NOZORDER);
    OnSize(SIZE_RESTORED);
    Timer = SetTimer(FWindow, kTickTimerId, kTickIntervalMs, nullptr);
}

void BrokerWindow::OnCreate() {
    CreateComponents();
    FBroker.Start();
}

void BrokerWindow::OnSize(WPARAM kind) {
    // A view of no size drops what is added to it, so it keeps its size while minimized.
    if (kind == SIZE_MINIMIZED) return;
    RECT client{}, button{};
    GetClientRect(FWindow, &client);
    GetWindowRect(ImportSolduri, &button);
    MapWindowPoints(nullptr, FWindow, reinterpret_cast<POINT*>(&button), 2);
    const int top = std::max(Scaled(kViewTop), int(button.bottom));
    if (client.right <= 0 || client.bottom <= top) return;
    MoveWindow(Messages, 0, top, client.right, client.bottom - top, TRUE);
    ScrollViewToEnd();  // back from minimized, the newest line is what the operator wants to see
}

void BrokerWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != kButtonId || HIWORD(wParam) != BN_CLICKED ||
        reinterpret_cast<HWND>(lParam) != ImportSolduri)
        return;
    FBroker.ExportBalances();
}

// A close while a request or the export is in hand waits for it (StopReady).
void BrokerWindow::OnClose() {
    if (!FBroker.RequestStop()) return;
    FBroker.Stop();
    DestroyWindow(FWindow);
}

void BrokerWindow::StopReady() {
    if (FWindow) PostMessageW(FWindow, WM_CLOSE, 0, 0);  // this may still be inside the window's creation
}

void BrokerWindow::OnDestroy() {
    KillTimer(FWindow, kTickTimerId);
    PostQuitMessage(0);
}

void BrokerWindow::ErrorLeft(const std::string& text) {
    if (FErrorBoxOpen || FBroker.StopRequested()) {
        FBroker.LogErrorLine(text);
        return;
    }
    ShowBox(text, MB_ICONERROR);
}

// Its line is in the log: a box already open, or a close under way, leaves it there.
void BrokerWindow::ShowLogged(const std::string& text, bool warning) {
    if (FErrorBoxOpen || FBroker.StopRequested()) return;
    ShowBox(text, warning ? MB_ICONWARNING : MB_ICONERROR);
}

void BrokerWindow::ShowBox(const std::string& text, UINT icon) {
    FErrorBoxOpen = true;
    std::wstring title = Wide(ApplicationTitle(Ansi(ExecutablePath())));
    MessageBoxW(FWindow, Wide(text).c_str(), title.c_str(), MB_OK | icon);
    FErrorBoxOpen = false;
}

int BrokerWindow::Run() {
    // The dialog manager gives the window its access key (Alt+I) and Tab.
    return RunMessageLoop(FBroker, [this](MSG& message) { return FWindow && IsDialogMessageW(FWindow, &message); });
}
