// Whether a mouse move is far enough to dismiss the saver. Platform-free: plain 32-bit
// screen coordinates and a screen's DPI in, a yes or no out.
#pragma once
#include <cstdint>

// A mouse move dismisses only when |dx| + |dy| from the reference exceeds this many of the
// user's pixels, so that a desk knocked by accident does not end the saver.
const uint32_t MOUSE_MOVE_THRESHOLD = 4;
// The DPI at which the user's pixel is one pixel of the screen (100% scaling).
const uint32_t STANDARD_DPI = 96;

// MOUSE_MOVE_THRESHOLD in the pixels of a screen at dpi: 4 x dpi / 96, rounded down (5 at
// 120 DPI, 12 at 288). A DPI below the standard one counts as the standard one: no scaling
// makes the user's pixel smaller than a pixel.
uint32_t MouseMoveThresholdAt(uint32_t dpi);

// |dx| + |dy| from the reference to the new position, in 32-bit arithmetic that wraps
// (coordinates are signed, the distance is compared as an unsigned number).
uint32_t CursorDistance(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);

// The move dismisses only when the distance is greater than the threshold, not equal to it.
bool MovedBeyondThreshold(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY,
                          uint32_t threshold);
