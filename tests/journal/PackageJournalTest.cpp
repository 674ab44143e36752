// The journal's text form: what one run leaves, the next reads back.
#include <gtest/gtest.h>

#include "journal/PackageJournal.h"

namespace {

TEST(PackageJournalTest, WritesOneTabbedLinePerPackageAndReadsItBack) {
    PackageJournal journal;
    journal.inHand = PackageStamp{"COMANDA_1.TXT", 123, 133000000000000000ull};
    journal.passedOver = {{{"partener 2.txt", 0, 18446744073709551615ull}},
                          {{"FACTURA_2.TXT", 5, 6}, PassedOver::SetAside}};
    const std::string text = FormatJournal(journal);
    EXPECT_EQ(text,
              "S\t123\t133000000000000000\tCOMANDA_1.TXT\r\n"
              "P\t0\t18446744073709551615\tpartener 2.txt\r\n"
              "A\t5\t6\tFACTURA_2.TXT\r\n");
    EXPECT_EQ(FormatJournal({}), "");
    const PackageJournal read = ParseJournal(text);
    EXPECT_EQ(read.inHand, journal.inHand);
    EXPECT_EQ(read.passedOver, journal.passedOver);
}

TEST(PackageJournalTest, SkipsDamagedLines) {
    PackageJournal read = ParseJournal(
        "S\t12x\t5\tCOMANDA_1.TXT\r\n"  // size not a number
        "P\t1\t2\t\r\n"                 // no name
        "X\t1\t2\tOTHER.TXT\r\n"        // unknown tag
        "P\t-1\t2\tNEG.TXT\r\n"
        "P\t99999999999999999999\t2\tBIG.TXT\r\n"
        "P\t7\t8\tFACTURA_1.TXT\r\n"
        "P\t7\t8");  // cut short by a crash
    EXPECT_FALSE(read.inHand);
    EXPECT_EQ(read.passedOver, (std::vector<PassedOver>{{{"FACTURA_1.TXT", 7, 8}}}));
    EXPECT_TRUE(ParseJournal("").Empty());
}

TEST(PackageJournalTest, ALaterStampOfANameReplacesTheEarlierInItsPlace) {
    PackageJournal journal;
    AddPassedOver(journal, {{"COMANDA_1.TXT", 1, 1}});
    AddPassedOver(journal, {{"FACTURA_1.TXT", 2, 2}});
    AddPassedOver(journal, {{"comanda_1.txt", 3, 3}, PassedOver::SetAside});
    EXPECT_EQ(journal.passedOver, (std::vector<PassedOver>{{{"comanda_1.txt", 3, 3}, PassedOver::SetAside},
                                                           {{"FACTURA_1.TXT", 2, 2}}}));
}

}  // namespace
