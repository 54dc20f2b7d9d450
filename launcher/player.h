// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm". The device tells a window when a track has ended,
// and each music tick asks it too. Its only state is the playlist's currentTrack and
// currentDevice.
#pragma once
#include "launcher/playlist.h"
#include <windows.h>
#include <mmsystem.h>

// The shape of mciSendStringA. The player sends every command through gSendMciCommand,
// which is mciSendStringA in the product and a recorder in tests.
typedef MCIERROR(WINAPI* MciSendStringFunction)(LPCSTR command, LPSTR reply, UINT replyLength,
                                                HWND notifyWindow);
extern MciSendStringFunction gSendMciCommand;

// Stops and closes the current track, then opens and starts the given one and makes it the
// current track; its device posts MM_MCINOTIFY to notifyWindow, when there is one, once the
// track is over. 0 for a number outside 1 to 2048 (nothing is sent), and, with the device
// stopped all the same, for an empty slot, a path no MCI command can carry, and a MIDI file
// on a system with no MIDI output.
int Play(Playlist* playlist, int trackNumber, HWND notifyWindow = nullptr);
// 1 while the device reports that it plays.
int IsPlaying();
// Stops and closes the current track's device.
void Stop();
// Starts the next track, wrapping to the first, unless the current one still plays.
void Advance(Playlist* playlist, HWND notifyWindow = nullptr);
// Stop, then closes every MCI device of the process: the music's end.
void CloseAllMusic();
