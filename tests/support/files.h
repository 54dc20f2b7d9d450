// Files, folders and paths for the programs the tests, the demo and the benchmark run under
// Wine: whole files read and written, scratch folders, Linux paths seen through drive Z:, the
// build tree and its fixtures, and the settings files of an executable, beside it and the
// user's own.
#pragma once
#include "launcher/settings.h"
#include <windows.h>
#include <initializer_list>
#include <string>
#include <utility>

// ---- Paths ---------------------------------------------------------------------------------

// "Z:\..." for a Linux absolute path: Wine maps the Linux root to drive Z:.
std::string WindowsPathOf(const std::string& unixPath);
// The Linux path of a "Z:\..." path: the drive letter dropped, backslashes made slashes.
std::string UnixPathOf(const std::string& windowsPath);
// This program's path, and its folder with a trailing backslash.
std::string ExecutablePath();
std::string ExecutableFolder();
// The build tree as a Windows path with a trailing backslash: SAVER_BUILD_DIR, which ctest
// sets, or else the tree two folders above this program (tests/<tier>/).
std::string BuildDir();
// The built .scr.
std::string SaverBinary();
// A fixture built by the tests: build\fixtures\<name>.
std::string FixturePath(const char* name);

// ---- Whole files ---------------------------------------------------------------------------

// Empty when the file is missing. Another program may hold it open for writing.
std::string ReadTextFile(const std::string& path);
// Creates or replaces the file with exactly these bytes.
bool WriteTextFile(const std::string& path, const std::string& content);
bool FileExistsAt(const std::string& path);
// -1 when the file is missing.
long long FileSizeOf(const std::string& path);
bool CopyInto(const std::string& source, const std::string& destination);

// ---- Scratch folders -----------------------------------------------------------------------

// A fresh, empty folder for one test under the build tree (test-scratch\<name>), removed with
// everything in it when the object goes. Names may hold blanks: so may the paths a saver is
// given.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Without a trailing backslash.
    const std::string& Path() const { return path; }

private:
    std::string path;
};

// ---- Settings files ------------------------------------------------------------------------

// The settings file the program at executablePath reads: its path with "ini" over the last
// three characters.
std::string SettingsFileOf(const std::string& executablePath);
// A settings file's text: the section line, then one "key=value" line for each pair, in order.
std::string SettingsText(std::initializer_list<std::pair<const char*, std::string>> values);
// The same with every key of the product's list, each as the product writes it.
std::string SettingsText(const LauncherSettingsRecord& settings);
// Every key at a value of its kind, none its default where the key allows another, for round
// n: colours at the ends of their signed text, numbers at either end of their range and
// between, paths with blanks, separators, Japanese (a character ending in 0x5C) or no folder.
// Neighbouring keys of a kind take different values where their kind allows, so that a value
// read into the wrong field shows.
void SetSampleSettings(LauncherSettingsRecord* settings, int n);
// The key's value as the file holds it (a number's or a colour's signed decimal text, a path
// as it stands), told here apart from the product, so that a test checks the product's text.
std::string SettingValueText(const SettingsKey& key, const LauncherSettingsRecord& settings);
// The same for the key's default.
std::string DefaultValueText(const SettingsKey& key);
// Writes the text as the settings file at path. The system may hold profile files in a cache:
// it is flushed before and after, so that this process and others read what was written.
bool WriteSettingsText(const std::string& path, const std::string& text);
// Every setting at its key's default but the three that every run names.
LauncherSettingsRecord SettingsRecord(COLORREF color, const std::string& accessory,
                                      const std::string& playlist);
// The settings file of the program at executablePath, holding every key of the product's list
// with the record's value, each as the product writes it.
bool WriteSettingsFile(const std::string& executablePath, const LauncherSettingsRecord& settings);
// The same for SettingsRecord(color, accessory, playlist).
bool WriteSettingsFile(const std::string& executablePath, COLORREF color,
                       const std::string& accessory, const std::string& playlist);

// ---- The users' own settings files ---------------------------------------------------------

// The folder of the users' own settings files, %APPDATA%\velora_ss_launcher, with %APPDATA% as
// the environment gives it, told apart from the product's way of finding it.
std::string UserSettingsFolder();
// The user's own settings file of the program at executablePath: in that folder, with the name
// of the settings file beside it.
std::string UserSettingsFileOf(const std::string& executablePath);
// Removes the users' settings folder with what it holds, or a file standing in its place, as
// it is made and as it goes. The test programs and the savers they start share one Wine
// prefix: a user's file one test leaves would be read by the next.
class CleanUserSettingsFolder {
public:
    CleanUserSettingsFolder();
    ~CleanUserSettingsFolder();
    CleanUserSettingsFolder(const CleanUserSettingsFolder&) = delete;
    CleanUserSettingsFolder& operator=(const CleanUserSettingsFolder&) = delete;
};
// A file where the users' settings folder would be, so that it cannot be made: a profile the
// user cannot write to.
bool BlockUserSettingsFolder();
// SHGetFolderPathW failing, as on a system where neither SHELL32 nor SHFOLDER.DLL has it.
HRESULT WINAPI NoFolderPath(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// Holds the file open against writing while it lives, as another program may: the system's
// profile functions can read it but not write it.
class FileHeldAgainstWriting {
public:
    explicit FileHeldAgainstWriting(const std::string& path);
    ~FileHeldAgainstWriting();
    FileHeldAgainstWriting(const FileHeldAgainstWriting&) = delete;
    FileHeldAgainstWriting& operator=(const FileHeldAgainstWriting&) = delete;

    bool Held() const { return file != INVALID_HANDLE_VALUE; }

private:
    HANDLE file;
};
