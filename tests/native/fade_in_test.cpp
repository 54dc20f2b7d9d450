// The music's level in its session over the gentle start, by the tick count, across its wrap.
#include "launcher/portable/fade_in.h"
#include <gtest/gtest.h>

// The level at a moment of a fade that began at a tick, for a volume: a squared rise (a ninth
// of the level at a third of the time, a quarter at half), then the volume's own level, the one
// set without a fade: volume 25 is the mixer's slider at 25.
TEST(FadeIn, TheLevelRisesAlongTheSquareOfTheTimeToTheVolumeAndStaysThere)
{
    const uint32_t wrap = 0xFFFFFFFFu;
    const struct {
        const char* what;
        uint32_t start, now;
        int volume;
        float level;
    } cases[] = {
        {"silence at the start", 5000, 5000, 100, 0.0f},
        {"the first 50 ms step, below hearing", 5000, 5050, 100, 1.0f / 3600},
        {"a third of the time", 5000, 6000, 100, 1.0f / 9},
        {"half the time", 5000, 6500, 100, 0.25f},
        {"half the time at volume 50", 5000, 6500, 50, 0.125f},
        {"the last 50 ms step, a thirtieth", 5000, 7950, 100, 3481.0f / 3600},
        {"the volume at 3 s", 5000, 8000, 25, 0.25f},
        {"volume 1", 5000, 8000, 1, 0.01f},
        {"a late tick after the end", 5000, 20000, 99, 0.99f},
        {"the count wraps in the fade", wrap - 499, 1000, 100, 0.25f},
        {"the count wraps and the fade ends after it", wrap - 999, 2000, 70, 0.7f},
        {"volume 0 stays silent", 5000, 6500, 0, 0.0f},
        {"above the range counts as full", 5000, 8000, 150, 1.0f},
        {"below it as silence", 5000, 8000, -5, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(FadeLevel(c.start, c.now, c.volume), c.level, 1e-6) << c.what;
}
