#include "font/InkRows.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

namespace {

font::InkRows Ink(std::initializer_list<int> rows) {
    font::InkRows ink;
    for (const int row : rows) ink.Add(row);
    return ink;
}

struct Placement {
    const char* what;
    font::InkRows ink;
    int declaredTop;
    std::optional<int> top;
};

TEST(InkRowsTest, PlacesTheInkInSevenRows) {
    const Placement cases[] = {
        {"no ink keeps the declared top", {}, -6, -6},
        {"ink inside the declared rows keeps them", Ink({-6, 0}), -6, -6},
        {"ink touching both declared edges keeps them", Ink({-5, 1}), -5, -5},
        {"ink above the declared top moves up to it", Ink({-5, 0}), -4, -5},
        {"ink below the declared rows moves down to it", Ink({-3, 3}), -5, -3},
        {"an 8-row strike using its lower 7 rows", Ink({1, 7}), 0, 1},
        {"a column font using bits 1 to 7", Ink({1, 7}), 0, 1},
        {"ink of 8 rows has no placement", Ink({0, 7}), 0, std::nullopt},
        {"ink far apart has no placement", Ink({INT_MIN + 1, INT_MAX - 1}), 0, std::nullopt},
        {"ink near the edges of int", Ink({INT_MAX - 3, INT_MAX - 1}), INT_MAX - 5, INT_MAX - 5},
    };
    for (const Placement& c : cases)
        EXPECT_EQ(font::TopRowFor(c.ink, c.declaredTop), c.top) << c.what;
}

TEST(InkRowsTest, SpanCountsFromFirstThroughLast) {
    EXPECT_EQ(font::InkRows{}.Span(), 0);
    EXPECT_EQ(Ink({3}).Span(), 1);
    EXPECT_EQ(Ink({-2, 4, 1}).Span(), 7);
    font::InkRows both = Ink({2});
    both.Add(Ink({-1}));
    both.Add(font::InkRows{});
    EXPECT_EQ(both.first, -1);
    EXPECT_EQ(both.last, 2);
}

}  // namespace
