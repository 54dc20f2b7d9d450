// Paths between UTF-16 and the ANSI code page, in which the settings file, the playlist's
// tracks and the music device's commands hold them: taken only when they come back unchanged,
// or else by the file's short name.
#pragma once
#include <windows.h>

// Room for any path these calls are given: a playlist's folder and one of its lines, or a path
// chosen in a file dialog, in UTF-16 units with the NUL.
const int WIDE_PATH_SIZE = 2048;
// The same path in the ANSI code page: each UTF-16 unit takes at most two bytes there.
const int ANSI_PATH_SIZE = 2 * WIDE_PATH_SIZE;

// The ANSI code page every conversion here takes: GetACP, unless a test has put another code
// page in its place. It may be UTF-8 (65001), where Windows 10 and 11 are set to "Use Unicode
// UTF-8 for worldwide language support".
extern UINT(WINAPI* gAnsiCodePage)();

// The text in the ANSI code page when every character of it has a form there; false otherwise.
bool WideToAnsi(const WCHAR* wide, char* ansi, int ansiSize);
// The short (8.3) name of the existing file or folder at longPath, in the ANSI code page: the
// form of a name that the code page cannot hold, where the file system keeps one. False where
// there is none, on the Windows 95 family, and when it still does not fit the code page.
bool ShortAnsiPath(const WCHAR* longPath, char* ansi, int ansiSize);
