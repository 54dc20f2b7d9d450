// The launcher's three persisted settings and their INI file beside the executable.
#pragma once
#include <windows.h>

const COLORREF DEFAULT_BACKGROUND_COLOR = 8421504; // mid grey
const int SETTINGS_PATH_SIZE = 1024;

struct LauncherSettingsRecord {
    LONG backgroundColor;                   // LoadSettings, the colour chooser
    char accessoryPath[SETTINGS_PATH_SIZE]; // LoadSettings, the accessory's file-open dialog
    char playlistPath[SETTINGS_PATH_SIZE];  // LoadSettings, the playlist's file-open dialog
};
extern LauncherSettingsRecord LauncherSettings;

void LoadSettings();
void SaveSettings();

// The settings file of the executable at modulePath: its long form where the system offers
// it, with "ini" written over the last three characters. settingsPath has SETTINGS_PATH_SIZE
// bytes. Returns 0, settingsPath empty, when modulePath is too short to carry an extension.
int SettingsPathFromModulePath(const char* modulePath, char* settingsPath);
