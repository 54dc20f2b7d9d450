// The launcher's three persisted settings and their INI file beside the executable.
#include "launcher/settings.h"
#include <cstring>

LauncherSettingsRecord LauncherSettings;

// GetLongPathNameA arrived with Windows 98 and NT 5; the first Windows 95 releases lack it.
typedef DWORD(WINAPI* GetLongPathNameFunction)(LPCSTR shortPath, LPSTR longPath, DWORD size);

int SettingsPathFromModulePath(const char* modulePath, char* settingsPath)
{
    settingsPath[0] = '\0';
    if (modulePath == nullptr || lstrlenA(modulePath) >= SETTINGS_PATH_SIZE)
        return 0;

    // Windows may start the saver by its short name at idle time; the settings belong to the
    // long name that the configure mode saw, or they would land in VELORA~1.ini.
    lstrcpynA(settingsPath, modulePath, SETTINGS_PATH_SIZE);
    GetLongPathNameFunction getLongPathName = reinterpret_cast<GetLongPathNameFunction>(
        GetProcAddress(GetModuleHandleA("KERNEL32"), "GetLongPathNameA"));
    if (getLongPathName != nullptr) {
        char longPath[SETTINGS_PATH_SIZE];
        DWORD length = getLongPathName(modulePath, longPath, SETTINGS_PATH_SIZE);
        if (length > 0 && length < static_cast<DWORD>(SETTINGS_PATH_SIZE))
            lstrcpyA(settingsPath, longPath);
    }

    // By position, not by the last dot: whatever the extension and its case, the name keeps
    // its length and its folder.
    int length = lstrlenA(settingsPath);
    if (length <= 3) {
        settingsPath[0] = '\0';
        return 0;
    }
    settingsPath[length - 3] = 'i';
    settingsPath[length - 2] = 'n';
    settingsPath[length - 1] = 'i';
    return 1;
}

int SettingsFilePath(char* settingsPath)
{
    char modulePath[SETTINGS_PATH_SIZE];
    DWORD length = GetModuleFileNameA(nullptr, modulePath, SETTINGS_PATH_SIZE);
    // A path cut to the buffer would name some other file.
    if (length == 0 || length >= static_cast<DWORD>(SETTINGS_PATH_SIZE)) {
        settingsPath[0] = '\0';
        return 0;
    }
    modulePath[length] = '\0';
    return SettingsPathFromModulePath(modulePath, settingsPath);
}

static void ReadSettingsFile(const char* settingsPath, LauncherSettingsRecord* settings)
{
    // Read as signed decimal text; the value's 32 bits are the colour as written.
    settings->backgroundColor =
        static_cast<COLORREF>(GetPrivateProfileIntA(SETTINGS_SECTION,
                                                    BACKGROUND_COLOR_KEY,
                                                    DEFAULT_BACKGROUND_COLOR,
                                                    settingsPath));
    GetPrivateProfileStringA(SETTINGS_SECTION,
                             ACCESSORY_PATH_KEY,
                             "",
                             settings->accessoryPath,
                             SETTINGS_PATH_SIZE,
                             settingsPath);
    GetPrivateProfileStringA(SETTINGS_SECTION,
                             PLAYLIST_PATH_KEY,
                             "",
                             settings->playlistPath,
                             SETTINGS_PATH_SIZE,
                             settingsPath);
}

void LoadSettings(LauncherSettingsRecord* settings)
{
    settings->backgroundColor = DEFAULT_BACKGROUND_COLOR;
    settings->accessoryPath[0] = '\0';
    settings->playlistPath[0] = '\0';

    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return;
    ReadSettingsFile(settingsPath, settings);
}

// The flush answers 0 whether or not it wrote anything, as documented, so only reading the
// file back shows that a write which the Windows 95 family held in its cache reached the disk.
static int FileHoldsSettings(const char* settingsPath, const LauncherSettingsRecord* settings)
{
    LauncherSettingsRecord found;
    ReadSettingsFile(settingsPath, &found);
    return found.backgroundColor == settings->backgroundColor &&
           strcmp(found.accessoryPath, settings->accessoryPath) == 0 &&
           strcmp(found.playlistPath, settings->playlistPath) == 0;
}

// 1 when the system took the key; 0 otherwise.
static int WriteSetting(const char* key, const char* value, const char* settingsPath)
{
    return WritePrivateProfileStringA(SETTINGS_SECTION, key, value, settingsPath) != 0;
}

int SaveSettings(const LauncherSettingsRecord* settings)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return 0;
    char colorText[16]; // a sign and ten digits at most
    wsprintfA(colorText, "%ld", static_cast<LONG>(settings->backgroundColor));
    // Every key is written even after a failure: each write stands on its own.
    int written = WriteSetting(BACKGROUND_COLOR_KEY, colorText, settingsPath);
    written &= WriteSetting(ACCESSORY_PATH_KEY, settings->accessoryPath, settingsPath);
    written &= WriteSetting(PLAYLIST_PATH_KEY, settings->playlistPath, settingsPath);
    // A machine of the Windows 95 family switched off right after OK keeps what is flushed.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath);
    return written && FileHoldsSettings(settingsPath, settings);
}
