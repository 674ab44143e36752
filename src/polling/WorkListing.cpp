// One listing of the working directory, matched in memory against the request kinds.
#include "polling/WorkListing.h"

#include "polling/NameMatch.h"

namespace {
constexpr size_t kNone = size_t(-1);
}

WorkListing::WorkListing(std::vector<std::string_view> patterns, std::vector<std::string_view> queries)
    : patterns_(std::move(patterns)), queries_(std::move(queries)) {
    Clear();
}

void WorkListing::Clear() {
    entries_.clear();
    byName_.clear();
    byPattern_.assign(patterns_.size(), {});
    queryFile_.assign(queries_.size(), kNone);
}

std::wstring WorkListing::Key(std::wstring_view name) { return UpperAscii(name); }

void WorkListing::Add(Entry entry) {
    std::wstring key = Key(entry.name);
    const auto [at, added] = byName_.try_emplace(std::move(key), entries_.size());
    if (!added) return;  // one name, one file
    entries_.push_back(std::move(entry));
    Classify(entries_.size() - 1);
}

// A request's name ends in ".TXT"; anything else is only looked up by name.
void WorkListing::Classify(size_t index) {
    const Entry& entry = entries_[index];
    const std::wstring_view name = entry.name;
    if (!NameEndsWith(name, ".TXT") || IsErrorFileName(name)) return;
    for (size_t p = 0; p < patterns_.size(); ++p)
        if (MatchesPattern(name, patterns_[p])) byPattern_[p].push_back(index);
    if (entry.directory) return;
    for (size_t q = 0; q < queries_.size(); ++q)
        if (queryFile_[q] == kNone && NameIs(name, queries_[q])) queryFile_[q] = index;
}

bool WorkListing::IsRequestName(std::wstring_view name) const {
    if (!NameEndsWith(name, ".TXT") || IsErrorFileName(name)) return false;
    for (std::string_view pattern : patterns_)
        if (MatchesPattern(name, pattern)) return true;
    for (std::string_view query : queries_)
        if (NameIs(name, query)) return true;
    return false;
}

const WorkListing::Entry* WorkListing::Find(std::wstring_view name) const {
    const auto at = byName_.find(Key(name));
    return at == byName_.end() || entries_[at->second].gone ? nullptr : &entries_[at->second];
}

// A file the service wrote is no request of a kind it serves (answers, error files, the
// journal): it is known by name only, so that a later look-up finds it.
void WorkListing::Wrote(std::wstring_view name) {
    const auto at = byName_.find(Key(name));
    if (at != byName_.end()) {
        entries_[at->second].gone = false;
        entries_[at->second].directory = false;
        return;
    }
    byName_.emplace(Key(name), entries_.size());
    entries_.push_back({std::wstring(name), false, 0, 0, false});
}

void WorkListing::Removed(std::wstring_view name) {
    const auto at = byName_.find(Key(name));
    if (at != byName_.end()) entries_[at->second].gone = true;
}

const WorkListing::Entry* WorkListing::QueryFile(size_t query) const {
    const size_t index = queryFile_[query];
    return index == kNone || entries_[index].gone ? nullptr : &entries_[index];
}

bool WorkListing::AnyRequest() const {
    for (size_t q = 0; q < queries_.size(); ++q)
        if (QueryFile(q)) return true;
    for (size_t p = 0; p < patterns_.size(); ++p)
        if (FirstOfPattern(p, [](const Entry&) { return true; })) return true;
    return false;
}
