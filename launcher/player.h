// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm", in a play order: from the first track, on from
// where the last run stopped, or shuffled. The device tells a window when a track has ended,
// and each music tick asks it too. Its state is its own record, PlayerState.
#pragma once
#include "launcher/playlist.h"
#include "launcher/portable/play_order.h"
#include <windows.h>
#include <mmsystem.h>

// Where the music of the run stands. Each field names its writer.
struct PlayerStateRecord {
    int currentTrack;                 // Play, Advance, Continue: track last started or tried,
                                      // 0 before any
    unsigned currentDevice;           // OpenTrack: MCI device last opened, 0 for none
    int playOrder = PLAY_ORDER_FIRST; // StartMusic (launcher_saver.cpp), at the first tick
    ShuffleRound shuffle;             // StartMusic starts it, for PLAY_ORDER_SHUFFLE; then
                                      // FollowingTrack draws its rounds, for each go's tries
    TrackStarts starts;               // NextTrackNumber: when the last goes began
};
extern PlayerStateRecord PlayerState;
static_assert(MAX_TRACKS == SHUFFLE_MAX_TRACKS, "a shuffled round holds every slot");

// Everything back to its value at process start. The first tick of a run's music begins with
// it; tests too.
void ResetPlayerState();

// The shape of mciSendStringA. The player sends every command through gSendMciCommand,
// which is mciSendStringA in the product and a recorder in tests.
typedef MCIERROR(WINAPI* MciSendStringFunction)(LPCSTR command, LPSTR reply, UINT replyLength,
                                                HWND notifyWindow);
extern MciSendStringFunction gSendMciCommand;

// Stops and closes the current track, then opens the given one, makes it the current track
// and, unless the device gives it no length, starts it; its device posts MM_MCINOTIFY to
// notifyWindow, when there is one, once the track is over. 1 when it was started. 0 for a
// number outside 1 to 2048 (nothing is sent), and, with the device stopped all the same, for
// an empty slot, a path no MCI command can carry, a MIDI file on a system with no MIDI output,
// a file the device cannot open (these four leave the current track as it was) and a track of
// no length.
int Play(Playlist* playlist, int trackNumber, HWND notifyWindow = nullptr);
// 1 while the device reports that it plays.
int IsPlaying();
// Stops and closes the current track's device.
void Stop();
// Unless the current track still plays, starts a go (play_order.h): the next track in
// PlayerState.playOrder, and while a track does not play, the one after it, until one plays or
// the go's bound ends it. A go counts as one start against MAX_STARTS_PER_SECOND: while more
// would have been started within a second, nothing is tried, and the next call after that
// second goes on.
void Advance(Playlist* playlist, HWND notifyWindow = nullptr);
// The first go of a continuing run: the track at path lastTrack from lastPosition
// milliseconds on (UNKNOWN_POSITION when not known), or where ChooseResumePoint says instead,
// and on from there while a track does not play.
void Continue(Playlist* playlist, const char* lastTrack, int32_t lastPosition,
              HWND notifyWindow = nullptr);
// How far the current track has played, in milliseconds; UNKNOWN_POSITION when the device
// gives no position, as when no track is open.
int32_t CurrentPosition();
// Stop, then closes every MCI device of the process: the music's end.
void CloseAllMusic();
