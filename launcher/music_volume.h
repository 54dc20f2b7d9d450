// The music's level in this process's own audio session, from Windows Vista on: the level the
// Volume Mixer shows for the saver, set at the music's first tick and put back at its end, and
// the gentle start's rise to it.
#pragma once
#include "launcher/portable/fade_in.h"
#include <windows.h>

// ==== The session's level ===========================================================
//
// The shapes of ReadSessionLevel and SetSessionLevel. The launcher reads and sets the level
// through gReadSessionLevel and gSetSessionLevel, these two in the product and a recorder in
// tests; Windows itself does not let a test hear the level under Wine.
typedef int (*ReadSessionLevelFunction)(float* level);
typedef int (*SetSessionLevelFunction)(float level);
extern ReadSessionLevelFunction gReadSessionLevel;
extern SetSessionLevelFunction gSetSessionLevel;
// GetVersion in the product; a test's for another system.
extern DWORD(WINAPI* gGetVersion)();

// The level of this process's session on the default output device into *level (0 to 1): 1
// when read, 0 when there is no such session. The first call takes the session's volume
// through COM, OLE32 loaded rather than imported, with COM begun on this thread until
// EndMusicLevel.
int ReadSessionLevel(float* level);
// 1 when the session took the level (0 to 1). Only once ReadSessionLevel has answered 1.
int SetSessionLevel(float level);

// ==== The music's level over a run ==================================================

// At the music's first tick, before its first track opens. With the full volume and no gentle
// start, nothing at all: the music plays at the session's level as it always did. Otherwise,
// from Windows Vista on (the Windows 95 family and XP have only the device's level, which is
// never touched), the session's level is read, to be put back at the end, and set to the
// volume's, or to silence when the music starts gently. 1 when the gentle start has begun: a
// timer should then call StepFadeIn until it answers 0.
int BeginMusicLevel(int volume, int fadeIn);
// The level the gentle start has reached now, by the time gone since it began and not by the
// number of calls; 0 once it has reached the volume, or when none runs.
int StepFadeIn();
// At the music's end, once its devices are closed: any gentle start ends where it stands, and
// the session gets back the level it had before, in one call that waits for nothing; then the
// session's volume is let go, and COM ended on this thread where ReadSessionLevel began it.
void EndMusicLevel();
