// A result file rewritten again and again is never seen partly written by a reader.
#include <windows.h>

#include <optional>
#include <thread>

#include "base/AnsiText.h"
#include "queries/QueryKinds.h"
#include "support/BrokerFixture.h"

namespace {

using ResultFileTest = BrokerTest;

// Reads the whole file as an outside system would, sharing everything; nullopt when missing.
std::optional<std::string> ReadShared(const std::string& path) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    return content;
}

TEST_F(ResultFileTest, ReaderNeverSeesAPartialStockList) {
    Start();
    std::vector<std::string> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(std::to_string(i) + ";Articol;BUC;1;19;2;3;x;4;y;5;DEP;n;g;0;1;b;0;01.12.2026;9");
    server.lists["GetStocuri"] = FakeList::Of(rows);
    broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    const std::string expected = Read("STOCURI.TXT");
    ASSERT_GT(expected.size(), 1000000u);

    int reads = 0, partial = 0, missing = 0;
    std::jthread reader([&](std::stop_token stop) {  // a raising answer stops and joins it too
        for (; !stop.stop_requested(); ++reads) {
            const std::optional<std::string> seen = ReadShared(Path("STOCURI.TXT"));
            missing += !seen;
            partial += seen && *seen != expected;
        }
    });
    for (int i = 0; i < 15; ++i) broker.AnswerQuery(QueryKindOf("GETSTOC.TXT"));
    reader.request_stop();
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(partial, 0);
    EXPECT_EQ(missing, 0);
}

}  // namespace
