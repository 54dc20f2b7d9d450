// The recheck delay of the password lock: whether a close request may run a new verification
// yet, counted in the system's 32-bit millisecond ticks. Platform-free.
#pragma once
#include <cstdint>

// lastCheckTick before any verification has ended.
const uint32_t NO_CHECK_YET = 0xFFFFFFFFu;
// After a verification ends, close requests are refused unverified for this many milliseconds.
const uint32_t PASSWORD_RECHECK_DELAY = 200;

// 1 when a verification may start at tick `now`: none has ended yet, or the delay has passed
// since the last one ended. The tick count wraps after 49.7 days; the unsigned difference
// still gives the elapsed time across the wrap.
int RecheckAllowed(uint32_t lastCheckTick, uint32_t now);
