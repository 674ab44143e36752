// Text helpers: list and line splitting, ASCII case rules, integer reading.
#include <gtest/gtest.h>

#include "base/Text.h"

namespace {

TEST(SplitListTest, KeepsEmptyPiecesButDropsATrailingOne) {
    struct Case {
        const char* text;
        TextList pieces;
    } cases[] = {
        {"A;;B", {"A", "", "B"}}, {";A", {"", "A"}},     {"A;", {"A"}}, {"", {}}, {";", {""}},
        {";;", {"", ""}},         {"A; B", {"A", " B"}}, {"A", {"A"}},
    };
    for (const auto& c : cases) {
        TextList pieces;
        SplitList(c.text, ';', pieces);
        EXPECT_EQ(pieces, c.pieces) << c.text;
    }
}

TEST(SplitListTest, AppendsToWhatTheListHolds) {
    TextList pieces{"X"};
    SplitList("A;B", ';', pieces);
    EXPECT_EQ(pieces, (TextList{"X", "A", "B"}));
}

}  // namespace
