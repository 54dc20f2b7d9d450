// What the launcher keeps for one saver run: the accessory, the music's progress, the window's
// area and the background brush.
#pragma once
#include <windows.h>

struct LauncherStateRecord {
    PROCESS_INFORMATION accessoryProcess; // StartAccessory; zero when not started or after
                                          // CloseAccessoryHandles at WM_DESTROY
    HWND accessoryWindow;                 // AskAccessoryToQuit: cleared, then found anew
    int musicEnabled;                     // WM_CREATE: 1 once the music timer runs
    int musicStarted;                     // first tick: 1 once the playlist is loaded
    RECT windowRect;                      // WM_CREATE: the saver window's screen rectangle
    RECT fillRect;                        // WM_CREATE: (0, 0, width, height) of windowRect
    HBRUSH backgroundBrush;               // WM_CREATE: brush in the background colour
};
extern LauncherStateRecord LauncherState;

// All back to zero, as at the start of a run: the window's creation begins with it; tests too.
void ResetLauncherState();
