// The launcher's three persisted settings and their INI file beside the executable.
#pragma once
#include <windows.h>

const COLORREF DEFAULT_BACKGROUND_COLOR = 8421504; // mid grey
const int SETTINGS_PATH_SIZE = 1024;
// The file's one section and its three keys.
inline constexpr char SETTINGS_SECTION[] = "setting";
inline constexpr char BACKGROUND_COLOR_KEY[] = "bgcolor";
inline constexpr char ACCESSORY_PATH_KEY[] = "exepath";
inline constexpr char PLAYLIST_PATH_KEY[] = "playlist";

// The three settings as the program holds them. The colour becomes signed decimal text only in
// the file.
struct LauncherSettingsRecord {
    COLORREF backgroundColor;               // the background and the dialog's swatch
    char accessoryPath[SETTINGS_PATH_SIZE]; // full path of velorandix.exe
    char playlistPath[SETTINGS_PATH_SIZE];  // the M3U playlist; empty for no music
};

// A key of the file and the field it holds: a colour (signed decimal text in the file) or a
// path (the text as it stands, empty by default).
struct SettingsKey {
    const char* name;
    COLORREF LauncherSettingsRecord::*color;                  // or null for a path
    COLORREF defaultColor;                                    // a colour's value without its key
    char (LauncherSettingsRecord::*path)[SETTINGS_PATH_SIZE]; // or null for a colour
};
// Every key, in the order SaveSettings writes them. LoadSettings, SaveSettings and the tests'
// settings writer (tests/support/files.cpp), which tools/run-demo.sh uses too, go through this
// list. A new setting also needs its field above, its control in the settings dialog
// (config_dialog/config_dialog.cpp and the template in resources/saver.rc), and a line in
// "Where the settings live" of README.md and in packaging/README.txt.
inline constexpr SettingsKey SETTINGS_KEYS[] = {
    {BACKGROUND_COLOR_KEY,
     &LauncherSettingsRecord::backgroundColor,
     DEFAULT_BACKGROUND_COLOR,
     nullptr},
    {ACCESSORY_PATH_KEY, nullptr, 0, &LauncherSettingsRecord::accessoryPath},
    {PLAYLIST_PATH_KEY, nullptr, 0, &LauncherSettingsRecord::playlistPath},
};

// The saver run's settings: LoadSettings at window creation; read by the launcher.
extern LauncherSettingsRecord LauncherSettings;

// Fills *settings from the settings file, each field from its key or its default.
void LoadSettings(LauncherSettingsRecord* settings);
// Writes all three fields of *settings to the settings file and flushes the system's profile
// cache. 1 when the file holds them afterwards; 0 when its path could not be formed or a write
// failed, which the caller must tell the user.
int SaveSettings(const LauncherSettingsRecord* settings);
// The running executable's settings file, in SETTINGS_PATH_SIZE bytes. Returns 0, settingsPath
// empty, when no such path can be formed.
int SettingsFilePath(char* settingsPath);

// The settings file of the executable at modulePath: its long form where the system offers
// it, with "ini" written over the last three characters. settingsPath has SETTINGS_PATH_SIZE
// bytes. Returns 0, settingsPath empty, when modulePath is too short to carry an extension.
int SettingsPathFromModulePath(const char* modulePath, char* settingsPath);
