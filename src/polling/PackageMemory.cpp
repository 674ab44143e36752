// Packages never to be served again, kept in memory and in the journal file across a crash.
#include <windows.h>

#include "app/Broker.h"
#include "app/FileSystem.h"
#include "app/Text.h"
#include "server/AnsiText.h"

namespace {

// The file as it is now; false when there is no file of that name.
bool StampOf(const std::string& folder, const std::string& name, PackageStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(folder + "\\" + name).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp = {name, (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
             (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
    return true;
}

// Still the same file: a new one of that name is a new request.
bool Unchanged(const std::string& folder, const PackageStamp& known) {
    PackageStamp now;
    return StampOf(folder, known.name, now) && now.size == known.size && now.lastWrite == known.lastWrite;
}

}  // namespace

bool TEBroker::IsRemembered(const std::string& name) const {
    for (const PackageStamp& known : FJournal.passedOver)
        if (EqualsNoCase(known.name, name)) return Unchanged(FWorkDir, known);
    return false;
}

void TEBroker::RememberPackage(const std::string& name) {
    PackageStamp stamp;
    if (!StampOf(FWorkDir, name, stamp)) return;  // it went after all
    AddPassedOver(FJournal, stamp);
    if (FJournal.inHand && EqualsNoCase(FJournal.inHand->name, name)) FJournal.inHand.reset();
    SaveJournal();
    LogMessage(TimeStamp() + " ... Nu pot sterge pachetul " + name);
}

void TEBroker::RecordInHand(const std::string& name) {
    PackageStamp stamp;
    if (!StampOf(FWorkDir, name, stamp)) return;  // its handler will find it gone
    FJournal.inHand = stamp;
    SaveJournal();
}

void TEBroker::ClearInHand() {
    if (!FJournal.inHand) return;
    FJournal.inHand.reset();
    SaveJournal();
}

// Written in one step; no file at all while nothing is recorded.
void TEBroker::SaveJournal() {
    const std::string path = FWorkDir + "\\" + kJournalFileName;
    try {
        if (FJournal.Empty()) DeleteFileQuietly(path);
        else WriteFileReplacing(path, FormatJournal(FJournal));
    } catch (const std::exception&) {
        // The journal guards against a crash only; a full disk must not stop the requests.
    }
}

// At the first tick that finds the directory: a package that was in hand when the
// last run ended may already have made its documents, so it is set aside unserved.
void TEBroker::RecoverInterruptedPackage() {
    FJournalChecked = true;
    const std::string path = FWorkDir + "\\" + kJournalFileName;
    if (!FileExists(path)) return;
    PackageJournal last;
    try {
        last = ParseJournal(ReadWholeFile(path));
    } catch (const std::exception&) {
        // An unreadable journal records nothing.
    }
    for (const PackageStamp& known : last.passedOver)
        if (Unchanged(FWorkDir, known)) AddPassedOver(FJournal, known);
    SaveJournal();
    if (!last.inHand || !Unchanged(FWorkDir, *last.inHand)) return;
    const std::string name = last.inHand->name;
    LogMessage(TimeStamp() + " ... Pachetul " + name + " a fost intrerupt la oprire si a fost pus deoparte");
    SetAsideFailedPackage(name);
}
