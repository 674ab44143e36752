// Fuzzes the names the service builds from names it finds: error files, set-aside
// packages, pattern matching, the journal of packages not to serve again, and the names
// and first time stamp of the log's history. Input: a request name, then after the first
// "\n" a pattern, then after the next one a journal text (also read as a log).
#include <string>

#include "fuzz/FuzzCheck.h"
#include "journal/PackageJournal.h"
#include "log/ErrorFileName.h"
#include "log/LogHistory.h"
#include "polling/NameMatch.h"

namespace {

std::string_view Take(std::string_view& text) {
    const size_t end = text.find('\n');
    std::string_view piece = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return piece;
}

void CheckNames(std::string_view name) {
    for (bool prefix : {false, true}) {
        const std::string file = ErrorFileName(prefix, name);
        FUZZ_CHECK(file.starts_with("ERORI") && file.ends_with(".TXT"));
        FUZZ_CHECK(file.size() == 9 + ErrorFileSuffixFor(prefix, name).size());
    }
    const std::string setAside = SetAsideName(name);
    FUZZ_CHECK(setAside.size() == name.size() || setAside.size() == name.size() + 4);
    FUZZ_CHECK(setAside.find(".ERR") != std::string::npos);
    IsErrorFileName(name);
    // Only a name of the history's own form gives a time, and that time gives the name back.
    if (const auto time = HistoryFileTime(name)) FUZZ_CHECK(HistoryFileName(*time) == name);
}

void CheckPattern(std::string_view name, std::string_view pattern) {
    MatchesPattern(name, pattern);
    FUZZ_CHECK(MatchesPattern(name, name));  // "*" in a name matches the "*" itself
    FUZZ_CHECK(MatchesPattern(name, "*"));
}

bool SameJournal(const PackageJournal& a, const PackageJournal& b) {
    return a.inHand == b.inHand && a.passedOver == b.passedOver;
}

// What the journal says survives being written and read back.
void CheckJournal(std::string_view text) {
    const PackageJournal journal = ParseJournal(text);
    FUZZ_CHECK(SameJournal(ParseJournal(FormatJournal(journal)), journal));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = AsText(data, size);
    const std::string_view name = Take(text);
    const std::string_view pattern = Take(text);
    CheckNames(name);
    CheckPattern(name, pattern);
    CheckJournal(text);
    if (const auto first = FirstStampedTime(text)) FUZZ_CHECK(HistoryFileTime(HistoryFileName(*first)));
    return 0;
}
