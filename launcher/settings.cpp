// The launcher's three persisted settings and their INI file beside the executable.
#include "launcher/settings.h"

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

static int GetSettingsPath(char* settingsPath)
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

void LoadSettings(LauncherSettingsRecord* settings)
{
    settings->backgroundColor = DEFAULT_BACKGROUND_COLOR;
    settings->accessoryPath[0] = '\0';
    settings->playlistPath[0] = '\0';

    char settingsPath[SETTINGS_PATH_SIZE];
    if (!GetSettingsPath(settingsPath))
        return;
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

void SaveSettings(const LauncherSettingsRecord* settings)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!GetSettingsPath(settingsPath))
        return;
    char colorText[16]; // a sign and ten digits at most
    wsprintfA(colorText, "%ld", static_cast<LONG>(settings->backgroundColor));
    WritePrivateProfileStringA(SETTINGS_SECTION, BACKGROUND_COLOR_KEY, colorText, settingsPath);
    WritePrivateProfileStringA(SETTINGS_SECTION,
                               ACCESSORY_PATH_KEY,
                               settings->accessoryPath,
                               settingsPath);
    WritePrivateProfileStringA(SETTINGS_SECTION,
                               PLAYLIST_PATH_KEY,
                               settings->playlistPath,
                               settingsPath);
}
