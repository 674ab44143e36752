// The journal of packages never to be served again (in hand, or still to be disposed of), as text.
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
    uint64_t lastWrite = 0;  // FILETIME as one number
    bool operator==(const PackageStamp&) const = default;
};

// A served package still in the directory, and what is still to be done with it.
struct PassedOver {
    enum Pending : char {
        Deletion = 'P',  // accepted: it is deleted as soon as it can be
        SetAside = 'A',  // its handler raised, so documents may exist: renamed to ".ERR" as soon as it can be
    };
    PackageStamp stamp;
    Pending pending = Deletion;
    bool operator==(const PassedOver&) const = default;
};

struct PackageJournal {
    std::optional<PackageStamp> inHand;  // handed to its handler, not yet disposed of
    std::vector<PassedOver> passedOver;  // never served again; disposal retried on later ticks

    bool Empty() const { return !inHand && passedOver.empty(); }
};

// The journal file's name; no request pattern matches it.
inline constexpr char kJournalFileName[] = "VQBROKER.JNL";

// One line per package: a tag ("S" in hand, "P" to delete, "A" to set aside), size, time
// and name, separated by tabs (which no file name holds), each line ended by CR LF.
std::string FormatJournal(const PackageJournal& journal);

// Reads what FormatJournal wrote; lines that do not read are skipped, so a damaged
// journal costs its damaged lines only.
PackageJournal ParseJournal(std::string_view text);

// Adds a package passed over, replacing an older entry of the same name.
void AddPassedOver(PackageJournal& journal, const PassedOver& package);
