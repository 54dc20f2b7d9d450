// Whether a mouse move is far enough to dismiss the saver. Platform-free: plain 32-bit
// screen coordinates in, a yes or no out.
#pragma once
#include <cstdint>

// A mouse move dismisses only when |dx| + |dy| from the reference exceeds this many pixels, so
// that a desk knocked by accident does not end the saver.
const uint32_t MOUSE_MOVE_THRESHOLD = 4;

// |dx| + |dy| from the reference to the new position, in 32-bit arithmetic that wraps
// (coordinates are signed, the distance is compared as an unsigned number).
uint32_t CursorDistance(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);

// The move dismisses only when the distance is greater than MOUSE_MOVE_THRESHOLD, not equal
// to it.
bool MovedBeyondThreshold(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);
