// Which track plays next and how soon: shuffled rounds, where a continuing run starts, the
// bound on starts per second, the next track of any order, and the bound on a go. Platform-free.
#include "launcher/portable/play_order.h"
#include <cstring>

// The finaliser of MurmurHash3: every input bit moves about half the output bits, so that
// tick counts a few milliseconds apart give unrelated states.
static uint32_t Mix(uint32_t value)
{
    value ^= value >> 16;
    value *= 0x85EBCA6Bu;
    value ^= value >> 13;
    value *= 0xC2B2AE35u;
    value ^= value >> 16;
    return value;
}

void StartShuffle(ShuffleRound* round, uint32_t tick, uint32_t processId)
{
    uint32_t seed = Mix(tick ^ Mix(processId + 0x9E3779B9u));
    round->random = seed != 0 ? seed : 0x9E3779B9u; // xorshift stays at 0 for ever
    round->count = 0;
    round->next = 0;
}

// Marsaglia's xorshift32: small and fast, and more than random enough to order a playlist.
static uint32_t NextRandom(ShuffleRound* round)
{
    uint32_t x = round->random;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    round->random = x;
    return x;
}

// 0 to below `below`, by multiplying rather than by a remainder: the bias is below 2^-20 for
// any playlist.
static int RandomBelow(ShuffleRound* round, int below)
{
    return static_cast<int>((static_cast<uint64_t>(NextRandom(round)) * below) >> 32);
}

// Fisher and Yates' shuffle of 1 to trackCount. A round that would begin with the track just
// heard swaps its first place with another place at random.
static void DrawRound(ShuffleRound* round, int trackCount, int previousLast)
{
    for (int i = 0; i < trackCount; ++i)
        round->order[i] = static_cast<uint16_t>(i + 1);
    for (int i = trackCount - 1; i > 0; --i) {
        int j = RandomBelow(round, i + 1);
        uint16_t kept = round->order[i];
        round->order[i] = round->order[j];
        round->order[j] = kept;
    }
    if (trackCount >= 2 && round->order[0] == previousLast) {
        int j = 1 + RandomBelow(round, trackCount - 1);
        round->order[0] = round->order[j];
        round->order[j] = static_cast<uint16_t>(previousLast);
    }
    round->count = trackCount;
    round->next = 0;
}

int NextShuffledTrack(ShuffleRound* round, int trackCount)
{
    if (trackCount < 1 || trackCount > SHUFFLE_MAX_TRACKS)
        return 0;
    if (round->random == 0)
        StartShuffle(round, 0, 0);
    if (round->count != trackCount || round->next >= round->count) {
        // Only a whole round of the same tracks has a last track to keep from the front.
        int previousLast = round->count == trackCount ? round->order[trackCount - 1] : 0;
        DrawRound(round, trackCount, previousLast);
    }
    return round->order[round->next++];
}

int FindTrackByPath(const char* const* tracks, int trackCount, const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return 0;
    for (int i = 0; i < trackCount; ++i)
        if (tracks[i] != nullptr && strcmp(tracks[i], path) == 0)
            return i + 1;
    return 0;
}

ResumePoint ChooseResumePoint(int lastTrack, int32_t lastPosition, int32_t length, int trackCount)
{
    if (lastTrack < 1 || lastTrack > trackCount)
        return {1, 0};
    ResumePoint after = {lastTrack % trackCount + 1, 0};
    if (lastPosition < 0 || length == 0)
        return after;
    // The device's length is in the same milliseconds; one it does not give cannot be checked.
    if (length > 0 && lastPosition >= length - RESUME_END_MARGIN_MS)
        return after;
    return {lastTrack, lastPosition};
}

int TakeTrackStart(TrackStarts* starts, uint32_t now)
{
    // The unsigned difference is the time elapsed, across the tick count's wrap too.
    if (starts->count == MAX_STARTS_PER_SECOND && now - starts->ticks[starts->next] < 1000u)
        return 0;
    starts->ticks[starts->next] = now;
    starts->next = (starts->next + 1) % MAX_STARTS_PER_SECOND;
    if (starts->count < MAX_STARTS_PER_SECOND)
        ++starts->count;
    return 1;
}

int FollowingTrack(int playOrder, int current, int count, ShuffleRound* shuffle)
{
    if (playOrder == PLAY_ORDER_SHUFFLE)
        return NextShuffledTrack(shuffle, count);
    return current + 1 > count ? 1 : current + 1;
}

// The bound comes first: a start held back must not use up a shuffled round's track.
int NextTrackNumber(int playOrder, int current, int count, ShuffleRound* shuffle,
                    TrackStarts* starts, uint32_t now)
{
    if (!TakeTrackStart(starts, now))
        return 0;
    return FollowingTrack(playOrder, current, count, shuffle);
}

TrackGo BeginGo(int trackCount)
{
    return {0, 0, trackCount};
}

int GoesOn(TrackGo* go, uint32_t now)
{
    if (go->tries++ == 0)
        go->start = now;
    // The unsigned difference is the time elapsed, across the tick count's wrap too.
    return go->tries < go->trackCount && now - go->start < GO_TIME_LIMIT_MS ? 1 : 0;
}
