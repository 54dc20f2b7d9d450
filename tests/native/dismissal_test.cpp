// The mouse-move threshold: |dx| + |dy| must exceed 4 of the user's pixels, scaled by the
// screen's DPI; differences wrap in 32 bits. The cases go through the product's own threshold,
// so they guard its value too.
#include "saver_host/portable/dismissal.h"
#include <gtest/gtest.h>
#include <climits>

struct MoveCase {
    int32_t fromX, fromY, toX, toY;
    uint32_t distance;
    bool dismisses;
};

TEST(Dismissal, MouseMoveThreshold)
{
    const MoveCase cases[] = {
        {100, 100, 100, 100, 0, false},
        {100, 100, 103, 101, 4, false},  // exactly the threshold
        {100, 100, 103, 102, 5, true},   // one more
        {100, 100, 104, 100, 4, false},
        {100, 100, 105, 100, 5, true},
        {100, 100, 96, 100, 4, false},   // leftwards
        {100, 100, 97, 98, 5, true},     // up and left
        {0, 0, -3, 2, 5, true},          // negative coordinates (a monitor left of the primary)
        {-1600, -10, -1598, -12, 4, false},
        {100, 100, 101, 100, 1, false},  // small steps add up only against the reference
    };
    for (const MoveCase& c : cases) {
        EXPECT_EQ(CursorDistance(c.fromX, c.fromY, c.toX, c.toY), c.distance)
            << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY;
        EXPECT_EQ(MovedBeyondThreshold(
                      c.fromX, c.fromY, c.toX, c.toY, MouseMoveThresholdAt(STANDARD_DPI)),
                  c.dismisses)
            << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY;
    }
}

// 4 x DPI / 96, rounded down: a move of the threshold keeps the saver, one pixel more ends it.
TEST(Dismissal, TheThresholdIsFourOfTheUsersPixelsAtEveryScaling)
{
    const struct {
        uint32_t dpi, threshold;
    } cases[] = {{96, 4},  {120, 5}, {144, 6}, {192, 8}, {288, 12},
                 {100, 4}, {130, 5}, // a custom scaling: 4.17 and 5.42 pixels, rounded down
                 {72, 4},  {0, 4}};
    for (const auto& c : cases) {
        uint32_t threshold = MouseMoveThresholdAt(c.dpi);
        EXPECT_EQ(threshold, c.threshold) << c.dpi << " DPI";
        int32_t pixels = static_cast<int32_t>(c.threshold);
        EXPECT_FALSE(MovedBeyondThreshold(-10, 7, -10 + pixels - 1, 8, threshold)) << c.dpi;
        EXPECT_TRUE(MovedBeyondThreshold(-10, 7, -10 + pixels, 8, threshold)) << c.dpi;
    }
    EXPECT_EQ(MouseMoveThresholdAt(0xFFFFFFFFu), 0xFFFFFFFFu / 24) << "no overflow";
}

TEST(Dismissal, ExtremeCoordinatesWrapInsteadOfOverflowing)
{
    // INT_MIN to INT_MAX differs by 2^32 - 1, which wraps to -1 and has magnitude 1.
    EXPECT_EQ(CursorDistance(INT_MIN, 0, INT_MAX, 0), 1u);
    // A difference of exactly 2^31 keeps its magnitude 2^31.
    EXPECT_EQ(CursorDistance(0, 0, INT_MIN, 0), 0x80000000u);
    // Two such differences wrap the unsigned sum to 0: no dismissal, as on the machine.
    EXPECT_EQ(CursorDistance(0, 0, INT_MIN, INT_MIN), 0u);
    EXPECT_FALSE(MovedBeyondThreshold(0, 0, INT_MIN, INT_MIN, MOUSE_MOVE_THRESHOLD));
    EXPECT_TRUE(MovedBeyondThreshold(INT_MAX, INT_MAX, 0, 0, MOUSE_MOVE_THRESHOLD));
}
