// The launcher's persisted settings and their INI file, beside the executable or the user's
// own, and the saver's own record of where its music stopped.
#include "launcher/settings.h"
#include "launcher/ansi_path.h"
#include "launcher/portable/decimal_text.h"
#include "launcher/portable/settings_choice.h"
#include "launcher/user_folder.h"
#include "saver_host/saver_host.h"
#include <cstring>

LauncherSettingsRecord LauncherSettings;
WriteProfileStringFunction gWriteProfileString = WritePrivateProfileStringA;

// GetLongPathNameA arrived with Windows 98 and NT 5; the first Windows 95 releases lack it.
typedef DWORD(WINAPI* GetLongPathNameFunction)(LPCSTR shortPath, LPSTR longPath, DWORD size);

int SettingsPathFromModulePath(const char* modulePath, char* settingsPath)
{
    settingsPath[0] = '\0';
    if (modulePath == nullptr || lstrlenA(modulePath) >= PATH_SIZE)
        return 0;

    // Windows may start the saver by its short name at idle time; the settings belong to the
    // long name that the configure mode saw, or they would land in VELORA~1.ini.
    lstrcpynA(settingsPath, modulePath, PATH_SIZE);
    GetLongPathNameFunction getLongPathName = reinterpret_cast<GetLongPathNameFunction>(
        GetProcAddress(GetModuleHandleA("KERNEL32"), "GetLongPathNameA"));
    if (getLongPathName != nullptr) {
        char longPath[PATH_SIZE];
        DWORD length = getLongPathName(modulePath, longPath, PATH_SIZE);
        if (length > 0 && length < static_cast<DWORD>(PATH_SIZE))
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

int ReadExecutablePath(char* path)
{
    DWORD length = GetModuleFileNameA(nullptr, path, PATH_SIZE);
    // A path cut to the buffer would name some other file, and is not NUL-terminated on every
    // system.
    if (length == 0 || length >= static_cast<DWORD>(PATH_SIZE)) {
        path[0] = '\0';
        return 0;
    }
    path[length] = '\0';
    return 1;
}

int SettingsFilePath(char* settingsPath)
{
    char modulePath[PATH_SIZE];
    if (!ReadExecutablePath(modulePath)) {
        settingsPath[0] = '\0';
        return 0;
    }
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
                             PATH_SIZE,
                             settingsPath);
}

static void ReadSettingsFile(const char* settingsPath, LauncherSettingsRecord* settings)
{
    for (const SettingsKey& key : SETTINGS_KEYS)
        ReadSetting(key, settingsPath, settings);
}

void LoadSettingsFrom(const char* settingsPath, LauncherSettingsRecord* settings)
{
    DefaultSettings(settings);
    if (settingsPath[0] != '\0')
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

const int SETTINGS_KEY_COUNT = sizeof SETTINGS_KEYS / sizeof SETTINGS_KEYS[0];
static_assert(SETTINGS_KEY_COUNT < 32, "a bit for each key");
const unsigned ALL_SETTINGS_KEYS = (1u << SETTINGS_KEY_COUNT) - 1;

// Bit n set for each key n of SETTINGS_KEYS that the file holds with its value in *settings:
// written there, and read as LoadSettings reads it, the same. A key the file lacks is not held
// even when its default is the value, or a file that cannot be read at all, which gives every
// default, would seem to hold the defaults.
static unsigned KeysHeld(const char* settingsPath, const LauncherSettingsRecord* settings)
{
    static const char MISSING[] = "\x01"; // no value a key is given starts with it
    LauncherSettingsRecord found;
    unsigned held = 0;
    for (int n = 0; n < SETTINGS_KEY_COUNT; ++n) {
        const SettingsKey& key = SETTINGS_KEYS[n];
        char first[2];
        GetPrivateProfileStringA(SETTINGS_SECTION,
                                 key.name,
                                 MISSING,
                                 first,
                                 sizeof first,
                                 settingsPath);
        if (first[0] == MISSING[0])
            continue;
        ReadSetting(key, settingsPath, &found);
        if (SameSetting(key, &found, settings))
            held |= 1u << n;
    }
    return held;
}

// 1 when the system took the key; 0 otherwise.
static int WriteSetting(const SettingsKey& key, const LauncherSettingsRecord* settings,
                        const char* settingsPath)
{
    char number[SETTING_NUMBER_SIZE];
    const char* value = SettingText(key, settings, number);
    return gWriteProfileString(SETTINGS_SECTION, key.name, value, settingsPath) != 0;
}

SaveOutcome SaveSettingsTo(const char* settingsPath, const LauncherSettingsRecord* settings)
{
    // An OK with nothing changed saves nothing, so it succeeds where the file holds the values
    // but may not be written (in use by another program, or locked down).
    unsigned heldBefore = KeysHeld(settingsPath, settings);
    if (heldBefore == ALL_SETTINGS_KEYS)
        return SETTINGS_SAVED;
    // Every key is written even after a failure: each write stands on its own.
    unsigned written = 0;
    for (int n = 0; n < SETTINGS_KEY_COUNT; ++n)
        written |= static_cast<unsigned>(WriteSetting(SETTINGS_KEYS[n], settings, settingsPath))
                   << n;
    // A machine of the Windows 95 family switched off right after OK keeps what is flushed.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath);
    // The flush answers 0 whether or not it wrote anything, as documented, so only reading the
    // file back shows that a write which the Windows 95 family held in its cache reached the
    // disk; a key whose write was refused does not count, whatever a cache may answer.
    unsigned heldAfter = KeysHeld(settingsPath, settings) & (heldBefore | written);
    return OutcomeOfSave(heldBefore, heldAfter, ALL_SETTINGS_KEYS);
}

static void ReadPlace(const char* settingsPath, LastPlaceRecord* place)
{
    place->track[0] = '\0';
    place->position = UNKNOWN_POSITION;
    if (settingsPath[0] == '\0')
        return;
    // The quotes WritePlace puts around the path are taken off by the system.
    GetPrivateProfileStringA(LAST_PLACE_SECTION,
                             LAST_TRACK_KEY,
                             "",
                             place->track,
                             PATH_SIZE,
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

// 1 when the system took the place. On the NT family, the one with a user's file to go to
// next, the answer is true to the disk; the Windows 95 family's cache may take a write it then
// fails to flush, but that family has no other file.
static int WritePlace(const char* settingsPath, const LastPlaceRecord* place)
{
    // The whole section as the system takes it: "key=value" strings one after the other, each
    // with its NUL, and a NUL after the last. The path stands in quotes, which keep the blanks
    // a path may end with (no track path holds a quote). An unknown position is left empty.
    // wsprintfA writes no more than 1024 bytes: the path is copied on its own, bounded.
    char section[PATH_SIZE + 64];
    int length = wsprintfA(section, "%s=\"", LAST_TRACK_KEY);
    lstrcpynA(section + length, place->track, PATH_SIZE);
    length += lstrlenA(section + length);
    section[length++] = '"';
    section[length++] = '\0';
    length += wsprintfA(section + length, "%s=", LAST_POSITION_KEY);
    if (place->position >= 0)
        length += wsprintfA(section + length, "%ld", static_cast<LONG>(place->position));
    section[length++] = '\0';
    section[length] = '\0';
    BOOL written = WritePrivateProfileSectionA(LAST_PLACE_SECTION, section, settingsPath);
    // A machine of the Windows 95 family switched off next keeps it.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsPath);
    return written != 0;
}

// Whether the file holds a key in the section: a section header alone holds no value to read.
// Only the start of the list of the keys' names is read.
static int HoldsSection(const char* settingsPath, const char* section)
{
    char names[4];
    return GetPrivateProfileStringA(section, nullptr, "", names, sizeof names, settingsPath) > 0;
}

// The two files of a call, and what it knows of them.
struct SettingsFiles {
    char beside[PATH_SIZE];
    char userFolder[PATH_SIZE]; // empty when there is no user's file
    char user[PATH_SIZE];       // empty when there is none
    SettingsFileFacts facts;
};

// Both files' paths, found afresh on every call: 0, both empty, when not even the one beside
// the executable has one. The Windows 95 family does not look for the user's.
static int FindSettingsFiles(SettingsFiles* files)
{
    files->userFolder[0] = '\0';
    files->user[0] = '\0';
    files->facts = SettingsFileFacts();
    files->facts.isWin9x = SaverState.isWin9x != 0;
    if (!SettingsFilePath(files->beside))
        return 0;
    char appData[PATH_SIZE];
    files->facts.hasUserFile = !files->facts.isWin9x && UserAppDataPath(appData) &&
                               UserSettingsPaths(appData,
                                                 files->beside,
                                                 files->userFolder,
                                                 files->user,
                                                 AnsiPathLeadBytes());
    if (files->facts.hasUserFile) {
        files->facts.userHoldsSettings = HoldsSection(files->user, SETTINGS_SECTION);
        files->facts.userHoldsPlace = HoldsSection(files->user, LAST_PLACE_SECTION);
    }
    return 1;
}

// The path of the file chosen; the user's folder is made before a write into it, where the
// application data folder has none yet.
static const char* PathToWrite(SettingsFiles* files, SettingsFileChoice choice)
{
    if (choice != USER_FILE)
        return files->beside;
    CreateDirectoryA(files->userFolder, nullptr);
    return files->user;
}

void LoadSettings(LauncherSettingsRecord* settings)
{
    SettingsFiles files;
    FindSettingsFiles(&files);
    bool fromUser = SettingsFileToRead(files.facts) == USER_FILE;
    LoadSettingsFrom(fromUser ? files.user : files.beside, settings);
}

SaveOutcome SaveSettings(const LauncherSettingsRecord* settings, char* settingsPath)
{
    settingsPath[0] = '\0';
    SettingsFiles files;
    if (!FindSettingsFiles(&files))
        return SETTINGS_NOT_SAVED;
    SaveOutcome outcome = SETTINGS_NOT_SAVED;
    for (SettingsFileChoice file = SettingsFileToRead(files.facts); file != NO_SETTINGS_FILE;
         file = SettingsFileAfterSave(files.facts, file, outcome == SETTINGS_SAVED)) {
        lstrcpyA(settingsPath, PathToWrite(&files, file));
        outcome = SaveSettingsTo(settingsPath, settings);
    }
    return outcome;
}

void LoadLastPlace(LastPlaceRecord* place)
{
    SettingsFiles files;
    FindSettingsFiles(&files);
    bool fromUser = PlaceFileToRead(files.facts) == USER_FILE;
    ReadPlace(fromUser ? files.user : files.beside, place);
}

void SaveLastPlace(const LastPlaceRecord* place)
{
    SettingsFiles files;
    if (!FindSettingsFiles(&files))
        return;
    bool written = false;
    for (SettingsFileChoice file = SettingsFileToRead(files.facts); file != NO_SETTINGS_FILE;
         file = SettingsFileAfterSave(files.facts, file, written)) {
        written = WritePlace(PathToWrite(&files, file), place) != 0;
        if (DropsUserPlace(files.facts, file, written)) {
            WritePrivateProfileStringA(LAST_PLACE_SECTION, nullptr, nullptr, files.user);
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, files.user);
        }
    }
}
