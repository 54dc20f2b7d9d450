// The mouse-move test of the dismissal. Differences are taken in unsigned arithmetic so that
// coordinates far apart wrap as the 32-bit machine does instead of overflowing.
#include "saver_host/portable/dismissal.h"

uint32_t MouseMoveThresholdAt(uint32_t dpi)
{
    if (dpi < STANDARD_DPI)
        return MOUSE_MOVE_THRESHOLD;
    // 4 x dpi / 96 is dpi / 24, rounded down alike, and no DPI can overflow it.
    static_assert(STANDARD_DPI % MOUSE_MOVE_THRESHOLD == 0, "the standard DPI divides evenly");
    return dpi / (STANDARD_DPI / MOUSE_MOVE_THRESHOLD);
}

static uint32_t Magnitude(uint32_t difference)
{
    // The sign bit of the 32-bit difference says which way the cursor went.
    return (difference & 0x80000000u) ? 0u - difference : difference;
}

uint32_t CursorDistance(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY)
{
    uint32_t dx = static_cast<uint32_t>(toX) - static_cast<uint32_t>(fromX);
    uint32_t dy = static_cast<uint32_t>(toY) - static_cast<uint32_t>(fromY);
    return Magnitude(dx) + Magnitude(dy);
}

bool MovedBeyondThreshold(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY,
                          uint32_t threshold)
{
    return CursorDistance(fromX, fromY, toX, toY) > threshold;
}
