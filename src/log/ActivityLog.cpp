// The activity log: every line goes to the view and to LOG.TXT in the working directory.
#include <windows.h>

#include "app/Broker.h"
#include "app/FileSystem.h"
#include "server/AnsiText.h"

namespace {

constexpr char kLinePrefix[] = "Ver. 3.1 -  ";

// The view shows the newest part of the log only, so that adding a line costs the
// same after months of running; LOG.TXT keeps everything.
constexpr size_t kViewLimit = 64 * 1024;
constexpr size_t kViewKeep = 32 * 1024;

std::string LocaleTimeSeparator() {
    wchar_t separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 8);
    return Ansi(separator);
}

}  // namespace

void TEBroker::LogMessage(const std::string& text) {
    std::string line = kLinePrefix + text;
    FLogText.append(line).append("\r\n");
    AppendToView(line);
    if (!DirectoryExists(FWorkDir)) {
        FLogFile.Forget();
        return;
    }
    FLogFile.Save(FWorkDir + "\\LOG.TXT", FLogText);
}

void TEBroker::AppendToView(const std::string& line) {
    if (!Messages) return;
    std::wstring text = Wide(line) + L"\r\n";
    if (FViewChars + text.size() > kViewLimit) {
        // Start the view again from a whole line near the end of the log.
        size_t from = FLogText.size() > kViewKeep ? FLogText.size() - kViewKeep : 0;
        if (from > 0) from = FLogText.find("\r\n", from) + 2;
        std::wstring tail = Wide(std::string_view(FLogText).substr(from));
        SetWindowTextW(Messages, tail.c_str());
        FViewChars = tail.size();
    } else {
        SendMessageW(Messages, EM_SETSEL, WPARAM(FViewChars), LPARAM(FViewChars));
        SendMessageW(Messages, EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
        FViewChars += text.size();
    }
    SendMessageW(Messages, EM_SETSEL, WPARAM(FViewChars), LPARAM(FViewChars));
    SendMessageW(Messages, EM_SCROLLCARET, 0, 0);
}

LocalTime TEBroker::Now() const {
    if (FClock) return FClock();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string TEBroker::TimeStamp() const {
    static const std::string separator = LocaleTimeSeparator();
    return FormatTimeStamp(Now(), separator);
}
