// The launcher's persisted settings and their INI file, beside the executable or the user's
// own, and beside them the saver's own record of where its music stopped.
#pragma once
#include "launcher/portable/path_parts.h"
#include "launcher/portable/play_order.h"
#include "launcher/portable/save_outcome.h"
#include <windows.h>

const COLORREF DEFAULT_BACKGROUND_COLOR = 8421504; // mid grey
// The settings' section and its keys.
inline constexpr char SETTINGS_SECTION[] = "setting";
inline constexpr char BACKGROUND_COLOR_KEY[] = "bgcolor";
inline constexpr char ACCESSORY_PATH_KEY[] = "exepath";
inline constexpr char PLAYLIST_PATH_KEY[] = "playlist";
inline constexpr char PLAY_ORDER_KEY[] = "playorder";
inline constexpr char VOLUME_KEY[] = "volume";
inline constexpr char FADE_IN_KEY[] = "fadein";

// The settings as the program holds them. Numbers become decimal text only in the file.
struct LauncherSettingsRecord {
    COLORREF backgroundColor;      // the background and the dialog's swatch
    char accessoryPath[PATH_SIZE]; // full path of velorandix.exe
    char playlistPath[PATH_SIZE];  // the M3U playlist; empty for no music
    int playOrder;                 // PLAY_ORDER_FIRST, _CONTINUE or _SHUFFLE
    int volume;                    // the music's level, 0 (no music) to 100 (full)
    int fadeIn;                    // 1: the music rises from silence over its first seconds
};

// A key of the file and the field it holds, one of three kinds: a colour (signed decimal text,
// read as the system reads a number), a number (decimal text; any other text, or a value
// outside lowest to highest, reads as its default) or a path (the text as it stands, empty by
// default).
struct SettingsKey {
    const char* name;
    COLORREF LauncherSettingsRecord::*color;         // a colour's field, or null
    int LauncherSettingsRecord::*number;             // a number's field, or null
    char (LauncherSettingsRecord::*path)[PATH_SIZE]; // a path's field, or null
    LONG defaultValue;                               // a colour's or number's
    int lowest, highest;                             // a number's values
};
constexpr SettingsKey ColorKey(const char* name, COLORREF LauncherSettingsRecord::*field,
                               COLORREF defaultColor)
{
    return {name, field, nullptr, nullptr, static_cast<LONG>(defaultColor), 0, 0};
}
constexpr SettingsKey NumberKey(const char* name, int LauncherSettingsRecord::*field,
                                int defaultValue, int lowest, int highest)
{
    return {name, nullptr, field, nullptr, defaultValue, lowest, highest};
}
constexpr SettingsKey PathKey(const char* name, char (LauncherSettingsRecord::*field)[PATH_SIZE])
{
    return {name, nullptr, nullptr, field, 0, 0, 0};
}

// Every key, in the order SaveSettings writes them. Everything that moves settings goes
// through this list: LoadSettings and SaveSettings, the tests' settings writer
// (tests/support/files.cpp) and tests/support/write_settings.cpp, the program by which the
// demo, the benchmark and the dialog's pictures write keys by name.
//
// Adding a setting:
//   1. Here: its key's name with the others above, its field in LauncherSettingsRecord, and
//      its line below (ColorKey, NumberKey or PathKey, with its default).
//   2. The code that uses it, and that code's behaviour tests.
//   3. Its control in the settings dialog: its IDC_ in resources/resource_ids.h, its label's
//      text in resources/texts.h, both in the template in resources/texts_layout.rc. A text the
//      code loads (a list's items) is a line in texts.h, an IDS_ in resource_ids.h and a line
//      of texts_layout.rc's string table.
//   4. A number chosen in a control (a drop-down list): its row in SETTING_CONTROLS
//      (config_dialog/config_dialog.h), which shows it, takes it on OK and tests it. A kind of
//      control the table lacks is a case in config_dialog/setting_controls.cpp and in
//      tests/windows/config_dialog_test.cpp. A path or a colour gets its own handling in
//      config_dialog/dialog_proc.cpp.
//   5. Its line in "Where the settings live" of README.md and in both languages of
//      packaging/README.txt, and the dialog's pictures taken again (tools/screenshot-dialog.sh).
// The tests of the settings file and of the dialog need no line: they go through this list
// and SETTING_CONTROLS, and the end-to-end test of the template checks a new control by what
// every control needs.
inline constexpr SettingsKey SETTINGS_KEYS[] = {
    ColorKey(BACKGROUND_COLOR_KEY, &LauncherSettingsRecord::backgroundColor,
             DEFAULT_BACKGROUND_COLOR),
    PathKey(ACCESSORY_PATH_KEY, &LauncherSettingsRecord::accessoryPath),
    PathKey(PLAYLIST_PATH_KEY, &LauncherSettingsRecord::playlistPath),
    NumberKey(PLAY_ORDER_KEY, &LauncherSettingsRecord::playOrder, PLAY_ORDER_FIRST,
              PLAY_ORDER_FIRST, PLAY_ORDER_SHUFFLE),
    NumberKey(VOLUME_KEY, &LauncherSettingsRecord::volume, 100, 0, 100),
    NumberKey(FADE_IN_KEY, &LauncherSettingsRecord::fadeIn, 0, 0, 1),
};
// Room for a number's text: a sign and ten digits.
const int SETTING_NUMBER_SIZE = 16;

// The saver run's settings: LoadSettings at window creation; read by the launcher.
extern LauncherSettingsRecord LauncherSettings;

// Every field at its key's default, as without a settings file.
inline void DefaultSettings(LauncherSettingsRecord* settings)
{
    for (const SettingsKey& key : SETTINGS_KEYS) {
        if (key.color)
            settings->*key.color = static_cast<COLORREF>(key.defaultValue);
        else if (key.number)
            settings->*key.number = static_cast<int>(key.defaultValue);
        else
            (settings->*key.path)[0] = '\0';
    }
}
// The key's field as the file holds it: a path's own text, or a number's or colour's decimal
// text written into number (SETTING_NUMBER_SIZE bytes). Here rather than in settings.cpp, like
// DefaultSettings, so that the tests' settings writer, which links nothing of the product,
// writes every key as the product does.
inline const char* SettingText(const SettingsKey& key, const LauncherSettingsRecord* settings,
                               char* number)
{
    if (key.path)
        return settings->*key.path;
    LONG value = key.color ? static_cast<LONG>(settings->*key.color) : settings->*key.number;
    wsprintfA(number, "%ld", value);
    return number;
}
// Which file: on the NT family a user may keep a file of their own, in
// %APPDATA%\velora_ss_launcher\ with the name of the one beside the executable. It is read when
// its settings' section holds a key; otherwise the file beside the executable is, the default
// for every user who has not saved. The Windows 95 family has the file beside the executable
// only.
//
// Fills *settings from the settings file read, each field from its key or its default.
void LoadSettings(LauncherSettingsRecord* settings);
// Saves *settings as SaveSettingsTo does into the file LoadSettings reads, and when that is the
// one beside the executable and the save does not succeed, into the user's file, its folder
// created: every key, so that it never depends on the other file. settingsPath (PATH_SIZE
// bytes) names the file last tried, empty when no path could be formed. SETTINGS_SAVED when
// one of them holds every value; otherwise the outcome of the last, which the caller must
// tell the user.
SaveOutcome SaveSettings(const LauncherSettingsRecord* settings, char* settingsPath);

// Fills *settings from the settings file at settingsPath, each field from its key or its
// default; every field at its default for an empty path.
void LoadSettingsFrom(const char* settingsPath, LauncherSettingsRecord* settings);
// Writes every field of *settings to the settings file at settingsPath and flushes the
// system's profile cache, unless the file already holds every one of them: then it is left as
// it is. SETTINGS_SAVED when the file holds them all afterwards. Otherwise: SETTINGS_PARTLY_SAVED
// when some keys took their value and others did not, SETTINGS_NOT_SAVED when none did.
SaveOutcome SaveSettingsTo(const char* settingsPath, const LauncherSettingsRecord* settings);
// The shape of WritePrivateProfileStringA. SaveSettingsTo writes each key through
// gWriteProfileString, which is WritePrivateProfileStringA in the product and, in tests, a
// write refused though the key then reads back with its value.
typedef BOOL(WINAPI* WriteProfileStringFunction)(LPCSTR section, LPCSTR key, LPCSTR value,
                                                 LPCSTR path);
extern WriteProfileStringFunction gWriteProfileString;

// Where the music stood when a continuing run ended: the saver's own record, not a setting.
// It lives in a section of its own, so that the dialog's OK, which writes the settings' keys
// one by one, can neither write nor clobber it, and so that both keys change in one write: a
// place half written (a new track with an old position) cannot be read.
inline constexpr char LAST_PLACE_SECTION[] = "lastplay";
inline constexpr char LAST_TRACK_KEY[] = "lasttrack";
inline constexpr char LAST_POSITION_KEY[] = "lastposition";

struct LastPlaceRecord {
    char track[PATH_SIZE]; // the track's path as the player opened it; empty for none
    int32_t position;      // milliseconds into it, or UNKNOWN_POSITION
};
// The place the last continuing run kept: from the user's file when it holds one, else from
// the file beside the executable. An empty track when there is none, UNKNOWN_POSITION for a
// position missing or not a number of milliseconds.
void LoadLastPlace(LastPlaceRecord* place);
// Replaces the record in one write in the file LoadSettings reads, and when that is the one
// beside the executable and the write does not reach it, in the user's file, its folder
// created; a place kept beside the executable takes an older one out of the user's file.
// Silent: where neither can be written the next run finds no place (or the one a file already
// held) and starts as that says, with track 1 when there is none.
void SaveLastPlace(const LastPlaceRecord* place);
// The running executable's full path as the system gives it, in PATH_SIZE bytes. Returns 0,
// path empty, when there is none or it is longer.
int ReadExecutablePath(char* path);
// The running executable's settings file beside it, in PATH_SIZE bytes. Returns 0,
// settingsPath empty, when no such path can be formed.
int SettingsFilePath(char* settingsPath);

// The settings file of the executable at modulePath: its long form where the system offers
// it, with "ini" written over the last three characters. settingsPath has PATH_SIZE
// bytes. Returns 0, settingsPath empty, when modulePath is too short to carry an extension.
int SettingsPathFromModulePath(const char* modulePath, char* settingsPath);
