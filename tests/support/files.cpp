// Files, folders and paths for the programs the tests, the demo and the benchmark run under
// Wine.
#include "tests/support/files.h"
#include <algorithm>
#include <vector>

static std::string WithSeparators(std::string path, char from, char to)
{
    for (char& c : path)
        if (c == from)
            c = to;
    return path;
}

std::string WindowsPathOf(const std::string& unixPath)
{
    return "Z:" + WithSeparators(unixPath, '/', '\\');
}

std::string UnixPathOf(const std::string& windowsPath)
{
    bool hasDrive = windowsPath.size() > 2 && windowsPath[1] == ':';
    return WithSeparators(hasDrive ? windowsPath.substr(2) : windowsPath, '\\', '/');
}

std::string ExecutablePath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string BuildDir()
{
    char dir[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("SAVER_BUILD_DIR", dir, sizeof dir);
    if (length == 0 || length >= sizeof dir)
        return ExecutableFolder() + "..\\..\\";
    return WindowsPathOf(dir) + "\\";
}

std::string SaverBinary()
{
    return BuildDir() + "velora_ss_launcher.scr";
}

std::string FixturePath(const char* name)
{
    return BuildDir() + "fixtures\\" + name;
}

std::string ReadTextFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                        nullptr);
    return CloseHandle(file) && ok && written == content.size();
}

bool FileExistsAt(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CopyInto(const std::string& source, const std::string& destination)
{
    return CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
}

// Read-only files too: a test may leave one behind.
static void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

ScratchFolder::ScratchFolder(const std::string& name)
{
    std::string root = BuildDir() + "test-scratch";
    CreateDirectoryA(root.c_str(), nullptr);
    path = root + "\\" + name;
    // What an interrupted run left behind.
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path);
}

std::string SettingsFileOf(const std::string& executablePath)
{
    return executablePath.substr(0, executablePath.size() - 3) + "ini";
}

std::string SettingsText(std::initializer_list<std::pair<const char*, std::string>> values)
{
    std::string text = std::string("[") + SETTINGS_SECTION + "]\r\n";
    for (const auto& value : values)
        text += value.first + ("=" + value.second) + "\r\n";
    return text;
}

bool WriteSettingsText(const std::string& path, const std::string& text)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    bool written = WriteTextFile(path, text);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return written;
}

std::string SettingsText(const LauncherSettingsRecord& settings)
{
    std::string text = std::string("[") + SETTINGS_SECTION + "]\r\n";
    for (const SettingsKey& key : SETTINGS_KEYS) {
        char number[SETTING_NUMBER_SIZE];
        text += key.name + ("=" + std::string(SettingText(key, &settings, number))) + "\r\n";
    }
    return text;
}

void SetSampleSettings(LauncherSettingsRecord* settings, int n)
{
    static const COLORREF COLORS[] = {0, 16777215, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000};
    static const char* const PATHS[] = {
        "C:\\Program Files\\velorandix\\velorandix.exe", "D:\\music\\list.m3u",
        "C:\\アクセサリ\\velorandix.exe", "C:\\音楽\\表.m3u", "relative\\velorandix.exe",
        "a b;c=d.m3u"};
    const int count = sizeof SETTINGS_KEYS / sizeof SETTINGS_KEYS[0];
    for (int k = 0; k < count; ++k) {
        const SettingsKey& key = SETTINGS_KEYS[k];
        if (key.path) {
            lstrcpynA(settings->*key.path, PATHS[(n + k) % 6], PATH_SIZE);
            continue;
        }
        std::vector<LONG> values;
        if (key.color)
            values.assign(COLORS, COLORS + 5);
        else
            values = {key.highest, key.lowest, key.lowest + (key.highest - key.lowest) / 2};
        values.erase(std::remove(values.begin(), values.end(), key.defaultValue), values.end());
        LONG value = values.empty() ? key.defaultValue : values[(n + k) % values.size()];
        if (key.color)
            settings->*key.color = static_cast<COLORREF>(value);
        else
            settings->*key.number = value;
    }
}

std::string SettingValueText(const SettingsKey& key, const LauncherSettingsRecord& settings)
{
    if (key.path)
        return settings.*key.path;
    return std::to_string(key.color ? static_cast<LONG>(settings.*key.color)
                                    : settings.*key.number);
}

std::string DefaultValueText(const SettingsKey& key)
{
    return key.path ? "" : std::to_string(key.defaultValue);
}

LauncherSettingsRecord SettingsRecord(COLORREF color, const std::string& accessory,
                                      const std::string& playlist)
{
    LauncherSettingsRecord settings;
    DefaultSettings(&settings);
    settings.backgroundColor = color;
    lstrcpynA(settings.accessoryPath, accessory.c_str(), PATH_SIZE);
    lstrcpynA(settings.playlistPath, playlist.c_str(), PATH_SIZE);
    return settings;
}

bool WriteSettingsFile(const std::string& executablePath, const LauncherSettingsRecord& settings)
{
    return WriteSettingsText(SettingsFileOf(executablePath), SettingsText(settings));
}

bool WriteSettingsFile(const std::string& executablePath, COLORREF color,
                       const std::string& accessory, const std::string& playlist)
{
    return WriteSettingsFile(executablePath, SettingsRecord(color, accessory, playlist));
}

std::string UserSettingsFolder()
{
    char appData[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    if (length == 0 || length >= sizeof appData)
        return "";
    return std::string(appData) + "\\velora_ss_launcher";
}

std::string UserSettingsFileOf(const std::string& executablePath)
{
    std::string beside = SettingsFileOf(executablePath);
    return UserSettingsFolder() + "\\" + beside.substr(beside.find_last_of('\\') + 1);
}

// This program's own file is let go of first: the profile functions keep files in a cache, per
// process, which Wine goes on reading when the file is gone.
static void RemoveUserSettingsFolder()
{
    std::string folder = UserSettingsFolder();
    if (folder.empty())
        return;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr,
                               UserSettingsFileOf(ExecutablePath()).c_str());
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(folder.c_str()))
        RemoveTree(folder);
}

CleanUserSettingsFolder::CleanUserSettingsFolder()
{
    RemoveUserSettingsFolder();
}

CleanUserSettingsFolder::~CleanUserSettingsFolder()
{
    RemoveUserSettingsFolder();
}

bool BlockUserSettingsFolder()
{
    std::string folder = UserSettingsFolder();
    return !folder.empty() && WriteTextFile(folder, "not a folder");
}

HRESULT WINAPI NoFolderPath(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    path[0] = L'\0';
    return E_NOTIMPL;
}

FileHeldAgainstWriting::FileHeldAgainstWriting(const std::string& path)
    : file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr))
{
}

FileHeldAgainstWriting::~FileHeldAgainstWriting()
{
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
