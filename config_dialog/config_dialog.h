// The configure mode's modal settings dialog (template 2003): its procedure, the colour chooser
// and the reader of the executable's own file version.
#pragma once
#include "launcher/settings.h"
#include "saver_host/saver_host.h"
#include <windows.h>
#include <commdlg.h>

struct ConfigDialogStateRecord {
    LauncherSettingsRecord settings; // WM_INITDIALOG: loaded; browse, colour; OK: order, saved
    HBRUSH swatchBrush;              // WM_INITDIALOG and every confirmed colour; deleted at the end
    COLORREF customColors[16];       // PickColor: all black before every opening of the chooser
    int versionNumbers[4];           // ReadFileVersion: major, minor, build, revision
};
extern ConfigDialogStateRecord ConfigDialogState;

// All back to zero, as before the dialog opens: WM_INITDIALOG begins with it; tests too.
void ResetConfigDialogState();

// The entries of the common dialogs (COMDLG32) by name: looked up in the library, loaded when
// the dialog first needs one, in the product; a stand-in for an older system's common dialogs
// in tests. Null when there is no such entry.
typedef FARPROC (*CommonDialogEntryFunction)(const char* name);
extern CommonDialogEntryFunction gCommonDialogEntry;

// Ends the dialog with 1 after OK (the settings saved) and with 0 after Cancel.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The colour chooser, opened on *color: 1 when the user confirmed a colour, now in *color; 0 on
// cancel, on failure and for a null pointer (nothing is shown then).
int PickColor(HWND owner, COLORREF* color);
// Room for the line under the playlist's path: a text of the string table with its counts.
const int PLAYLIST_CONTENTS_SIZE = 2 * USER_CAPTION_SIZE;
// The line under the playlist's path for the playlist at path, in the user's language, into
// line (PLAYLIST_CONTENTS_SIZE units); empty for an empty path. Loads the process-wide
// playlist, looks for each track's file and clears the playlist again.
void DescribePlaylist(const char* path, WCHAR* line);
// Fills ConfigDialogState.versionNumbers from the running executable's FileVersion text; all 0
// when there is none.
void ReadFileVersion();
