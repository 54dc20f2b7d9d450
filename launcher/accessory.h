// The accessory the saver runs over its background: started from its path in its own folder,
// asked to quit with IDM_EXIT, its handles closed. Its process and window are kept in
// LauncherState.
#pragma once
#include <windows.h>

const char ACCESSORY_FILE_NAME[] = "velorandix.exe";
// The menu command that makes the accessory quit.
const WORD IDM_EXIT = 40001;
// How long a close waits for the accessory to take IDM_EXIT before it goes on without it.
const UINT ACCESSORY_EXIT_TIMEOUT = 3000;

// 1 when the path is long enough to hold a drive and ACCESSORY_FILE_NAME (16 characters or
// more) and ends in that name, byte for byte.
int NamesAccessory(const char* path);
void StartAccessory(const char* path);
// Sends IDM_EXIT to the accessory's window, found on its main thread in this call.
void AskAccessoryToQuit();
// At the window's destruction: closes the accessory's thread and process handles, once, and
// forgets its ids with them; the accessory runs on.
void CloseAccessoryHandles();
// EnumThreadWindows callback: the first window with WS_EX_DLGMODALFRAME becomes
// LauncherState.accessoryWindow.
BOOL CALLBACK FindAccessoryWindow(HWND window, LPARAM lParam);
