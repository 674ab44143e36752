// The activity log: every line goes to the view and to LOG.TXT in the working directory.
#include <windows.h>

#include "app/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"

namespace {

constexpr char kLinePrefix[] = "Ver. 3.1 -  ";

// The view shows the newest part of the log only, so that adding a line costs the
// same after months of running; LOG.TXT keeps everything.
constexpr size_t kViewLimit = 64 * 1024;
constexpr size_t kViewKeep = 32 * 1024;

// Where the view's text begins in the log: the first whole line of its last kViewKeep
// bytes; failing that, the newest line's beginning, or, for a line longer than the view,
// kViewKeep bytes before its end.
size_t ViewTailStart(const std::string& log) {
    if (log.size() <= kViewLimit) return 0;
    const size_t keepFrom = log.size() - kViewKeep;
    const size_t lineEnd = log.find("\r\n", keepFrom);
    if (lineEnd + 2 < log.size()) return lineEnd + 2;
    const size_t previousEnd = log.rfind("\r\n", log.size() - 3);
    const size_t newest = previousEnd == std::string::npos ? 0 : previousEnd + 2;
    return log.size() - newest <= kViewLimit ? newest : keepFrom;
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

// The view holds the tail of the log (all of it while that is short) and shows its
// newest line. What it holds is asked of the control itself: a control that refused
// the text (out of room, say) gets the tail again instead of going stale.
void TEBroker::AppendToView(const std::string& line) {
    if (!Messages) return;
    const std::wstring text = Wide(line) + L"\r\n";
    const size_t before = size_t(GetWindowTextLengthW(Messages));
    if (before + text.size() > kViewLimit) {
        ShowLogTail();
    } else {
        SendMessageW(Messages, EM_SETSEL, WPARAM(before), LPARAM(before));
        SendMessageW(Messages, EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
        if (size_t(GetWindowTextLengthW(Messages)) != before + text.size()) ShowLogTail();
    }
    ScrollViewToEnd();
}

// Fills the view with the whole log while it fits, else from a whole line near its end.
// The newest line is always shown: whole when it fits the view, else its end.
void TEBroker::ShowLogTail() {
    SetWindowTextW(Messages, Wide(std::string_view(FLogText).substr(ViewTailStart(FLogText))).c_str());
}

void TEBroker::ScrollViewToEnd() {
    if (!Messages) return;
    const LPARAM end = GetWindowTextLengthW(Messages);
    SendMessageW(Messages, EM_SETSEL, WPARAM(end), end);
    SendMessageW(Messages, EM_SCROLLCARET, 0, 0);
}

void TEBroker::LogStamped(std::string_view text) { LogMessage(TimeStamp().append(text)); }
