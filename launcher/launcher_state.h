// What the launcher keeps for one saver run: the accessory, the music's progress and its level,
// the window's area and the background brush.
#pragma once
#include <windows.h>

struct ISimpleAudioVolume;

struct LauncherStateRecord {
    PROCESS_INFORMATION accessoryProcess; // StartAccessory; zero when not started or after
                                          // CloseAccessoryHandles at WM_DESTROY
    HWND accessoryWindow;                 // AskAccessoryToQuit: cleared, then found anew
    int musicEnabled;                     // WM_CREATE: 1 once the music timer runs
    int musicStarted;                     // first tick: 1 once the playlist is loaded
    RECT windowRect;                      // WM_CREATE: the saver window's screen rectangle
    RECT fillRect;                        // WM_CREATE: (0, 0, width, height) of windowRect
    HBRUSH backgroundBrush;               // WM_CREATE: brush in the background colour
    // The music's level in its audio session (music_volume.cpp):
    int levelChanged; // BeginMusicLevel: 1 once it has set a level; EndMusicLevel clears it
    float levelFound; // BeginMusicLevel: the session's level before, which EndMusicLevel restores
    int fading;       // BeginMusicLevel: 1 while the gentle start rises; StepFadeIn, EndMusicLevel
    int fadeVolume;   // BeginMusicLevel: the volume the gentle start rises to
    DWORD fadeStart;  // BeginMusicLevel: the tick count at which it began
    ISimpleAudioVolume* sessionVolume; // ReadSessionLevel: taken; EndMusicLevel: let go
    void(WINAPI* endCom)();            // ReadSessionLevel: CoUninitialize when this thread's
                                       // COM is the music's to end; EndMusicLevel calls it
};
extern LauncherStateRecord LauncherState;

// All back to zero, as at the start of a run: the window's creation begins with it; tests too.
void ResetLauncherState();
