// The main window: its creation, components, messages, and the start-up and closing
// handlers of the service.
#include "app/Broker.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "app/BusyScope.h"
#include "base/AnsiText.h"
#include "base/AppTitle.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "server/DocumentServer.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TEBroker";
constexpr wchar_t kCaption[] = L"Generator comenzi Velquoria - ver.3.1";
constexpr int kDesignDpi = 120;
constexpr int kButtonId = 1;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 1000;

// Designed geometry, in pixels at 120 pixels per inch.
constexpr RECT kWindowRect = {482, 464, 482 + 595, 464 + 316};
constexpr RECT kButtonRect = {2, 1, 2 + 176, 1 + 31};
constexpr int kViewTop = 32;

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Ansi(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

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

TEBroker::TEBroker() : FExeDir(FolderOf(ExecutablePath())) {}

TEBroker::~TEBroker() {
    if (FWindow) DestroyWindow(FWindow);  // before its fonts go
}

bool TEBroker::Create(HINSTANCE instance, int showCommand) {
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
    if (!FWindow) return false;
    ShowWindow(FWindow, showCommand);
    return true;
}

int TEBroker::Scaled(int designed) const { return MulDiv(designed, FDpi, kDesignDpi); }

LRESULT CALLBACK TEBroker::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TEBroker*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->FWindow = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TEBroker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TEBroker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_TIMER: OnTimer(); return 0;
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

void TEBroker::CreateComponents() {
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
    Timer = SetTimer(FWindow, kTimerId, kTimerInterval, nullptr);
}

// Every handler the window runs goes through here: an error of any kind is shown, never
// let through the message loop; a close that waited for the request in hand goes ahead
// once the handler is done.
template <class Handler>
void TEBroker::RunHandler(Handler handler) {
    try {
        handler();
    } catch (...) {
        ShowError(CurrentErrorText());
    }
    // Posted, not done here: this may still be inside the window's own creation.
    if (FCloseRequested && !FBusy && FWindow) PostMessageW(FWindow, WM_CLOSE, 0, 0);
}

// Start-up calls the server, which may serve this thread's messages: a close that
// arrives meanwhile waits for start-up as it would for a request.
void TEBroker::OnCreate() {
    CreateComponents();
    RunHandler([this] {
        BusyScope busy(FBusy);
        FormCreate();
    });
}

void TEBroker::OnSize(WPARAM kind) {
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

void TEBroker::OnTimer() {
    RunHandler([this] { TimerTimer(); });
}

void TEBroker::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != kButtonId || HIWORD(wParam) != BN_CLICKED ||
        reinterpret_cast<HWND>(lParam) != ImportSolduri)
        return;
    RunHandler([this] { ImportSolduriClick(); });
}

// A server call may serve this thread's messages, so a close can arrive while a handler
// is still on the stack. Closing then would take the settings and the server from under
// it: the request or export in hand finishes and is disposed of first.
void TEBroker::OnClose() {
    if (FBusy) {
        FCloseRequested = true;
        return;
    }
    FormClose();
    DestroyWindow(FWindow);
}

void TEBroker::OnDestroy() {
    KillTimer(FWindow, kTimerId);
    try {
        FormDestroy();
    } catch (...) {
        // Nobody is left to tell: the window is going.
    }
    FServer.reset();  // before COM is shut down on this thread
    PostQuitMessage(0);
}

void TEBroker::ShowError(const std::string& text) {
    if (FErrorBoxOpen || FCloseRequested) {  // no box to wait for while the window is closing
        try {
            LogStamped(" ... " + text);
        } catch (...) {
            // The log file itself may be what fails; the view has the line.
        }
        return;
    }
    FErrorBoxOpen = true;
    std::wstring title = Wide(ApplicationTitle(ExecutablePath()));
    MessageBoxW(FWindow, Wide(text).c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    FErrorBoxOpen = false;
}

void TEBroker::FormCreate() {
    FGestiuni.clear();
    LoadSettings();
    FServer = FCreateServer ? FCreateServer() : CreateDocumentServer();
    CheckServer(FServer->SetTipIDPartener(MakeBstr("CODINTERN").get()));
    std::string partnerKind = UpperAscii(FPartnerIdKind);
    if (partnerKind == "CODFISCAL" || partnerKind == "CODEXTERN")
        CheckServer(FServer->SetTipIDPartener(MakeBstr(partnerKind).get()));
    bool external = UpperAscii(FArticleIdKind) == "CODEXTERN";
    CheckServer(FServer->SetTipIDArticol(MakeBstr(external ? "CODEXTERN" : "CODINTERN").get()));
    if (FCompany == "?") return;  // the server keeps the company it chose itself
    LONG ok = 0;
    CheckServer(FServer->SetFirmaLucru(MakeBstr(FCompany).get(), &ok));
    if (ok == 0) ReportServerErrors(true, false);
}

void TEBroker::FormClose() { FGestiuni.clear(); }

void TEBroker::FormDestroy() {
    if (DirectoryExists(FWorkDir)) FLogFile.Save(FWorkDir + "\\LOG.TXT", FLogText);
}
