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

// Each key's default, as without a settings file.
static void ResetSettings(LauncherSettingsRecord* settings)
{
    for (const SettingsKey& key : SETTINGS_KEYS) {
        if (key.color)
            settings->*key.color = key.defaultColor;
        else
            (settings->*key.path)[0] = '\0';
    }
}

// A colour is read as signed decimal text, its 32 bits the colour as written; a path is cut to
// 1023 characters.
static void ReadSetting(const SettingsKey& key, const char* settingsPath,
                        LauncherSettingsRecord* settings)
{
    if (key.color) {
        INT value = GetPrivateProfileIntA(SETTINGS_SECTION,
                                          key.name,
                                          static_cast<INT>(key.defaultColor),
                                          settingsPath);
        settings->*key.color = static_cast<COLORREF>(value);
        return;
    }
    GetPrivateProfileStringA(SETTINGS_SECTION,
                             key.name,
                             "",
                             settings->*key.path,
                             SETTINGS_PATH_SIZE,
                             settingsPath);
}

static void ReadSettingsFile(const char* settingsPath, LauncherSettingsRecord* settings)
{
    for (const SettingsKey& key : SETTINGS_KEYS)
        ReadSetting(key, settingsPath, settings);
}

void LoadSettings(LauncherSettingsRecord* settings)
{
    ResetSettings(settings);
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return;
    ReadSettingsFile(settingsPath, settings);
}

static int SameSetting(const SettingsKey& key, const LauncherSettingsRecord* one,
                       const LauncherSettingsRecord* other)
{
    if (key.color)
        return one->*key.color == other->*key.color;
    return strcmp(one->*key.path, other->*key.path) == 0;
}

// The flush answers 0 whether or not it wrote anything, as documented, so only reading the
// file back shows that a write which the Windows 95 family held in its cache reached the disk.
static int FileHoldsSettings(const char* settingsPath, const LauncherSettingsRecord* settings)
{
    LauncherSettingsRecord found;
    ReadSettingsFile(settingsPath, &found);
    for (const SettingsKey& key : SETTINGS_KEYS) {
        if (!SameSetting(key, &found, settings))
            return 0;
    }
    return 1;
}

// 1 when the system took the key; 0 otherwise.
static int WriteSetting(const SettingsKey& key, const LauncherSettingsRecord* settings,
                        const char* settingsPath)
{
    char colorText[16]; // a sign and ten digits at most
    const char* value = colorText;
    if (key.color)
        wsprintfA(colorText, "%ld", static_cast<LONG>(settings->*key.color));
    else
        value = settings->*key.path;
    return WritePrivateProfileStringA(SETTINGS_SECTION, key.name, value, settingsPath) != 0;
}

int SaveSettings(const LauncherSettingsRecord* settings)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return 0;
    // Every key is written even after a failure: each write stands on its own.
    int written = 1;
    for (const SettingsKey& key : SETTINGS_KEYS)
        written &= WriteSetting(key, settings, settingsPath);
    // A machine of the Windows 95 family switched off right after OK keeps what is flushed.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath);
    return written && FileHoldsSettings(settingsPath, settings);
}
