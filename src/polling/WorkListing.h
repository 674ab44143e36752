// One listing of the working directory, matched in memory against the request kinds: which
// requests wait, in the order the directory gives them, and whether a name is there at all.
// Names are kept as the directory gives them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class WorkListing {
public:
    struct Entry {
        std::wstring name;  // the long name, as the directory gives it
        bool directory = false;
        uint64_t size = 0;
        uint64_t lastWrite = 0;  // FILETIME as one number
        bool gone = false;       // removed since the listing
    };

    // The request kinds, in precedence order: the package patterns ("*" any run of
    // characters) and the queries' fixed names.
    WorkListing(std::vector<std::string_view> patterns, std::vector<std::string_view> queries);

    void Clear();
    // The next entry, in the directory's order. Names holding "ERORI.TXT" are never requests.
    void Add(Entry entry);

    // The entry of that name (any case) that is still there; null when the listing lacks it.
    const Entry* Find(std::wstring_view name) const;
    // The service itself made or replaced a file, or removed one, since the listing.
    void Wrote(std::wstring_view name);
    void Removed(std::wstring_view name);

    // The entries of a package pattern still there, in the directory's order.
    template <class Visit>
    bool FirstOfPattern(size_t pattern, Visit visit) const {
        for (size_t index : byPattern_[pattern])
            if (!entries_[index].gone && visit(entries_[index])) return true;
        return false;
    }
    // The request file of a query, when one is there and is no directory.
    const Entry* QueryFile(size_t query) const;
    // The name is one a request of some kind may have (never an error file's).
    bool IsRequestName(std::wstring_view name) const;
    // Some request of any kind is still there.
    bool AnyRequest() const;
    size_t Size() const { return entries_.size(); }

private:
    static std::wstring Key(std::wstring_view name);
    void Classify(size_t index);

    std::vector<std::string_view> patterns_, queries_;
    std::vector<Entry> entries_;
    std::unordered_map<std::wstring, size_t> byName_;  // upper-case name -> entry
    std::vector<std::vector<size_t>> byPattern_;
    std::vector<size_t> queryFile_;  // per query, its entry or npos
};
