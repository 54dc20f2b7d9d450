// The recheck delay of the password lock, in wrapping 32-bit tick arithmetic.
#include "saver_host/portable/password_timing.h"

int RecheckAllowed(uint32_t lastCheckTick, uint32_t now)
{
    if (lastCheckTick == NO_CHECK_YET)
        return 1;
    uint32_t elapsed = now - lastCheckTick;
    return elapsed >= PASSWORD_RECHECK_DELAY ? 1 : 0;
}
