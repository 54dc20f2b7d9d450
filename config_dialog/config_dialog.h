// The configure mode's settings dialog (template 2003). Each section below says which file of
// this folder exports what; the first is the dialog the entry file hands the host.
#pragma once
#include "config_dialog/portable/version_numbers.h"
#include "launcher/settings.h"
#include "resources/resource_ids.h"
#include "saver_host/saver_host.h"
#include <windows.h>
#include <commdlg.h>

// ==== dialog_proc.cpp: the dialog ==================================================
//
// The dialog works on its own copy of the settings (ConfigDialogState.settings), loaded as it
// opens; a confirmed file or colour changes it at once, OK takes the setting controls' values
// into it and saves it.

// Ends the dialog with 1 after OK (the settings saved) and with 0 after Cancel.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ==== dialog_state.cpp: the dialog's process-wide record ===========================

// Each field names its writer.
struct ConfigDialogStateRecord {
    LauncherSettingsRecord settings; // WM_INITDIALOG: loaded; browse, colour; OK: controls, saved
    HBRUSH swatchBrush;              // WM_INITDIALOG and every confirmed colour; deleted at the end
    COLORREF customColors[16];       // PickColor: all black before every opening of the chooser
    int versionNumbers[4];           // ReadFileVersion: major, minor, build, revision
};
extern ConfigDialogStateRecord ConfigDialogState;

// All back to zero, as before the dialog opens: WM_INITDIALOG begins with it; tests too.
void ResetConfigDialogState();

// ==== setting_controls.cpp: settings that are a number chosen in a control =========
//
// One row per such setting, its key named as SETTINGS_KEYS names it; WM_INITDIALOG shows each
// in its control, OK takes each from it. A new kind of control is a name below and its case in
// each of the calls.

enum SettingControlKind {
    // A drop-down list whose item n stands for the value lowest + n.
    DROP_DOWN_LIST,
    // A trackbar from lowest to highest whose thumb the user moves in steps; a value between
    // steps, as the file may hold one, shows where it is and stays until the thumb is moved.
    TRACKBAR,
    // A check box: checked for highest, clear for lowest.
    CHECK_BOX,
};

struct SettingControl {
    const SettingsKey* key; // in SETTINGS_KEYS: the field, its lowest and highest value
    int control;            // its control in the template (resources/texts_layout.rc)
    SettingControlKind kind;
    UINT firstItemText; // DROP_DOWN_LIST: the string-table text of the lowest value's item;
                        // the items of the values above it follow it in number
    int step;           // TRACKBAR: what one move of the thumb adds, and the ticks' spacing
};

// Whether two names are the same text, in a form the compiler can work out.
constexpr bool SameName(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
// The key of that name in SETTINGS_KEYS, null when there is none.
constexpr const SettingsKey* KeyNamed(const char* name)
{
    for (const SettingsKey& key : SETTINGS_KEYS)
        if (SameName(key.name, name))
            return &key;
    return nullptr;
}

inline constexpr SettingControl SETTING_CONTROLS[] = {
    {KeyNamed(PLAY_ORDER_KEY), IDC_PLAY_ORDER, DROP_DOWN_LIST, IDS_PLAY_ORDER_FIRST, 0},
    {KeyNamed(VOLUME_KEY), IDC_VOLUME, TRACKBAR, 0, 10},
    {KeyNamed(FADE_IN_KEY), IDC_FADE_IN, CHECK_BOX, 0, 0},
};
static_assert(IDS_PLAY_ORDER_CONTINUE - IDS_PLAY_ORDER_FIRST ==
                      PLAY_ORDER_CONTINUE - PLAY_ORDER_FIRST &&
                  IDS_PLAY_ORDER_SHUFFLE - IDS_PLAY_ORDER_FIRST ==
                      PLAY_ORDER_SHUFFLE - PLAY_ORDER_FIRST,
              "the play orders' items in the order of their values");

// Every row names a key of a number.
constexpr bool EveryRowHasANumberKey()
{
    for (const SettingControl& row : SETTING_CONTROLS)
        if (row.key == nullptr || row.key->number == nullptr)
            return false;
    return true;
}
static_assert(EveryRowHasANumberKey(), "a row of SETTING_CONTROLS names no number's key");

// A check box holds two values; a trackbar's steps, counted from its lowest, end at its highest.
constexpr bool EveryRowFitsItsKind()
{
    for (const SettingControl& row : SETTING_CONTROLS) {
        int range = row.key->highest - row.key->lowest;
        if (row.kind == CHECK_BOX && range != 1)
            return false;
        if (row.kind == TRACKBAR && (row.step <= 0 || range % row.step != 0))
            return false;
    }
    return true;
}
static_assert(EveryRowFitsItsKind(), "a row of SETTING_CONTROLS does not fit its control");

// Each setting of the table in its control, from settings.
void ShowSettingControls(HWND dialog, const LauncherSettingsRecord* settings);
// Each setting of the table from its control into settings; a control that holds no value
// leaves its setting as it was.
void TakeSettingControls(HWND dialog, LauncherSettingsRecord* settings);
// A trackbar of the table that the user moved (WM_HSCROLL, its notification code): its thumb
// to a step, the next one in the direction of a move by key, page or wheel, the nearest after
// a drag. Any other control is left alone.
void KeepTrackbarOnItsSteps(HWND dialog, HWND control, int code);

// ==== common_dialogs.cpp: the file-open dialog and the colour chooser ===============
//
// COMDLG32 is loaded when the dialog first needs it, not imported, and every system gets the
// form of the request it knows: the ANSI file-open dialog on the Windows 95 family, the older
// structure on it and on NT 4.

// The entries of the common dialogs (COMDLG32) by name: looked up in the library, loaded when
// the dialog first needs one, in the product; a stand-in for an older system's common dialogs
// in tests. Null when there is no such entry.
typedef FARPROC (*CommonDialogEntryFunction)(const char* name);
extern CommonDialogEntryFunction gCommonDialogEntry;

// What a browse button chooses: the file-open dialog's title and its one file type (a name in
// the user's language from the string table, and a pattern), and the setting and the edit
// control the chosen path goes to.
struct FileChoice {
    UINT titleId;
    UINT fileTypeId;
    const WCHAR* pattern;
    char (LauncherSettingsRecord::*path)[PATH_SIZE];
    int control;
};
// Shows the file-open dialog for the choice, owned by dialog, starting from the name in path.
// 1 when the user confirmed a file, whose full path is then in chosen (PATH_SIZE units); 0 on
// cancel and when no dialog could be shown.
int ChooseFile(HWND dialog, const FileChoice& choice, const char* path, WCHAR* chosen);
// The colour chooser, opened on *color: 1 when the user confirmed a colour, now in *color; 0 on
// cancel, on failure and for a null pointer (nothing is shown then).
int PickColor(HWND owner, COLORREF* color);

// ==== chosen_path.cpp: a chosen path in the settings' code page =====================

// The path chosen (UTF-16) as the settings can keep it, in the ANSI code page, into ansi
// (PATH_SIZE bytes): as it is where the code page holds it, otherwise by short (8.3) names.
// False when there is no such form: a path of "?"s would name no file.
bool ChosenPathInCodePage(const WCHAR* chosen, char* ansi);

// ==== playlist_contents.cpp: the line under the playlist's path =====================

// Room for the line under the playlist's path: a text of the string table with its counts.
const int PLAYLIST_CONTENTS_SIZE = 2 * USER_CAPTION_SIZE;
// The line under the playlist's path for the playlist at path, in the user's language, into
// line (PLAYLIST_CONTENTS_SIZE units); empty for an empty path. Loads the process-wide
// playlist, looks for each track's file and clears the playlist again.
void DescribePlaylist(const char* path, WCHAR* line);

// ==== file_version.cpp: the launcher's version ======================================

// Fills ConfigDialogState.versionNumbers from the running executable's FileVersion text; all 0
// when there is none.
void ReadFileVersion();
// The dialog's version text from ConfigDialogState.versionNumbers, the version line and the
// credit under it, into text (VERSION_TEXT_SIZE units).
void FormatVersionText(WCHAR* text);

// ==== Here, for the files of this folder ===========================================

// Copies text into size units at most, the NUL included; returns the units copied before it.
// KERNEL32's wide string functions are stubs on the Windows 95 family.
inline int CopyText(WCHAR* to, const WCHAR* text, int size)
{
    int length = 0;
    for (; length < size - 1 && text[length] != L'\0'; ++length)
        to[length] = text[length];
    to[length] = L'\0';
    return length;
}
