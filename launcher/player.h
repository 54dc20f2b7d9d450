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
    int currentTrack;                 // Play, Advance, Continue: track last started, 0 before any
    unsigned currentDevice;           // OpenTrack: MCI device last opened, 0 for none
    int playOrder = PLAY_ORDER_FIRST; // StartMusic (launcher_saver.cpp), at the first tick
    ShuffleRound shuffle;             // StartMusic starts it, for PLAY_ORDER_SHUFFLE; then
                                      // NextTrackNumber draws its rounds
    TrackStarts starts;               // NextTrackNumber: when the last tracks started
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
// an empty slot, a path no MCI command can carry, a MIDI file on a system with no MIDI output
// (these three leave the current track as it was) and a track of no length.
int Play(Playlist* playlist, int trackNumber, HWND notifyWindow = nullptr);
// 1 while the device reports that it plays.
int IsPlaying();
// Stops and closes the current track's device.
void Stop();
// Starts the next track in PlayerState.playOrder unless the current one still plays, or
// more than MAX_STARTS_PER_SECOND tracks would have been started within a second: the next
// call after that second starts it.
void Advance(Playlist* playlist, HWND notifyWindow = nullptr);
// The first track of a continuing run: the one at path lastTrack from lastPosition
// milliseconds on (UNKNOWN_POSITION when not known), or where ChooseResumePoint says instead.
void Continue(Playlist* playlist, const char* lastTrack, int32_t lastPosition,
              HWND notifyWindow = nullptr);
// How far the current track has played, in milliseconds; UNKNOWN_POSITION when the device
// gives no position, as when no track is open.
int32_t CurrentPosition();
// Stop, then closes every MCI device of the process: the music's end.
void CloseAllMusic();
