// Text helpers: list and line splitting, ASCII case rules, integer reading.
#include <gtest/gtest.h>

#include "base/Text.h"

namespace {

using Lines = std::vector<std::string>;

TEST(SplitListTest, KeepsEmptyPiecesButDropsATrailingOne) {
    struct Case { const char* text; Lines pieces; } cases[] = {
        {"A;;B", {"A", "", "B"}}, {";A", {"", "A"}}, {"A;", {"A"}}, {"", {}},
        {";", {""}}, {";;", {"", ""}}, {"A; B", {"A", " B"}}, {"A", {"A"}},
    };
    for (const auto& c : cases) {
        Lines pieces;
        SplitList(c.text, ';', pieces);
        EXPECT_EQ(pieces, c.pieces) << c.text;
    }
}

TEST(SplitListTest, AppendsToWhatTheListHolds) {
    Lines pieces{"X"};
    SplitList("A;B", ';', pieces);
    EXPECT_EQ(pieces, (Lines{"X", "A", "B"}));
}

}  // namespace
