// The play orders' logic: shuffled rounds, where a continuing run starts, the bound on starts
// per second, and the strict numbers of the settings file and the device's replies.
#include "launcher/portable/decimal_text.h"
#include "launcher/portable/play_order.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <vector>

static std::vector<int> Shuffled(ShuffleRound* round, int trackCount, int tracks)
{
    std::vector<int> played;
    for (int i = 0; i < tracks; ++i)
        played.push_back(NextShuffledTrack(round, trackCount));
    return played;
}

TEST(Shuffle, EveryRoundPlaysEveryTrackOnceAndNoTrackTwiceAcrossARoundsEdge)
{
    auto round = std::make_unique<ShuffleRound>();
    for (int trackCount : {1, 2, 3, 7, 2048}) {
        for (uint32_t seed : {1u, 2u, 0xDEADBEEFu}) {
            StartShuffle(round.get(), seed);
            const int rounds = trackCount == 2048 ? 3 : 40;
            std::vector<int> played = Shuffled(round.get(), trackCount, rounds * trackCount);
            std::vector<int> all(trackCount);
            for (int i = 0; i < trackCount; ++i)
                all[i] = i + 1;
            for (int r = 0; r < rounds; ++r) {
                auto begin = played.begin() + r * trackCount;
                std::vector<int> one(begin, begin + trackCount);
                std::sort(one.begin(), one.end());
                EXPECT_EQ(one, all) << trackCount << " tracks, round " << r;
                if (r > 0 && trackCount >= 2)
                    EXPECT_NE(*begin, *(begin - 1)) << trackCount << " tracks, round " << r;
            }
        }
    }
    EXPECT_EQ(NextShuffledTrack(round.get(), 0), 0);
}

TEST(Shuffle, DifferentSeedsAndNewRoundsGiveDifferentOrders)
{
    // Runs a moment apart: tick counts 1 ms apart, the same process id or the next.
    auto round = std::make_unique<ShuffleRound>();
    std::vector<std::vector<int>> orders;
    for (uint32_t tick = 1000; tick < 1005; ++tick)
        for (uint32_t processId : {32u, 33u}) {
            StartShuffle(round.get(), ShuffleSeed(tick, processId));
            orders.push_back(Shuffled(round.get(), 12, 12));
            EXPECT_NE(Shuffled(round.get(), 12, 12), orders.back()) << "the next round";
        }
    for (size_t i = 0; i < orders.size(); ++i)
        for (size_t j = i + 1; j < orders.size(); ++j)
            EXPECT_NE(orders[i], orders[j]) << i << " and " << j;
    EXPECT_NE(ShuffleSeed(0, 0), 0u);
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
        {"at its start", 3, 0, 200000, 3, 0},
        {"the length not given", 3, 61000, unknown, 3, 61000},
        {"more than 3 s before its end", 3, 196999, 200000, 3, 196999},
        {"3 s before its end", 3, 197000, 200000, 4, 0},
        {"in its last second", 3, 199500, 200000, 4, 0},
        {"past its end (the file is shorter now)", 3, 250000, 200000, 4, 0},
        {"a track shorter than 3 s", 3, 0, 2500, 4, 0},
        {"no length: the track cannot play", 3, 61000, 0, 4, 0},
        {"the last track, near its end", 5, 199500, 200000, 1, 0},
        {"the place unknown", 3, unknown, 200000, 4, 0},
        {"the last track, its place unknown", 5, unknown, unknown, 1, 0},
        {"the path no longer in the playlist", 0, 61000, unknown, 1, 0},
        {"a number past the playlist", 6, 61000, 200000, 1, 0},
    };
    for (const Case& c : cases) {
        ResumePoint point = ChooseResumePoint(c.lastTrack, c.position, c.length, 5);
        EXPECT_EQ(point.trackNumber, c.track) << c.what;
        EXPECT_EQ(point.position, c.from) << c.what;
    }

    const char* tracks[] = {"C:\\m\\a.wav", nullptr, "C:\\m\\b.wav ", "C:\\m\\b.wav"};
    EXPECT_EQ(FindTrackByPath(tracks, 4, "C:\\m\\b.wav"), 4); // by its path, not its number
    EXPECT_EQ(FindTrackByPath(tracks, 4, "C:\\m\\b.wav "), 3);
    EXPECT_EQ(FindTrackByPath(tracks, 4, "C:\\m\\c.wav"), 0);
    EXPECT_EQ(FindTrackByPath(tracks, 4, ""), 0);
    EXPECT_EQ(FindTrackByPath(tracks, 3, "C:\\m\\b.wav"), 0);
}

TEST(TrackStartPace, NoMoreThanTwentyStartsInAnySecondAcrossTheTicksWrap)
{
    for (uint32_t start : {0u, 0xFFFFFF00u}) {
        TrackStarts starts = {};
        for (uint32_t i = 0; i < 20; ++i) {
            ASSERT_TRUE(MayStartTrack(&starts, start + i * 10)) << i;
            NoteTrackStart(&starts, start + i * 10);
        }
        EXPECT_FALSE(MayStartTrack(&starts, start + 200));
        EXPECT_FALSE(MayStartTrack(&starts, start + 999));
        EXPECT_TRUE(MayStartTrack(&starts, start + 1000)); // a second after the first
        NoteTrackStart(&starts, start + 1000);
        EXPECT_FALSE(MayStartTrack(&starts, start + 1009));
        EXPECT_TRUE(MayStartTrack(&starts, start + 1010));
    }
    // Seven a second, as a list of short tracks changes: never held back.
    TrackStarts starts = {};
    for (uint32_t i = 0; i < 200; ++i) {
        ASSERT_TRUE(MayStartTrack(&starts, i * 143)) << i;
        NoteTrackStart(&starts, i * 143);
    }
}

TEST(ReadDecimal, TakesOnlyAWholeNumberInItsRange)
{
    struct Case {
        const char* text;
        int32_t lowest, highest;
        bool read;
        int32_t value;
    } cases[] = {
        {"0", 0, 2, true, 0},           {"2", 0, 2, true, 2},
        {"3", 0, 2, false, 0},          {"-1", 0, 2, false, 0},
        {"-1", -5, 2, true, -1},        {"01", 0, 2, true, 1},
        {"", 0, 2, false, 0},           {"-", 0, 2, false, 0},
        {" 1", 0, 2, false, 0},         {"1 ", 0, 2, false, 0},
        {"1x", 0, 2, false, 0},         {"0x1", 0, 2, false, 0},
        {"+1", 0, 2, false, 0},         {"1.5", 0, 2, false, 0},
        {"2147483647", 0, INT32_MAX, true, INT32_MAX},
        {"2147483648", 0, INT32_MAX, false, 0},
        {"-2147483648", INT32_MIN, 0, true, INT32_MIN},
        {"99999999999999999999999", 0, INT32_MAX, false, 0},
        {"4294967298", 0, 2, false, 0}, // 2 past 2^32: no wrap to 2
    };
    for (const Case& c : cases) {
        int32_t value = 77;
        EXPECT_EQ(ReadDecimal(c.text, c.lowest, c.highest, &value), c.read ? 1 : 0) << c.text;
        EXPECT_EQ(value, c.read ? c.value : 77) << c.text;
    }
    int32_t value = 0;
    EXPECT_EQ(ReadDecimal(nullptr, 0, 2, &value), 0);
}
