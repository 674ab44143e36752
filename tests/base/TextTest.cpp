// Text helpers: list splitting.
#include <gtest/gtest.h>

#include "base/Text.h"

namespace {

// Every case starts from a list that holds "X": the pieces are appended to it.
TEST(SplitListTest, KeepsEmptyPiecesButDropsATrailingOneAndAppends) {
    struct Case {
        const char* text;
        TextList pieces;
    } cases[] = {
        {"A;;B", {"A", "", "B"}}, {";A", {"", "A"}},     {"A;", {"A"}}, {"", {}}, {";", {""}},
        {";;", {"", ""}},         {"A; B", {"A", " B"}}, {"A", {"A"}},
    };
    for (const auto& c : cases) {
        TextList pieces{"X"}, expected{"X"};
        SplitList(c.text, ';', pieces);
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(pieces, expected) << c.text;
    }
}

}  // namespace
