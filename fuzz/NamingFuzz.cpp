// Names built from found names, and the journal. Input: name, pattern, then a journal or log text.
#include <string>

#include "fuzz/FuzzCheck.h"
#include "journal/PackageJournal.h"
#include "log/ErrorFileName.h"
#include "log/LogHistory.h"
#include "polling/NameMatch.h"

namespace {

std::string_view Take(std::string_view& text) {
    const size_t end = text.find('\n');
    const std::string_view piece = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = AsText(data, size);
    const std::string_view name = Take(text), pattern = Take(text);

    for (bool prefix : {false, true}) {
        const std::string file = ErrorFileName(prefix, name);
        FUZZ_CHECK(file.starts_with("ERORI") && file.ends_with(".TXT"));
        FUZZ_CHECK(file.size() == 9 + ErrorFileSuffixFor(prefix, name).size());
    }
    std::wstring found;  // as the directory would give it, each byte one character
    for (const char c : name) found += wchar_t(static_cast<unsigned char>(c));
    const std::wstring setAside = SetAsideName(found);
    FUZZ_CHECK(setAside.size() == name.size() || setAside.size() == name.size() + 4);
    FUZZ_CHECK(setAside.find(L".ERR") != std::wstring::npos);
    IsErrorFileName(found);
    if (const auto time = HistoryFileTime(name)) FUZZ_CHECK(HistoryFileName(*time) == name);

    MatchesPattern(found, pattern);
    FUZZ_CHECK(MatchesPattern(found, name));
    FUZZ_CHECK(MatchesPattern(found, "*"));

    const PackageJournal journal = ParseJournal(text), again = ParseJournal(FormatJournal(journal));
    FUZZ_CHECK(again.inHand == journal.inHand && again.passedOver == journal.passedOver);
    if (const auto stamped = FirstStampedTime(text)) FUZZ_CHECK(HistoryFileTime(HistoryFileName(*stamped)));
    return 0;
}
