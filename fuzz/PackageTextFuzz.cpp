// Fuzzes what a package's bytes go through before the server sees them: the line
// split, the header view with its integer reading, and the master-data record.
#include <string>
#include <vector>

#include "base/Text.h"
#include "fuzz/FuzzCheck.h"
#include "packages/PackageText.h"

namespace {

// A line never holds a line end or a NUL, and joining and splitting again gives the
// same lines, so what the server is handed is exactly what the file said.
void CheckLines(const std::vector<std::string_view>& views) {
    for (std::string_view line : views)
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    const std::vector<std::string> lines(views.begin(), views.end());
    FUZZ_CHECK(SplitTextLines(JoinLines(lines)) == lines);
}

// Reading the number back from its decimal text gives the number.
void CheckInteger(std::string_view text) {
    const int value = ParseInteger(text, 0);
    FUZZ_CHECK(ParseInteger(std::to_string(value), 1) == value);
    const int decimal = ParseDecimal(text, 0);
    FUZZ_CHECK(ParseDecimal(std::to_string(decimal), 1) == decimal);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    const PackageLines package{std::string(text)};
    const std::vector<std::string_view>& lines = package.lines();
    CheckLines(lines);
    ReadWorkingMonth(lines);
    const std::string_view record = RecordText(lines);
    FUZZ_CHECK(lines.empty() ? record == ";" : record == lines.front());
    CheckInteger(text.substr(0, 32));
    return 0;
}
