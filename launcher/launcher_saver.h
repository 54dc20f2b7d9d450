// What this saver does while it runs: launch the accessory, paint the colour, play the music.
// LauncherSaverProc is this saver's step of the saver window's chain (saver_host.h).
#pragma once
#include <windows.h>

// A narrower window (the control panel's preview) only paints: no accessory, no music.
const int MIN_FULL_SCREEN_WIDTH = 640;
const UINT_PTR MUSIC_TIMER_ID = 1;
const UINT MUSIC_TIMER_PERIOD = 1000;
// The warning at window creation when the accessory's path names no file.
inline constexpr char MISSING_ACCESSORY_TEXT[] =
    "設定が不完全です。\n設定を開きvelorandix.exeの場所を指定する必要があります。";
inline constexpr char MISSING_ACCESSORY_CAPTION[] = "velora_v010用スクリーンセーバーLauncher";

LRESULT CALLBACK LauncherSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 1 when FindFirstFileA finds the path: files, folders and matching wildcards; not "".
int FileExists(const char* path);
