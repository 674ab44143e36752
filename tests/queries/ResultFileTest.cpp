// A result file rewritten again and again is never seen partly written by a reader.
#include <thread>

#include "queries/QueryKinds.h"
#include "support/BrokerFixture.h"
#include "support/ServiceProcess.h"

namespace {

using ResultFileTest = BrokerTest;

TEST_F(ResultFileTest, ReaderNeverSeesAPartialStockList) {
    Start();
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i) + ";Articol;BUC;1;19;2;3;x;4;y;5;DEP;n;g;0;1;b;0;01.12.2026;9");
    server.lists["GetStocuri"] = FakeList::Of(rows);
    broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    const std::string expected = Read("STOCURI.TXT");
    ASSERT_GT(expected.size(), 1000000u);

    int reads = 0, partial = 0;                      // (a missing file reads as empty: partial too)
    std::jthread reader([&](std::stop_token stop) {  // a raising answer stops and joins it too
        for (; !stop.stop_requested(); ++reads) partial += ReadShared(Path("STOCURI.TXT")) != expected;
    });
    for (int i = 0; i < 15; ++i) broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    reader.request_stop();
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(partial, 0);
}

}  // namespace
