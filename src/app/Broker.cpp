// The main window: its creation, components, messages, and the start-up and closing
// handlers of the service.
#include "app/Broker.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "app/AppTitle.h"
#include "app/FileSystem.h"
#include "app/Text.h"
#include "server/AnsiText.h"
#include "server/BrokerError.h"
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
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
}

}  // namespace

TEBroker::TEBroker() : FExeDir(FolderOf(ExecutablePath())) {}

TEBroker::~TEBroker() {
    if (FWindow) DestroyWindow(FWindow);
    if (FWindowFont) DeleteObject(FWindowFont);
    if (FViewFont) DeleteObject(FViewFont);
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

    HDC screen = GetDC(nullptr);
    FDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

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
    FWindowFont = MakeFont(Scaled(14), true);
    FViewFont = MakeFont(Scaled(15), false);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ImportSolduri = CreateWindowExW(0, L"BUTTON", L"&Import solduri parteneri",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    Scaled(kButtonRect.left), Scaled(kButtonRect.top),
                                    Scaled(kButtonRect.right - kButtonRect.left),
                                    Scaled(kButtonRect.bottom - kButtonRect.top), FWindow,
                                    reinterpret_cast<HMENU>(INT_PTR(kButtonId)), instance, nullptr);
    Messages = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0,
                               Scaled(kViewTop), 0, 0, FWindow, nullptr, instance, nullptr);
    SendMessageW(ImportSolduri, WM_SETFONT, WPARAM(FWindowFont), FALSE);
    SendMessageW(Messages, WM_SETFONT, WPARAM(FViewFont), FALSE);
    SendMessageW(Messages, EM_SETLIMITTEXT, 1 << 20, 0);  // the view keeps far less
    OnSize(SIZE_RESTORED);
    Timer = SetTimer(FWindow, kTimerId, kTimerInterval, nullptr);
}

void TEBroker::OnCreate() {
    CreateComponents();
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TEBroker::OnSize(WPARAM kind) {
    // A view of no size drops what is added to it, so it keeps its size while minimized.
    if (kind == SIZE_MINIMIZED) return;
    RECT client{};
    GetClientRect(FWindow, &client);
    int top = Scaled(kViewTop);
    if (client.right <= 0 || client.bottom <= top) return;
    MoveWindow(Messages, 0, top, client.right, client.bottom - top, TRUE);
}

void TEBroker::OnTimer() {
    try {
        TimerTimer();
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TEBroker::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != kButtonId || HIWORD(wParam) != BN_CLICKED ||
        reinterpret_cast<HWND>(lParam) != ImportSolduri)
        return;
    try {
        ImportSolduriClick();
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TEBroker::OnClose() {
    FormClose();
    DestroyWindow(FWindow);
}

void TEBroker::OnDestroy() {
    KillTimer(FWindow, kTimerId);
    try {
        FormDestroy();
    } catch (const std::exception&) {
        // Nobody is left to tell: the window is going.
    }
    FServer.reset();  // before COM is shut down on this thread
    PostQuitMessage(0);
}

void TEBroker::ShowError(const std::string& text) {
    if (FErrorBoxOpen) {
        try {
            LogMessage(TimeStamp() + " ... " + text);
        } catch (const std::exception&) {
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
    Check(FServer->SetTipIDPartener(MakeBstr("CODINTERN").get()));
    std::string partnerKind = UpperAscii(FPartnerIdKind);
    if (partnerKind == "CODFISCAL" || partnerKind == "CODEXTERN")
        Check(FServer->SetTipIDPartener(MakeBstr(partnerKind).get()));
    bool external = UpperAscii(FArticleIdKind) == "CODEXTERN";
    Check(FServer->SetTipIDArticol(MakeBstr(external ? "CODEXTERN" : "CODINTERN").get()));
    if (FCompany == "?") return;  // the server keeps the company it chose itself
    LONG ok = 0;
    Check(FServer->SetFirmaLucru(MakeBstr(FCompany).get(), &ok));
    if (ok == 0) ReportServerErrors(true, false);
}

void TEBroker::FormClose() { FGestiuni.clear(); }

void TEBroker::FormDestroy() {
    if (DirectoryExists(FWorkDir)) FLogFile.Save(FWorkDir + "\\LOG.TXT", FLogText);
}
