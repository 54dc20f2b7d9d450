// Paths between UTF-16 and the ANSI code page, in which the settings file, the playlist's
// tracks and the music device's commands hold them: taken only when they come back unchanged,
// or else by the file's short name.
#pragma once
#include "launcher/portable/path_parts.h"
#include <windows.h>

// Room for any path these calls are given: a playlist's folder and one of its lines, or a path
// chosen in a file dialog, in UTF-16 units with the NUL.
const int WIDE_PATH_SIZE = 2048;
// The same path in the ANSI code page: each UTF-16 unit takes at most two bytes in a
// double-byte code page such as 932, and three in UTF-8 (a character beyond the 16 bits takes
// two units and four bytes).
const int ANSI_PATH_SIZE = 3 * WIDE_PATH_SIZE;

// The ANSI code page every conversion here takes: GetACP, unless a test has put another code
// page in its place. It may be UTF-8 (65001), where Windows 10 and 11 are set to "Use Unicode
// UTF-8 for worldwide language support".
extern UINT(WINAPI* gAnsiCodePage)();
// What a locale says of itself: GetLocaleInfoA, unless a test has put another answer in its
// place. The playlist asks it which code page older programs wrote in.
extern int(WINAPI* gLocaleInfo)(LCID locale, LCTYPE type, LPSTR data, int dataSize);

// The lead-byte test that splits paths in the ANSI code page: UTF-8's where that is UTF-8 (the
// system's IsDBCSLeadByte then knows no lead byte, and does not follow a code page put in the
// system's place), the system's double-byte one otherwise.
LeadByteTest AnsiPathLeadBytes();

// The text in the ANSI code page when every character of it has a form there; false otherwise.
bool WideToAnsi(const WCHAR* wide, char* ansi, int ansiSize);
// The short (8.3) name of the existing file or folder at longPath, in the ANSI code page: the
// form of a name that the code page cannot hold, where the file system keeps one. False where
// there is none, on the Windows 95 family, and when it still does not fit the code page.
bool ShortAnsiPath(const WCHAR* longPath, char* ansi, int ansiSize);
