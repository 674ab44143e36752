// Packages never to be served twice: the one in hand and those still to be disposed of,
// kept in memory and in the journal file across a crash.
#include <windows.h>

#include "core/Broker.h"
#include "base/AnsiText.h"
#include "base/FileSystem.h"
#include "base/Text.h"
#include "base/Utf8.h"

namespace {

// No journal at all, as opposed to one that is there but cannot be read now.
bool NoFileAt(const std::wstring& path) { return NothingAt(path); }

// The journal is written in the service's encoding. One a run under the other setting left is
// read in its own, so that the names it holds still find their files: well-formed UTF-8 with
// letters past ASCII is taken for UTF-8, anything else for ANSI.
std::string JournalText(const std::string& text) {
    return ServiceText(text, FirstNonUtf8Line(text) == 0 ? TextEncoding::Utf8 : TextEncoding::Ansi);
}

}  // namespace

// The file as it is now, from the tick's listing when there is one; false when there is no
// file of that name. The journal's records name packages in the service's 8-bit text, which
// the listing made sure spells them: a record's name is made from the file's when it is
// written, and the file's from the record's when it is read.
bool TEBroker::StampOf(const std::wstring& name, PackageStamp& stamp) const {
    if (FDirListed) {
        const WorkListing::Entry* entry = FListing.Find(name);
        if (!entry || entry->directory) return false;
        stamp = {Ansi(name), entry->size, entry->lastWrite};
        return true;
    }
    const FileState now = StateAt(FWorkDir + L"\\" + name);
    if (now.found) stamp = {Ansi(name), now.size, now.lastWrite};
    return now.found;
}

// Still the same file: a new one of that name is a new request.
bool TEBroker::Unchanged(const PackageStamp& known) const {
    PackageStamp now;
    return StampOf(Wide(known.name), now) && now.size == known.size && now.lastWrite == known.lastWrite;
}

bool TEBroker::IsRemembered(const std::wstring& name) const {
    if (FJournal.passedOver.empty()) return false;
    const std::string text = Ansi(name);
    for (const PassedOver& known : FJournal.passedOver)
        if (EqualsNoCase(known.stamp.name, text)) return Unchanged(known.stamp);
    return false;
}

// The journal is saved before the line is logged, so a log that cannot be written
// never costs the record.
void TEBroker::RememberPackage(const std::wstring& name, PassedOver::Pending pending) {
    PackageStamp stamp;
    if (!StampOf(name, stamp)) return;  // it went after all
    AddPassedOver(FJournal, {stamp, pending});
    if (FJournal.inHand && EqualsNoCase(FJournal.inHand->name, stamp.name)) FJournal.inHand.reset();
    SaveJournal();
    LogStamped((pending == PassedOver::SetAside ? " ... Nu pot pune deoparte pachetul "
                                                : " ... Nu pot sterge pachetul ") +
               stamp.name);
}

// The package goes to its handler only once the journal on disk says it is in hand.
bool TEBroker::RecordInHand(const PackageStamp& stamp) {
    if (FJournal.inHand == stamp) return true;  // on disk already
    FJournal.inHand = stamp;
    if (SaveJournal()) return true;
    FJournal.inHand.reset();
    return false;
}

bool TEBroker::ClearInHand() {
    if (!FJournal.inHand) return true;
    FJournal.inHand.reset();
    return SaveJournal();
}

// Written in one step; no file at all while nothing is recorded. A failure is logged
// once, until a save succeeds again, and the next try waits a second: each try wakes the
// watch of the directory.
bool TEBroker::SaveJournal() {
    if (FJournalWriteFailed && UptimeMs() < FJournalRetryAt) return false;
    const std::wstring path = FWorkDir + L"\\" + WideAscii(kJournalFileName);
    bool saved = true;
    try {
        if (!FJournal.Empty())
            WriteListed(path, FormatJournal(FJournal), Durability::OnDisk);  // before any server call
        else
            saved = RemoveListed(path) || ListedAbsent(path) || NoFileAt(path);
    } catch (const std::exception&) {
        saved = false;
    }
    const bool logIt = !saved && !FJournalWriteFailed;
    FJournalWriteFailed = !saved;
    if (!saved) FJournalRetryAt = UptimeMs() + kSaveRetryMs;
    if (logIt) LogStamped(std::string(" ... Nu pot scrie jurnalul ") + kJournalFileName);
    return saved;
}

// Once per tick, each package passed over gets one more try at its disposal; one that
// is gone or was replaced by a new file is forgotten. A journal that could not be saved
// is tried again.
void TEBroker::RetryPassedOver() {
    bool changed = false;
    std::erase_if(FJournal.passedOver, [&](const PassedOver& known) {
        const bool done =
            !Unchanged(known.stamp) ||
            (known.pending == PassedOver::SetAside ? SetAsideFailedPackage(Wide(known.stamp.name))
                                                   : RemoveListed(FWorkDir + L"\\" + Wide(known.stamp.name)));
        changed = changed || done;
        return done;
    });
    if (changed || FJournalWriteFailed) SaveJournal();
}

// At the first tick that finds the directory: a package that was in hand when the
// last run ended may already have made its documents, so it is set aside unserved.
// Until the journal has been read no package is served and nothing of it is touched;
// false while it cannot be read (a backup program or a scanner may hold it).
bool TEBroker::RecoverInterruptedPackage() {
    if (FJournalChecked) return true;
    const std::wstring path = FWorkDir + L"\\" + WideAscii(kJournalFileName);
    PackageJournal last;
    if (!ListedAbsent(path) && !NoFileAt(path)) {
        try {
            last = ParseJournal(JournalText(ReadWholeFile(path)));
        } catch (const std::exception&) {
            if (!FJournalReadFailed) LogStamped(std::string(" ... Nu pot citi jurnalul ") + kJournalFileName);
            FJournalReadFailed = true;
            return false;
        }
    }
    FJournalChecked = true;
    for (const PassedOver& known : last.passedOver)
        if (Unchanged(known.stamp)) AddPassedOver(FJournal, known);
    if (!last.inHand || !Unchanged(*last.inHand)) {
        SaveJournal();
        return true;
    }
    const std::string name = last.inHand->name;
    if (!SetAsideFailedPackage(Wide(name))) {
        RememberPackage(Wide(name), PassedOver::SetAside);
        return true;
    }
    SaveJournal();
    LogStamped(" ... Pachetul " + name + " a fost intrerupt la oprire si a fost pus deoparte");
    return true;
}
