// Error-file names, the time stamp, the log history's names and retention.
#include <gtest/gtest.h>

#include <tuple>

#include "base/TimeStamp.h"
#include "log/ErrorFileName.h"
#include "log/LogHistory.h"

namespace {

TEST(ErrorFileNameTest, SuffixFollowsPrefixingAndTheRequestName) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "GETSTOC.TXT", "ERORI.TXT"},
        {true, "", "ERORI.TXT"},
        {true, "GETSTOC.TXT", "ERORI_GETSTOC.TXT"},
        {true, "comanda_7.txt", "ERORI_comanda_7.TXT"},
        {true, ".TXT", "ERORI_.TXT"},
        {true, "COMANDA_A.TXT.TXT", "ERORI_COMANDA_A.TXT"},
        {true, "PACHET", "ERORI_PACHET.TXT"},
        {true, "a.Txt.old", "ERORI_a.TXT"},
        {true, "COMANDA_1.TXA.TXT", "ERORI_COMANDA_1.TXA.TXT"}};
    for (const auto& [prefix, request, file] : cases)
        EXPECT_EQ(ErrorFileName(prefix, request), file) << request;
}

TEST(TimeStampTest, TwoDigitFieldsWithTheLocaleSeparatorAndDaysThatShift) {
    EXPECT_EQ(FormatTimeStamp({2026, 1, 5, 7, 3, 9}, ":"), "05.01.2026 07:03:09 ");
    EXPECT_EQ(FormatTimeStamp({2026, 12, 31, 23, 59, 58}, "."), "31.12.2026 23.59.58 ");
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    const std::pair<LocalTime, LocalTime> cases[] = {
        {{2026, 12, 31, 23, 59, 58}, {2027, 1, 1, 23, 59, 58}},
        {{2028, 2, 28}, {2028, 2, 29}},
        {{2027, 2, 28}, {2027, 3, 1}},
    };
    for (const auto& [day, next] : cases) {
        const LocalTime shifted = AddDays(day, 1);
        EXPECT_EQ(FormatTimeStamp(shifted, ":"), FormatTimeStamp(next, ":"));
        EXPECT_EQ(DayNumber(next) - DayNumber(day), 1);
        EXPECT_EQ(FormatTimeStamp(AddDays(next, -1), ":"), FormatTimeStamp(day, ":"));
    }
}

TEST(LogHistoryTest, NamesCarryTheTimeOfTheFirstStampedLine) {
    const std::string log =
        "Ver. 3.1 -  Nu ai precizat in VQBroker.Ini firma de lucru\r\n"
        "Ver. 3.1 -  \r\n"
        "Ver. 3.1 -  07.12.2026 09.05.03 ... Deschid pachetul cu comenzi\r\n"
        "Ver. 3.1 -  08.12.2026 10:00:00 ... later\r\n";
    const auto first = FirstStampedTime(log);
    ASSERT_TRUE(first);
    EXPECT_EQ(HistoryFileName(*first), "LOG_2026-12-07_090503.TXT");
    for (const char* none :
         {"", "Ver. 3.1 -  Au fost generate 2 comenzi\r\n", "07.12.2026 09:05:03 no prefix\r\n",
          "Ver. 3.1 -  31.02.2026 09:05:03 ... no such day\r\n"})
        EXPECT_FALSE(FirstStampedTime(none)) << none;
    EXPECT_EQ(HistoryFileName(NextSecond({2026, 12, 31, 23, 59, 59})), "LOG_2027-01-01_000000.TXT");

    const auto named = HistoryFileTime("LOG_2026-12-07_090503.TXT");
    ASSERT_TRUE(named);
    EXPECT_EQ(HistoryFileName(*named), "LOG_2026-12-07_090503.TXT");
    for (const char* other :
         {"log_2026-12-07_090503.txt", "LOG_2026-12-07_090503.TXT.bak", "LOG_2026-13-07_090503.TXT",
          "LOG_2026-12-07_0905030.TXT", "LOG_2026-12-07_096503.TXT", "LOG.TXT", "NOTE.TXT"})
        EXPECT_FALSE(HistoryFileTime(other)) << other;
}

TEST(LogHistoryTest, RetentionDeletesOldDaysThenTheOldestOverTheCap) {
    const LocalTime now{2026, 12, 7, 9, 0, 0};
    const std::string lastMonth = "LOG_2026-11-06_235959.TXT", thirtyDays = "LOG_2026-11-07_000000.TXT",
                      yesterday = "LOG_2026-10-06_080000.TXT", today = "LOG_2026-12-07_070000.TXT";
    const std::vector<HistoryFile> files = {{yesterday, 40, {2026, 12, 6}},
                                            {lastMonth, 10, {2026, 11, 6, 23, 59, 59}},
                                            {thirtyDays, 20, {2026, 11, 7}},
                                            {"NOTE.TXT", 1000, {2000, 1, 1}},
                                            {today, 30, {2026, 12, 7, 7}}};
    const TextList overTheCap = {lastMonth, thirtyDays, yesterday};
    EXPECT_EQ(ExpiredHistory(files, now, 30, 1000, {}), TextList{lastMonth});
    EXPECT_EQ(ExpiredHistory(files, now, 30, 70, {}), (TextList{lastMonth, thirtyDays}));
    EXPECT_EQ(ExpiredHistory(files, now, 30, 69, {}), overTheCap);
    EXPECT_EQ(ExpiredHistory(files, now, 30, 0, {today}), overTheCap);  // the day just kept stays
    EXPECT_EQ(ExpiredHistory(files, now, 0, 1000, {}), overTheCap);
    EXPECT_EQ(ExpiredHistory(files, now, 30, 1000, {lastMonth, today}), TextList{});  // kept by this run
    std::vector<HistoryFile> ahead = files;  // clock set back, file dated ahead
    ahead.push_back({"LOG_2027-12-07_090000.TXT", 1, {2027, 12, 7, 9}});
    EXPECT_EQ(ExpiredHistory(ahead, {2026, 12, 7, 6}, 30, 69, {}), overTheCap);
}

}  // namespace
