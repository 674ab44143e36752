// The journal of packages never to be served again (in hand, or undeletable), as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A package file as it was seen: a new file of the same name differs in size or time.
struct PackageStamp {
    std::string name;
    uint64_t size = 0;
    uint64_t lastWrite = 0;   // FILETIME as one number
    bool operator==(const PackageStamp&) const = default;
};

struct PackageJournal {
    std::optional<PackageStamp> inHand;   // handed to its handler, not yet disposed of
    std::vector<PackageStamp> passedOver; // served but undeletable: never served again

    bool Empty() const { return !inHand && passedOver.empty(); }
};

// The journal file's name; no request pattern matches it.
inline constexpr char kJournalFileName[] = "VQBROKER.JNL";

// One line per package: a tag ("S" in hand, "P" passed over), size, time and name,
// separated by tabs (which no file name holds), each line ended by CR LF.
std::string FormatJournal(const PackageJournal& journal);

// Reads what FormatJournal wrote; lines that do not read are skipped, so a damaged
// journal costs its damaged lines only.
PackageJournal ParseJournal(std::string_view text);

// Adds stamp to the packages passed over, replacing an older one of the same name.
void AddPassedOver(PackageJournal& journal, const PackageStamp& stamp);
