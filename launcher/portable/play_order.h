// Which track plays next and how soon: the three play orders (from the first track, on from
// where the last run stopped, shuffled in rounds), where a continuing run starts, the bound on
// how many tracks may start in one second, the one answer the player asks of them all, and how
// long one go may try tracks that do not play. Platform-free.
#pragma once
#include <cstdint>

// The play orders, as the settings file holds them.
const int PLAY_ORDER_FIRST = 0;    // from track 1 on every run
const int PLAY_ORDER_CONTINUE = 1; // the last run's track, from where it stopped
const int PLAY_ORDER_SHUFFLE = 2;  // every track once per round, each round in a new order

// ---- Shuffle -------------------------------------------------------------------------------

const int SHUFFLE_MAX_TRACKS = 2048; // the playlist's slots

struct ShuffleRound {
    uint32_t random;                    // the generator's state: never 0 once started
    int count;                          // tracks in the round; 0 before the first
    int next;                           // index in order of the round's next track
    uint16_t order[SHUFFLE_MAX_TRACKS]; // the round's track numbers, in the order they play
};

// Forgets any round: the next track begins a new one, drawn from a seed made of two values
// that differ from run to run, the tick count and the process id. Close values give
// unrelated orders.
void StartShuffle(ShuffleRound* round, uint32_t tick, uint32_t processId);
// The next track, 1 to trackCount, or 0 when there is none. A round plays every track once;
// each new round is drawn anew and, with two or more tracks, does not begin with the track
// that ended the round before. A change of trackCount begins a new round.
int NextShuffledTrack(ShuffleRound* round, int trackCount);

// ---- Continuing where the last run stopped -------------------------------------------------

const int32_t UNKNOWN_POSITION = -1;
// A track stopped this near its end counts as heard: the run starts with the track after it.
const int32_t RESUME_END_MARGIN_MS = 3000;

struct ResumePoint {
    int trackNumber;  // 1 to trackCount
    int32_t position; // milliseconds into it; 0 from its start
};

// The track number of path in tracks (trackCount entries, track 1 first), or 0 when it is not
// there. Byte for byte: the path as the player opened it, from the same playlist.
int FindTrackByPath(const char* const* tracks, int trackCount, const char* path);
// Where a continuing run starts. lastTrack: the number that the track played last has in
// today's playlist, 0 when its path is no longer there; lastPosition: where it stopped, in
// milliseconds, or UNKNOWN_POSITION; length: its length in milliseconds as the device reports
// it now, 0 for a track that cannot play, UNKNOWN_POSITION when the device gives none.
ResumePoint ChooseResumePoint(int lastTrack, int32_t lastPosition, int32_t length, int trackCount);

// ---- The pace of starts --------------------------------------------------------------------

// Whatever a device reports, no more tracks than this start in any one second.
const int MAX_STARTS_PER_SECOND = 20;

struct TrackStarts {
    uint32_t ticks[MAX_STARTS_PER_SECOND]; // the last starts' ticks; once full, ticks[next]
                                           // is the oldest
    int count;                             // starts noted, up to MAX_STARTS_PER_SECOND
    int next;                              // where the next start is noted
};

// 1, with the start noted, when a track may start at tick now (milliseconds, wrapping after
// 49.7 days): fewer than MAX_STARTS_PER_SECOND have started in the second before. 0, with
// nothing noted, otherwise.
int TakeTrackStart(TrackStarts* starts, uint32_t now);

// ---- The next track ------------------------------------------------------------------------

// The track after current (the track last started, 0 before any) among count tracks: in
// PLAY_ORDER_SHUFFLE the round's next, in the other orders the one after current, wrapping to
// the first. 0 for a shuffle of no track. It notes no start: a go's later tries are its own.
int FollowingTrack(int playOrder, int current, int count, ShuffleRound* shuffle);
// The track to start at tick now after current: FollowingTrack, once TakeTrackStart has noted
// a start. 0, with no start noted and no track drawn, while TakeTrackStart holds the start
// back; 0 too for a shuffle of no track.
int NextTrackNumber(int playOrder, int current, int count, ShuffleRound* shuffle,
                    TrackStarts* starts, uint32_t now);

// ---- A go ----------------------------------------------------------------------------------

// A tick or a notice that finds the music stopped starts a go: tracks are tried one after
// another, in the play order, until one plays; a track that cannot be opened, is refused or
// has no length is passed over at once. The go runs inside a message handler, so it ends once
// it has tried as many tracks as the playlist holds or once its further tries have taken
// GO_TIME_LIMIT_MS, whichever comes first; the next tick goes on from there. The time counts
// from the end of the first try, the one try a tick has always made: the first open of a run
// loads the music device's driver, which can take longer than the bound by itself.
const uint32_t GO_TIME_LIMIT_MS = 50;

struct TrackGo {
    uint32_t start; // the tick count as the first try ended
    int tries;      // tracks tried so far
    int trackCount; // the playlist's tracks: each is tried at most once a go
};

// A go of no tries.
TrackGo BeginGo(int trackCount);
// Notes a try that did not play, ended at tick now (milliseconds, wrapping after 49.7 days): 1
// when the go may try another track. Every go tries one track at least, an emptied playlist's
// slot 1 too.
int GoesOn(TrackGo* go, uint32_t now);
