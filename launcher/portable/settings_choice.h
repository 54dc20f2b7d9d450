// Which of the saver's two settings files a load reads and a save writes: the one beside the
// executable, or the user's own in the application data folder, and the user's file's path.
// Platform-free.
#pragma once
#include "launcher/portable/path_parts.h"

enum SettingsFileChoice {
    NO_SETTINGS_FILE, // none: nothing to read from, or no other file to try
    BESIDE_FILE,      // beside the executable, the file every user shares
    USER_FILE,        // %APPDATA%\velora_ss_launcher\ and the same name, the user's own
};

// What a call knows of the two files when it chooses.
struct SettingsFileFacts {
    bool isWin9x;           // the Windows 95 family, where no user's file is looked for
    bool hasUserFile;       // a path for the user's file was found
    bool userHoldsSettings; // the user's file holds a key in the settings' section
    bool userHoldsPlace;    // ... in the section of the place a continuing run keeps
};

// The file the settings are read from: the user's file when it holds the settings, else the
// one beside the executable. OK saves into it first, and a continuing run keeps its place
// there first, so that a file nobody can write to stays the default for every user who has
// not saved.
SettingsFileChoice SettingsFileToRead(const SettingsFileFacts& facts);
// The file a save goes to after one into tried: the user's file when a save beside the
// executable did not succeed and there is a user's file; NO_SETTINGS_FILE otherwise.
SettingsFileChoice SettingsFileAfterSave(const SettingsFileFacts& facts, SettingsFileChoice tried,
                                         bool succeeded);
// The file the place a continuing run kept is read from: the user's file when it holds one,
// else the one beside the executable, whichever file holds the settings.
SettingsFileChoice PlaceFileToRead(const SettingsFileFacts& facts);
// Whether the user's place must go after a save of the place into written: once the place
// is kept beside the executable, an older one in the user's file would be read in its stead.
bool DropsUserPlace(const SettingsFileFacts& facts, SettingsFileChoice written, bool succeeded);

// The folder of the users' files within the application data folder.
inline constexpr char USER_SETTINGS_FOLDER[] = "velora_ss_launcher";
// The user's folder and file for the settings file at besidePath: appData (no trailing
// separator needed) joined with USER_SETTINGS_FOLDER, and that with besidePath's last part.
// folder and userPath have PATH_SIZE bytes. Returns 0, both empty, when besidePath ends in no
// name or the file's path would not fit.
int UserSettingsPaths(const char* appData, const char* besidePath, char* folder, char* userPath,
                      LeadByteTest isLeadByte);
