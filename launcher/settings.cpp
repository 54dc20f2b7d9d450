// The launcher's persisted settings and their INI file beside the executable, and the saver's
// own record of where its music stopped.
#include "launcher/settings.h"
#include "launcher/portable/decimal_text.h"
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

// A colour is read as signed decimal text, its 32 bits the colour as written, the way it always
// was; a number only as a whole decimal number in its range, so that a value some later
// version gives a key reads as the default rather than as something else; a path is cut to
// 1023 characters.
static void ReadSetting(const SettingsKey& key, const char* settingsPath,
                        LauncherSettingsRecord* settings)
{
    if (key.color) {
        INT value = GetPrivateProfileIntA(SETTINGS_SECTION,
                                          key.name,
                                          static_cast<INT>(key.defaultValue),
                                          settingsPath);
        settings->*key.color = static_cast<COLORREF>(value);
        return;
    }
    if (key.number) {
        char text[SETTING_NUMBER_SIZE];
        int32_t value = key.defaultValue;
        GetPrivateProfileStringA(SETTINGS_SECTION, key.name, "", text, sizeof text, settingsPath);
        ReadDecimal(text, key.lowest, key.highest, &value);
        settings->*key.number = value;
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
    DefaultSettings(settings);
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
    if (key.number)
        return one->*key.number == other->*key.number;
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
    char number[SETTING_NUMBER_SIZE];
    const char* value = SettingText(key, settings, number);
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

void LoadLastPlace(LastPlaceRecord* place)
{
    place->track[0] = '\0';
    place->position = UNKNOWN_POSITION;
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return;
    // The quotes SaveLastPlace puts around the path are taken off by the system.
    GetPrivateProfileStringA(LAST_PLACE_SECTION,
                             LAST_TRACK_KEY,
                             "",
                             place->track,
                             SETTINGS_PATH_SIZE,
                             settingsPath);
    char text[SETTING_NUMBER_SIZE];
    GetPrivateProfileStringA(LAST_PLACE_SECTION,
                             LAST_POSITION_KEY,
                             "",
                             text,
                             sizeof text,
                             settingsPath);
    ReadDecimal(text, 0, INT32_MAX, &place->position);
}

void SaveLastPlace(const LastPlaceRecord* place)
{
    char settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsFilePath(settingsPath))
        return;
    // The whole section as the system takes it: "key=value" strings one after the other, each
    // with its NUL, and a NUL after the last. The path stands in quotes, which keep the blanks
    // a path may end with (no track path holds a quote). An unknown position is left empty.
    // wsprintfA writes no more than 1024 bytes: the path is copied on its own, bounded.
    char section[SETTINGS_PATH_SIZE + 64];
    int length = wsprintfA(section, "%s=\"", LAST_TRACK_KEY);
    lstrcpynA(section + length, place->track, SETTINGS_PATH_SIZE);
    length += lstrlenA(section + length);
    section[length++] = '"';
    section[length++] = '\0';
    length += wsprintfA(section + length, "%s=", LAST_POSITION_KEY);
    if (place->position >= 0)
        length += wsprintfA(section + length, "%ld", static_cast<LONG>(place->position));
    section[length++] = '\0';
    section[length] = '\0';
    WritePrivateProfileSectionA(LAST_PLACE_SECTION, section, settingsPath);
    // As for the settings: a machine of the Windows 95 family switched off next keeps it.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath);
}
