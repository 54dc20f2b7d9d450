// The play orders' logic: shuffled rounds and where a continuing run starts. The strict
// numbers of the settings file and of the device's replies are fuzzed (fuzz/decimal_text.cpp).
#include "launcher/portable/play_order.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <vector>

TEST(Shuffle, EachRoundIsAPermutationNoTrackRepeatsAcrossItsEdgeAndSeedsDiffer)
{
    auto round = std::make_unique<ShuffleRound>();
    std::vector<std::vector<int>> firstRounds;
    for (int trackCount : {1, 2, 3, 12, 2048})
        for (uint32_t tick : {1000u, 1001u, 1002u}) { // runs a millisecond apart
            StartShuffle(round.get(), tick, 32);
            std::vector<int> previous;
            for (int r = 0; r < (trackCount > 12 ? 3 : 30); ++r) {
                std::vector<int> played, sorted;
                for (int i = 0; i < trackCount; ++i)
                    played.push_back(NextShuffledTrack(round.get(), trackCount));
                sorted = played;
                std::sort(sorted.begin(), sorted.end());
                for (int i = 0; i < trackCount; ++i)
                    ASSERT_EQ(sorted[i], i + 1) << trackCount << " tracks, round " << r;
                if (trackCount >= 2 && r > 0)
                    EXPECT_NE(played.front(), previous.back()) << trackCount << ", " << r;
                if (trackCount == 12 && r < 2)
                    firstRounds.push_back(played); // each run's first two rounds
                previous = played;
            }
        }
    for (size_t i = 0; i < firstRounds.size(); ++i)
        for (size_t j = i + 1; j < firstRounds.size(); ++j)
            EXPECT_NE(firstRounds[i], firstRounds[j]) << i << " and " << j;
}

TEST(Resume, WhereAContinuingRunStarts)
{
    const int32_t unknown = UNKNOWN_POSITION;
    struct Case {
        const char* what;
        int lastTrack;
        int32_t position, length;
        int track;
        int32_t from;
    } cases[] = {
        {"in the middle", 3, 61000, 200000, 3, 61000},
        {"no length given", 3, 61000, unknown, 3, 61000},
        {"just over 3 s before its end", 3, 196999, 200000, 3, 196999},
        {"in its last 3 s", 3, 197000, 200000, 4, 0},
        {"past its end: the file is shorter now", 3, 250000, 200000, 4, 0},
        {"of no length: it cannot play", 3, 61000, 0, 4, 0},
        {"the last track near its end", 5, 199500, 200000, 1, 0},
        {"the place unknown", 3, unknown, 200000, 4, 0},
        {"the path no longer in the playlist", 0, 61000, unknown, 1, 0},
    };
    for (const Case& c : cases) {
        ResumePoint point = ChooseResumePoint(c.lastTrack, c.position, c.length, 5);
        EXPECT_EQ(point.trackNumber, c.track) << c.what;
        EXPECT_EQ(point.position, c.from) << c.what;
    }
}
