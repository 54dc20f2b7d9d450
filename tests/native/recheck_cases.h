// The recheck delay of the password lock as a table: when a close request may verify again,
// the tick count's wrap included. The native tier checks it on the arithmetic alone, the
// Windows tier on a saver window's whole chain.
#pragma once
#include "saver_host/portable/password_timing.h"
#include <cstdint>

struct RecheckCase {
    uint32_t lastCheckTick;
    uint32_t now;
    int allowed;
    const char* what;
};

inline constexpr RecheckCase RECHECK_CASES[] = {
    {NO_CHECK_YET, 0, 1, "no verification yet, tick 0"},
    {NO_CHECK_YET, 5, 1, "no verification yet"},
    {NO_CHECK_YET, 5000, 1, "the first request of a run"},
    {NO_CHECK_YET, 0xFFFFFFFFu, 1, "no verification yet, now all ones"},
    {1000, 1000, 0, "same tick"},
    {1000, 1199, 0, "199 ms later"},
    {1000, 1200, 1, "200 ms later"},
    {1000, 1201, 1, "201 ms later"},
    {0xFFFFFFEFu, 80, 0, "16 ms before the wrap, now 80: 96 ms elapsed"},
    {0xFFFFFFEFu, 182, 0, "199 ms across the wrap"},
    {0xFFFFFFEFu, 183, 1, "200 ms across the wrap"},
    {0xFFFFFF38u, 0, 1, "exactly 200 ms before the wrap"},
    {0xFFFFFF39u, 0, 0, "199 ms before the wrap"},
    {0xFFFFFFFEu, 0xFFFFFFFFu, 0, "1 ms, now all ones"},
    {0, 0xFFFFFFFFu, 1, "a whole turn of the counter"},
    {1000, 999, 1, "now earlier than the last check: a full turn minus 1 ms"},
};
