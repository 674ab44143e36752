// Error-file naming and the time stamp.
#include <gtest/gtest.h>

#include "base/TimeStamp.h"
#include "log/ErrorFileName.h"

namespace {

TEST(ErrorFileNameTest, SuffixFollowsPrefixingAndTheRequestName) {
    struct Case {
        bool prefix;
        const char* request;
        const char* file;
    } cases[] = {
        {false, "GETSTOC.TXT", "ERORI.TXT"},
        {true, "", "ERORI.TXT"},
        {true, "GETSTOC.TXT", "ERORI_GETSTOC.TXT"},
        {true, "comanda_7.txt", "ERORI_comanda_7.TXT"},
        {true, "COMANDA_A.TXT.TXT", "ERORI_COMANDA_A.TXT"},
        {true, ".TXT", "ERORI_.TXT"},
        {true, "PACHET", "ERORI_PACHET.TXT"},
        {true, "a.Txt.old", "ERORI_a.TXT"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorFileName(c.prefix, c.request), c.file) << c.request;
}

TEST(TimeStampTest, TwoDigitFieldsWithTheLocaleSeparator) {
    EXPECT_EQ(FormatTimeStamp({2026, 1, 5, 7, 3, 9}, ":"), "05.01.2026 07:03:09 ");
    EXPECT_EQ(FormatTimeStamp({2026, 12, 31, 23, 59, 58}, "."), "31.12.2026 23.59.58 ");
}

}  // namespace
