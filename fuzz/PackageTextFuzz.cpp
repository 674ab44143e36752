// What a package's bytes go through before the server sees them.
#include <string>
#include <vector>

#include "base/Text.h"
#include "base/Utf8.h"
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
    // UTF-8: good to UTF-16 and back unchanged, or refused at its first bad line.
    const PackageLines utf8{std::string(text), true};
    const std::string good = utf8.badLine() ? "" : JoinLines(lines);
    std::u16string units(good.size(), u'\0');
    units.resize(Utf8ToUtf16(good, units.data()));
    std::string back(3 * units.size(), '\0');
    FUZZ_CHECK(back.substr(0, Utf16ToUtf8(units.data(), units.size(), back.data())) == good);
    if (utf8.badLine()) FUZZ_CHECK(FirstNonUtf8Line(utf8.lines().at(utf8.badLine() - 1)) == 1);
    return 0;
}
