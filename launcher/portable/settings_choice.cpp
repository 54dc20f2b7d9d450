// Which of the saver's two settings files a load reads and a save writes, and the user's file's
// path. Platform-free.
#include "launcher/portable/settings_choice.h"
#include <cstring>

SettingsFileChoice SettingsFileToRead(const SettingsFileFacts& facts)
{
    if (!facts.isWin9x && facts.hasUserFile && facts.userHoldsSettings)
        return USER_FILE;
    return BESIDE_FILE;
}

SettingsFileChoice SettingsFileAfterSave(const SettingsFileFacts& facts, SettingsFileChoice tried,
                                         bool succeeded)
{
    if (succeeded || tried != BESIDE_FILE || facts.isWin9x || !facts.hasUserFile)
        return NO_SETTINGS_FILE;
    return USER_FILE;
}

SettingsFileChoice PlaceFileToRead(const SettingsFileFacts& facts)
{
    if (!facts.isWin9x && facts.hasUserFile && facts.userHoldsPlace)
        return USER_FILE;
    return BESIDE_FILE;
}

bool DropsUserPlace(const SettingsFileFacts& facts, SettingsFileChoice written, bool succeeded)
{
    return succeeded && written == BESIDE_FILE && PlaceFileToRead(facts) == USER_FILE;
}

// Where the last part of path begins, and in *last its last character. The second byte of a
// double-byte character may have a backslash's value: it is stepped over with its lead byte.
static const char* LastPart(const char* path, const char** last, LeadByteTest isLeadByte)
{
    const char* part = path;
    *last = path;
    for (const char* byte = path; *byte != '\0'; ++byte) {
        *last = byte;
        if (isLeadByte(static_cast<unsigned char>(*byte)) && byte[1] != '\0')
            ++byte;
        else if (*byte == '\\' || *byte == '/')
            part = byte + 1;
    }
    return part;
}

int UserSettingsPaths(const char* appData, const char* besidePath, char* folder, char* userPath,
                      LeadByteTest isLeadByte)
{
    folder[0] = '\0';
    userPath[0] = '\0';
    const char* last;
    const char* name = LastPart(besidePath, &last, isLeadByte);
    LastPart(appData, &last, isLeadByte);
    size_t appDataLength = strlen(appData), nameLength = strlen(name);
    // A root such as "E:\" ends in its separator already.
    size_t separator = appDataLength > 0 && (*last == '\\' || *last == '/') ? 0 : 1;
    size_t folderLength = appDataLength + separator + sizeof USER_SETTINGS_FOLDER - 1;
    if (appDataLength == 0 || nameLength == 0 ||
        folderLength + 1 + nameLength >= static_cast<size_t>(PATH_SIZE))
        return 0;
    memcpy(folder, appData, appDataLength);
    folder[appDataLength] = '\\';
    memcpy(folder + appDataLength + separator, USER_SETTINGS_FOLDER, sizeof USER_SETTINGS_FOLDER);
    memcpy(userPath, folder, folderLength);
    userPath[folderLength] = '\\';
    memcpy(userPath + folderLength + 1, name, nameLength + 1);
    return 1;
}
