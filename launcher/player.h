// The background-music player: plays the playlist's tracks one after another through MCI
// command strings on the device alias "bgm", polled once per music tick. Its only state is
// the playlist's currentTrack.
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
// current track. 0 for a number outside 1 to 2048 (nothing is sent) or an empty slot (the
// device is stopped all the same).
int Play(Playlist* playlist, int trackNumber);
// 1 while the device reports that it plays.
int IsPlaying();
// Stops and closes the current track's device.
void Stop();
// Starts the next track, wrapping to the first, unless the current one still plays.
void Advance(Playlist* playlist);
// Stop, then closes every MCI device of the process: the music's end.
void CloseAllMusic();
