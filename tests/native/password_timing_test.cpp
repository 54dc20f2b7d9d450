// The recheck delay of the password lock: when a close request may verify again, the tick
// count's wrap included.
#include "saver_host/portable/password_timing.h"
#include "tests/native/recheck_cases.h"
#include <gtest/gtest.h>

TEST(PasswordTiming, RecheckDelayCountsFromTheEndOfTheLastVerification)
{
    for (const RecheckCase& c : RECHECK_CASES)
        EXPECT_EQ(RecheckAllowed(c.lastCheckTick, c.now), c.allowed) << c.what;
}
