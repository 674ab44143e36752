// What a package's bytes go through before the server sees them.
#include <string>
#include <vector>

#include "base/Text.h"
#include "fuzz/FuzzCheck.h"
#include "packages/PackageText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    const PackageLines package{std::string(text)};
    const std::vector<std::string_view>& views = package.lines();
    // The server is handed exactly what the file said.
    for (std::string_view line : views)
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    const std::vector<std::string> lines(views.begin(), views.end());
    FUZZ_CHECK(SplitTextLines(JoinLines(lines)) == lines);
    ReadWorkingMonth(views);
    FUZZ_CHECK(RecordText(views) == (views.empty() ? ";" : views.front()));
    const int value = ParseInteger(text.substr(0, 32), 0), decimal = ParseDecimal(text.substr(0, 32), 0);
    FUZZ_CHECK(ParseInteger(std::to_string(value), 1) == value);
    FUZZ_CHECK(ParseDecimal(std::to_string(decimal), 1) == decimal);
    return 0;
}
