// The journal that keeps a package from being served twice: its text form.
#include "journal/PackageJournal.h"

#include <charconv>

#include "base/Text.h"

namespace {

bool ReadNumber(std::string_view text, uint64_t& value) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// "tag\tsize\ttime\tname"; false when the line is not one.
bool ReadLine(std::string_view line, char& tag, PackageStamp& stamp) {
    size_t first = line.find('\t');
    size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
    size_t third = second == std::string_view::npos ? second : line.find('\t', second + 1);
    if (third == std::string_view::npos || first != 1) return false;
    tag = line[0];
    stamp.name = std::string(line.substr(third + 1));
    return !stamp.name.empty() && ReadNumber(line.substr(2, second - 2), stamp.size) &&
           ReadNumber(line.substr(second + 1, third - second - 1), stamp.lastWrite);
}

void AppendLine(std::string& text, char tag, const PackageStamp& stamp) {
    text += tag;
    text.append("\t").append(std::to_string(stamp.size));
    text.append("\t").append(std::to_string(stamp.lastWrite));
    text.append("\t").append(stamp.name).append("\r\n");
}

}  // namespace

std::string FormatJournal(const PackageJournal& journal) {
    std::string text;
    if (journal.inHand) AppendLine(text, 'S', *journal.inHand);
    for (const PassedOver& package : journal.passedOver) AppendLine(text, package.pending, package.stamp);
    return text;
}

PackageJournal ParseJournal(std::string_view text) {
    PackageJournal journal;
    for (const std::string& line : SplitTextLines(text)) {
        char tag = 0;
        PackageStamp stamp;
        if (!ReadLine(line, tag, stamp)) continue;
        if (tag == 'S')
            journal.inHand = stamp;
        else if (tag == PassedOver::Deletion)
            AddPassedOver(journal, {stamp, PassedOver::Deletion});
        else if (tag == PassedOver::SetAside)
            AddPassedOver(journal, {stamp, PassedOver::SetAside});
    }
    return journal;
}

void AddPassedOver(PackageJournal& journal, const PassedOver& package) {
    for (PassedOver& known : journal.passedOver) {
        if (EqualsNoCase(known.stamp.name, package.stamp.name)) {
            known = package;
            return;
        }
    }
    journal.passedOver.push_back(package);
}
