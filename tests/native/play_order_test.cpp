// The play orders' logic: shuffled rounds, where a continuing run starts, the next track
// within the bound on starts, and a go's bound. The strict numbers of the settings file and of
// the device's replies are fuzzed (fuzz/decimal_text.cpp).
#include "launcher/portable/play_order.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
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

// The one answer the player asks for: the track after the current one, wrapping to the first,
// or in a shuffle the round's next, unless the bound on starts holds the start back; a start
// held back notes nothing and draws nothing from the round. A go's later tries take the same
// track from FollowingTrack.
TEST(NextTrack, FollowsThePlayOrderWithinTheBoundOnStarts)
{
    const int ROUNDS_NEXT = -1; // whatever the same round, drawn alone, gives next
    const uint32_t now = 50000;
    struct Case {
        const char* what;
        int playOrder, current, count;
        int startsBefore;   // starts noted already, each this long before now:
        uint32_t startsAgo; // milliseconds
        int track;          // 0 for none
    } cases[] = {
        {"the first of a run", PLAY_ORDER_FIRST, 0, 3, 0, 0, 1},
        {"the one after", PLAY_ORDER_FIRST, 1, 3, 0, 0, 2},
        {"after the last, the first", PLAY_ORDER_FIRST, 3, 3, 0, 0, 1},
        {"a continuing run goes on alike", PLAY_ORDER_CONTINUE, 2, 3, 0, 0, 3},
        {"past a list grown shorter, the first", PLAY_ORDER_FIRST, 5, 3, 0, 0, 1},
        {"an emptied list: slot 1, to be found empty", PLAY_ORDER_FIRST, 1, 0, 0, 0, 1},
        {"shuffled: the round's next", PLAY_ORDER_SHUFFLE, 2, 12, 0, 0, ROUNDS_NEXT},
        {"a shuffle of one track", PLAY_ORDER_SHUFFLE, 1, 1, 0, 0, 1},
        {"a shuffle of no track", PLAY_ORDER_SHUFFLE, 0, 0, 0, 0, 0},
        {"19 starts within the second", PLAY_ORDER_FIRST, 1, 3, 19, 999, 2},
        {"20 starts within the second", PLAY_ORDER_FIRST, 1, 3, 20, 999, 0},
        {"20 starts within the second, shuffled", PLAY_ORDER_SHUFFLE, 1, 12, 20, 999, 0},
        {"20 starts a second ago", PLAY_ORDER_FIRST, 1, 3, 20, 1000, 2},
        {"20 starts a second ago, shuffled", PLAY_ORDER_SHUFFLE, 1, 12, 20, 1000, ROUNDS_NEXT},
    };
    for (const Case& c : cases) {
        auto round = std::make_unique<ShuffleRound>();
        auto alone = std::make_unique<ShuffleRound>();
        StartShuffle(round.get(), 1000, 32);
        StartShuffle(alone.get(), 1000, 32);
        TrackStarts starts = {};
        for (int i = 0; i < c.startsBefore; ++i)
            ASSERT_EQ(TakeTrackStart(&starts, now - c.startsAgo), 1) << c.what;
        const TrackStarts noted = starts;

        auto following = std::make_unique<ShuffleRound>(*round);
        int track = NextTrackNumber(c.playOrder, c.current, c.count, round.get(), &starts, now);
        int expected = c.track == ROUNDS_NEXT ? NextShuffledTrack(alone.get(), c.count) : c.track;
        EXPECT_EQ(track, expected) << c.what;
        if (track != 0)
            EXPECT_EQ(FollowingTrack(c.playOrder, c.current, c.count, following.get()), track)
                << c.what << ": a go's later try";
        bool heldBack = c.startsBefore == MAX_STARTS_PER_SECOND && c.startsAgo < 1000;
        if (heldBack) {
            EXPECT_EQ(memcmp(&starts, &noted, sizeof starts), 0) << c.what << ": a start noted";
            EXPECT_EQ(round->random, alone->random) << c.what << ": a track drawn";
            EXPECT_EQ(round->count, 0) << c.what << ": a round drawn";
        } else {
            EXPECT_EQ(starts.ticks[noted.next], now) << c.what << ": no start noted";
        }
    }
}

// A go ends once it has tried as many tracks as the playlist holds, or once 50 ms have passed
// since its first try ended, across the tick count's wrap too; however long that first try
// took, the next one is made.
TEST(Go, EndsOnceEveryTrackIsTriedOrFiftyMillisecondsHavePassed)
{
    const uint32_t WRAP = 0xFFFFFFFFu;
    struct Case {
        const char* what;
        int trackCount;
        std::vector<uint32_t> failedAt; // the ticks at which the tries that did not play ended
        std::vector<int> goesOn;        // GoesOn's answer after each
    } cases[] = {
        {"three tracks", 3, {1000, 1001, 1002}, {1, 1, 0}},
        {"an emptied playlist: its slot 1 once", 0, {1000}, {0}},
        {"50 ms after the first", 12, {1010, 1059, 1060}, {1, 1, 0}},
        {"a slow first try, then one of 50 ms", 12, {5000, 5050}, {1, 0}},
        {"across the wrap", 12, {WRAP - 9, WRAP, 40}, {1, 1, 0}},
        {"eight missing", 9, {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008},
         {1, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        TrackGo go = BeginGo(c.trackCount);
        std::vector<int> answers;
        for (uint32_t tick : c.failedAt)
            answers.push_back(GoesOn(&go, tick));
        EXPECT_EQ(answers, c.goesOn) << c.what;
    }
}
