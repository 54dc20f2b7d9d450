// What this saver does while it runs: launch the accessory, paint the colour, play the music.
// LauncherSaverProc is this saver's step of the saver window's chain (saver_host.h).
#pragma once
#include <windows.h>

// Full screen or preview? The host's answer, SaverState.isPreview, comes first: a preview never
// launches or plays, however many physical pixels its host has at a high scaling. A full-screen
// window narrower than this many pixels is taken for a preview as well, as it always was: it
// only paints, with no accessory and no music. launcher_saver.cpp's IsFullScreenRun is the one
// place that asks.
const int MIN_FULL_SCREEN_WIDTH = 640;
const UINT_PTR MUSIC_TIMER_ID = 1;
const UINT MUSIC_TIMER_PERIOD = 1000;
// The gentle start's steps: fine enough that no one hears them as steps.
const UINT_PTR FADE_TIMER_ID = 2;
const UINT FADE_TIMER_PERIOD = 50;

LRESULT CALLBACK LauncherSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
