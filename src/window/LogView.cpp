// The log view: the newest part of the activity log, its newest line in sight.
#include <windows.h>

#include <utility>

#include "base/AnsiText.h"
#include "window/BrokerWindow.h"

namespace {

// The view shows the newest part of the log only, so that adding a line costs the
// same after months of running; LOG.TXT and LOGURI keep the rest.
constexpr size_t kViewLimit = 64 * 1024;
constexpr size_t kViewKeep = 32 * 1024;
static_assert(LogStore::kRecentBytes > kViewLimit, "a cut log starts beyond the view, at a whole line");

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

// The edit control lays out its whole text again at each change, which under Wine takes
// milliseconds: lines logged close together, a request's or a backlog's, are one change, made
// once the thread is back in its message loop (a timer's message waits for a server call).
void BrokerWindow::LineLogged(const std::string& line) {
    if (FViewPending.size() <= kViewLimit) FViewPending.append(line).append("\r\n");  // else the log's tail
    if (!FViewDue && FWindow) FViewDue = SetTimer(FWindow, kViewTimerId, kViewDelayMs, nullptr) != 0;
    if (!FViewDue) ShowPendingLines();
}

void BrokerWindow::ShowPendingLines() {
    if (FViewDue && FWindow) KillTimer(FWindow, kViewTimerId);
    FViewDue = false;
    if (!FViewPending.empty()) AppendToView(std::exchange(FViewPending, {}));
}

// The view holds the tail of the log (all of it while that is short) and shows its
// newest line. What it holds is asked of the control itself: a control that refused
// the text (out of room, say) gets the tail again instead of going stale.
void BrokerWindow::AppendToView(const std::string& lines) {
    if (!Messages) return;
    const std::wstring text = Wide(lines);
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
void BrokerWindow::ShowLogTail() {
    const std::string log = FBroker.RecentLog();  // more than the view holds, across days
    SetWindowTextW(Messages, Wide(std::string_view(log).substr(ViewTailStart(log))).c_str());
}

void BrokerWindow::ScrollViewToEnd() {
    if (!Messages) return;
    const LPARAM end = GetWindowTextLengthW(Messages);
    SendMessageW(Messages, EM_SETSEL, WPARAM(end), end);
    SendMessageW(Messages, EM_SCROLLCARET, 0, 0);
}
