// Package file access: waiting until the writer lets go, reading, and the server list.
#include "packages/PackageFile.h"

#include <windows.h>

#include <new>
#include <utility>

#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/BrokerError.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "packages/PackageKinds.h"
#include "server/ServerList.h"

namespace {

constexpr ULONGLONG kWaitLimitMs = 5000;
constexpr DWORD kRetryPauseMs = 20;

// The open fails while another process holds the file for writing. The wait runs on
// a monotonic clock, so a clock change cannot cut it short or stretch it.
bool OpensWithin(const std::wstring& path, ULONGLONG limitMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) return true;
        if (GetTickCount64() - start >= limitMs) return false;
        Sleep(kRetryPauseMs);
    }
}

}  // namespace

bool TEBroker::WaitOpenPackage(const std::string& path, const PackageKind& kind) {
    const bool opened = OpensWithin(Wide(path), kWaitLimitMs);
    // The writer may have added to the package during the wait: the journal must name
    // what the server is given, or a restart would take it for a new package.
    if (opened && FJournal.inHand && !RecordInHand(FJournal.inHand->name)) throw InHandNotSaved();
    LogMessage("");
    LogMessage("");
    LogStamped(opened ? kind.opened : kind.notOpened);
    return opened;
}

PackageLines ReadPackage(const std::string& path) {
    std::string content = ReadWholeFile(path);
    try {
        return PackageLines(std::move(content), ServiceEncoding() == TextEncoding::Utf8);
    } catch (const std::bad_alloc&) {
        throw BrokerError("Not enough memory for the lines of \"" + path + "\"");
    }
}

// Bytes that are not UTF-8 where UTF-8 is due: the sender reads why in the error file, and
// the error, raised before any server call, sets a package aside and reaches the operator.
void TEBroker::RefuseText(size_t badLine) const {
    const std::string text = NotUtf8Text(badLine);
    WriteFileReplacing(ErrorFilePath(), JoinLines({text}));
    throw BrokerError(text);
}

UniqueVariant ToServerList(const std::vector<std::string_view>& lines) {
    return ToServerList(lines, ServiceEncoding());
}

UniqueVariant ToServerList(const PackageLines& package) {
    return ToServerList(package.lines(), EncodingOf(package));
}

UniqueVariant ToServerList(const std::vector<std::string_view>& lines, TextEncoding encoding) {
    try {
        return MakeServerList(lines, encoding);
    } catch (const std::bad_alloc&) {
        throw BrokerError("Not enough memory to hand the package's " + std::to_string(lines.size()) +
                          " lines to the server");
    }
}
