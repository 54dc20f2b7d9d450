// The music's level in its session: a volume's level, and the gentle start's rise from
// silence to it over time, by the tick count, across the count's wrap.
#include "launcher/portable/fade_in.h"
#include <gtest/gtest.h>
#include <vector>

// One table: the level at a moment of a fade that began at a tick, for a volume; from 3 s on,
// the volume's own level, the one set without a fade. A squared rise: a quarter of the level
// at half the time, a ninth at a third.
TEST(FadeIn, TheLevelRisesAlongTheSquareOfTheTimeToTheVolumeAndStaysThere)
{
    const uint32_t wrap = 0xFFFFFFFFu;
    struct Case {
        const char* what;
        uint32_t start, now;
        int volume;
        float level;
    } cases[] = {
        {"silence at the start", 5000, 5000, 100, 0.0f},
        {"the first 50 ms step is below hearing", 5000, 5050, 100, 1.0f / 3600},
        {"a third of the time, a ninth of the level", 5000, 6000, 100, 1.0f / 9},
        {"half the time, a quarter of the level", 5000, 6500, 100, 0.25f},
        {"half the time at volume 50", 5000, 6500, 50, 0.125f},
        {"the last step before the end", 5000, 7950, 100, (59.0f / 60) * (59.0f / 60)},
        {"the volume at 3 s", 5000, 8000, 100, 1.0f},
        {"the volume at 3 s, volume 25: the mixer's slider at 25", 5000, 8000, 25, 0.25f},
        {"volume 1", 5000, 8000, 1, 0.01f},
        {"volume 99", 5000, 8000, 99, 0.99f},
        {"a late tick after the end", 5000, 20000, 40, 0.4f},
        {"the count wraps in the fade", wrap - 499, 1000, 100, 0.25f},
        {"the count wraps and the fade ends after it", wrap - 999, 2000, 70, 0.7f},
        {"begun at the last tick before the wrap", wrap, 2999, 100, 1.0f},
        {"a whole count later", 5000, 4999, 100, 1.0f},
        {"volume 0 stays silent", 5000, 6500, 0, 0.0f},
        {"a volume above the range counts as full", 5000, 8000, 150, 1.0f},
        {"a volume below it as silence", 5000, 8000, -5, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(FadeLevel(c.start, c.now, c.volume), c.level, 1e-6) << c.what;
}

// Steps of 50 ms never jump by more than a sliver of the whole, and each is at least as loud
// as the one before: no step can be heard as one.
TEST(FadeIn, FiftyMillisecondStepsRiseWithoutAJump)
{
    for (int volume : {10, 50, 100}) {
        float before = 0.0f;
        for (uint32_t now = 50; now <= FADE_IN_MS + 100; now += 50) {
            float level = FadeLevel(0, now, volume);
            EXPECT_GE(level, before) << volume << " at " << now;
            EXPECT_LE(level - before, VolumeLevel(volume) / 25) << volume << " at " << now;
            before = level;
        }
        EXPECT_FLOAT_EQ(before, VolumeLevel(volume));
    }
}
