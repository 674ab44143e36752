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
UniqueFile OpenWithin(const std::wstring& path, ULONGLONG limitMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        UniqueFile file(OpenPassingLocks(path, GENERIC_READ, FILE_SHARE_READ, LockWait::None));
        if (file.valid() || GetLastError() == ERROR_FILE_NOT_FOUND || GetTickCount64() - start >= limitMs)
            return file;
        Sleep(kRetryPauseMs);
    }
}

}  // namespace

bool TEBroker::WaitOpenPackage(const std::wstring& path, const PackageKind& kind) {
    std::string content;
    return WaitReadPackage(path, kind, content);
}

// One open for both the wait and the read: once open, nobody else can write the package, so
// what is read is what the journal names and what the server is given.
bool TEBroker::WaitReadPackage(const std::wstring& path, const PackageKind& kind, std::string& content) {
    const UniqueFile file = OpenWithin(path, kWaitLimitMs);
    const bool opened = file.valid();
    if (!opened && GetLastError() == ERROR_FILE_NOT_FOUND) throw PackageGone();  // since the listing
    if (opened) {
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        const WorkListing::Entry* listed = FDirListed ? FListing.Find(name) : nullptr;
        uint64_t lastWrite = 0;
        if (!LastWriteOf(file.get(), lastWrite)) ThrowFileError("Cannot read file", path);
        content = ReadOpenFile(file.get(), path, listed ? listed->size : 0);
        // The writer may have added to the package during the wait: the journal must name
        // what the server is given, or a restart would take it for a new package.
        if (FJournal.inHand && !RecordInHand({FJournal.inHand->name, content.size(), lastWrite}))
            throw InHandNotSaved();
    }
    LogMessage("");
    LogMessage("");
    LogStamped(opened ? kind.opened : kind.notOpened);
    return opened;
}

// Every package kind opens alike: its error file goes, it is waited for and read, and a line
// that is not text of the files' encoding refuses it. Null when it could not be opened; the
// lines stay where they were made, their views into its bytes.
std::unique_ptr<const PackageLines> TEBroker::OpenPackage(const std::wstring& path, const PackageKind& kind) {
    RemoveListed(ErrorFilePath());
    std::string content;
    if (!WaitReadPackage(path, kind, content)) return nullptr;
    std::unique_ptr<const PackageLines> package(new PackageLines(ReadPackage(std::move(content), path)));
    if (package->badLine()) RefuseText(package->badLine());
    return package;
}

PackageLines ReadPackage(std::string content, const std::wstring& path) {
    try {
        return PackageLines(std::move(content), ServiceEncoding() == TextEncoding::Utf8);
    } catch (const std::bad_alloc&) {
        throw BrokerError("Not enough memory for the lines of \"" + Ansi(path) + "\"");
    }
}

PackageLines ReadPackage(const std::wstring& path) { return ReadPackage(ReadWholeFile(path), path); }

// Bytes that are not UTF-8 where UTF-8 is due: the sender reads why in the error file, and
// the error, raised before any server call, sets a package aside and reaches the operator.
void TEBroker::RefuseText(size_t badLine) {
    const std::string text = NotUtf8Text(badLine);
    WriteListed(ErrorFilePath(), JoinLines({text}));
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
