// What this saver does while it runs: launch the accessory, paint the colour, play the music.
#pragma once
#include <windows.h>

const int MIN_FULL_SCREEN_WIDTH = 640;
const char ACCESSORY_FILE_NAME[] = "velorandix.exe";
const UINT_PTR MUSIC_TIMER_ID = 1;
const UINT MUSIC_TIMER_PERIOD = 1000;
const WORD IDM_EXIT = 40001;
// How long a close waits for the accessory to take IDM_EXIT before it goes on without it.
const UINT ACCESSORY_EXIT_TIMEOUT = 3000;

struct LauncherStateRecord {
    PROCESS_INFORMATION accessoryProcess; // WM_CREATE: CreateProcessA; zero when not started
    HWND accessoryWindow;                 // WM_CLOSE: cleared, then FindAccessoryWindow
    int musicEnabled;                     // WM_CREATE: 1 once the music timer runs
    int musicStarted;                     // first tick: 1 once the playlist is loaded
    RECT windowRect;                      // WM_CREATE: the saver window's screen rectangle
    RECT fillRect;                        // WM_CREATE: (0, 0, width, height) of windowRect
    HBRUSH backgroundBrush;               // WM_CREATE: brush in the background colour
};
extern LauncherStateRecord LauncherState;

LRESULT LauncherSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int FileExists(const char* path);
BOOL CALLBACK FindAccessoryWindow(HWND window, LPARAM lParam);
